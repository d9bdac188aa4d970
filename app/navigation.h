// Stepping through the game record: to the start, one move back, one forward, to the end of the line
// shown, to a line of the move list or to an alternative of the move on the board. Window thread only;
// each refuses while the computer thinks.
#pragma once

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

void go_first(GameState& gs, Engine& e);
void go_back(GameState& gs, Engine& e);
void go_forward(GameState& gs, Engine& e);
void go_last(GameState& gs, Engine& e);
// Goes to line `line` of the move list (the position after that many moves of the line shown; the
// closing line stands for the last one) as the buttons step.
void go_to_line(GameState& gs, Engine& e, int line);
// Goes to `node`, an alternative of the move on the board: the list then shows its line.
void go_to_alternative(GameState& gs, Engine& e, int node);

// Holds the computer (pause with its caption): shared by navigation, change of sides and the KIF load.
void hold_computer(GameState& gs);

}  // namespace halvane
