// Board rendering: one routine draws the whole game view into the back buffer and asks the window to
// show it. Called from the window thread, the turn monitor and the repaint watcher, serialised by the
// drawing lock.
#pragma once

#include <atomic>

#include "app/game_state.h"
#include "engine/engine.h"

namespace halvane {

// Draws the view of `gs` (and the engine's last move and progress) into the back buffer, then requests
// a repaint of the window.
void repaint(GameState& gs, Engine& e);

}  // namespace halvane
