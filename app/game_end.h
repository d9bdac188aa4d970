// How the end of a game is told: who lost, the status line, the box that says how the game ended and who
// won, and the closing line of the move list and the KIF file ("まで54手で後手の勝ち"). end_game tells
// every end through here, from whichever thread ends the game.
#pragma once

#include <string>

#include "app/game_state.h"

namespace halvane {

// Whether the human lost the game the record ends with `reason` after `moves` moves. Every end is by
// the side to move: a resignation and a foul (as KIF's 投了 and 反則負け), a mate, and a king's capture,
// which takes the move that left the king to be taken out of the record.
bool player_lost_game(GameEnd reason, int moves, int player_is_gote);

// The status line after the end.
const char16_t* game_end_status(GameEnd reason, bool player_lost);
// The game-end box: how it ended, who won, and the KIF way of saying it.
std::u16string game_end_box_text(GameEnd reason, bool player_lost, int moves, int player_is_gote);
inline constexpr char16_t GAME_END_CAPTION[] = u"対局終了";

// The closing remark "まで54手で後手の勝ち", "まで40手で中断", "まで59手で詰み" (at most 31 units and
// its NUL into `out`).
void game_end_line(GameEnd reason, int moves, char16_t out[32]);

// What end_game does besides setting the flags: the status line and the box, queued to the window.
void tell_game_end(GameState& gs, GameEnd reason);

}  // namespace halvane
