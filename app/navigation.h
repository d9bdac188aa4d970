// Stepping through the game record: to the initial position, one move back, one forward, to the end.
// Window thread only; each refuses while the computer thinks.
#pragma once

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

void go_first(GameState& gs, Engine& e);
void go_back(GameState& gs, Engine& e);
void go_forward(GameState& gs, Engine& e);
void go_last(GameState& gs, Engine& e);
// Goes to record slot `slot` (0..length) as the buttons step: a line of the move list clicked.
void go_to_slot(GameState& gs, Engine& e, int slot);

// Holds the computer (pause with its caption): shared by navigation, change of sides and the KIF load.
void hold_computer(GameState& gs);

}  // namespace halvane
