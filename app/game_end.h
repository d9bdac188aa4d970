// How the end of a game is told: who lost, the status line, the box that says how the game ended and who
// won, and the closing line of the move list and the KIF file ("まで54手で後手の勝ち"). end_game records
// and tells every end through here.
#pragma once

#include <string>

#include "app/game_state.h"

namespace halvane {

// Whether the human lost a game that ended with `reason`, `side_to_move` being to move after its last
// move. Every end is said of the side to move: a resignation, a mate, a king's capture and a foul not in
// the record (反則負け) lose for it; a foul in the record (反則勝ち) and a declared win (入玉勝ち) win for it.
bool player_lost_game(GameEnd reason, int side_to_move, int player_side);

// The status line after the end.
const char16_t* game_end_status(GameEnd reason, bool player_lost);
// The game-end box: how it ended, who won, and the KIF way of saying it.
std::u16string game_end_box_text(GameEnd reason, bool player_lost, int moves, int side_to_move, int player_side);
inline constexpr char16_t GAME_END_CAPTION[] = u"対局終了";

// The closing remark of a line that ended with `reason` after `moves` moves, `side_to_move` to move:
// "まで54手で後手の勝ち", "まで40手で中断", "まで59手で詰み".
std::u16string game_end_line(GameEnd reason, int moves, int side_to_move);
// The closing remark of the line the move list shows.
std::u16string shown_line_closing(const GameState& gs);

// The game ends on the board with `reason`: any moves after the cursor leave the record, the end is
// recorded on the cursor's node, and it is told (the status line, and a box on the window that says how
// it ended and who won).
void end_game(GameState& gs, GameEnd reason);

}  // namespace halvane
