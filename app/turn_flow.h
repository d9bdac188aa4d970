// The turn flow: the turn monitor thread notices the computer's turn, asks the engine for a move,
// applies and records it and keeps the status line fresh; the repaint watcher redraws while the
// computer thinks so that the progress strip grows. Both live as long as the program.
#pragma once

#include <mutex>

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

// The lock of the turn's changes and of what the window shows: commands and the player's clicks hold it
// while they run, the turn monitor while it sees the computer's turn and marks its think begun, applies
// the answer or starts a think ahead, and every repaint while it draws. So no command slips in between,
// and GameState's record, input and view are read and written under it. Recursive: a modal box inside
// a command may run another command.
std::recursive_mutex& turn_lock();

// Starts the turn monitor and the repaint watcher (called once when the main window is created).
void start_turn_threads(GameState& gs, Engine& e);

// One computer turn; called by the turn monitor holding `turn`, which is released for the think itself
// and for the pause after a game end, and held again on return. Returns true when the computer's move
// stands on the board to be recorded, false when the game ended (resignation or the player's king
// captured). The turn monitor hands the turn back.
bool computer_move(GameState& gs, Engine& e, std::unique_lock<std::recursive_mutex>& turn);

// The think the position on screen asks for: board and hands exactly as shown, the record's move count
// and the chosen time limit. The computer's turn and the think ahead both start from it.
ThinkRequest screen_think_request(GameState& gs);

}  // namespace halvane
