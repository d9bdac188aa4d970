// KIF game-record files: the save and load menu commands. Files are CP932 text with CR LF line ends.
#pragma once

#include "app/game_state.h"
#include "engine/engine.h"

namespace halvane {

void save_kif(GameState& gs, Engine& e);
void load_kif(GameState& gs, Engine& e);

}  // namespace halvane
