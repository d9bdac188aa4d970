// 局面編集: a mode of the window in which the player sets out a position — pieces placed from a palette
// and turned round or taken away by clicks, the hands set by counts, the side to move chosen, or a whole
// start laid out at once — and then plays it against the computer. Leaving checks the position and says
// in the status line why an impossible one is refused. Window thread only.
#pragma once

#include <string>

#include "core/sfen.h"

namespace halvane {

struct GameState;
struct Engine;

// The position being edited, with the palette's piece and whether it is a mate problem's.
struct PositionEdit {
  bool active = false;
  SfenPosition position{};
  int palette = SQ_EMPTY;   // the piece a click on an empty square places (a code, sente's or gote's)
  // 詰将棋: the side to move attacks and may do so without a king; the side not to move holds in hand
  // every piece the problem does not use, kept so with every change.
  bool mate_problem = false;
  unsigned revision = 0;    // grows with every change, for the window's controls that follow it
};

// Opens the editor on the position on the board; refused (said in the status line) during a think.
void enter_position_editor(GameState& gs, Engine& e);
// The palette's piece: a plain code of sente's (SENTE_KING ...) or gote's (with GOTE_BIT); SQ_EMPTY none.
void edit_choose_piece(GameState& gs, Engine& e, int code);
// A hand's count of a kind (PAWN .. ROOK), held to what a set has.
void edit_set_hand(GameState& gs, Engine& e, int side, int kind, int count);
void edit_set_side_to_move(GameState& gs, Engine& e, int side);
// A start laid out: HANDICAPS[index] (0 the even game's), sente's or 上手 to move as the start says.
void edit_set_start(GameState& gs, Engine& e, int handicap);
// 詰将棋: the attacker (the side to move) without its king, and every piece the problem leaves unused in
// the defender's hand, from now on.
void edit_mate_problem(GameState& gs, Engine& e);
// 全消去: an empty board and empty hands, sente to move.
void edit_clear(GameState& gs, Engine& e);
// A click on screen square (col, row) while editing: an empty square receives the palette's piece, a
// piece turns to the next of sente's, sente's promoted, gote's, gote's promoted, and removed.
void edit_click(GameState& gs, Engine& e, int col, int row);
// 編集終了: the position checked; an impossible one stays in the editor with the reason in the status
// line. A playable one ends the editor and starts a game from it, the player on the side to move, once
// `may_replace` allows the game on the board to go (it asks about an unsaved one).
void finish_editing(GameState& gs, Engine& e, bool (*may_replace)(GameState&, Engine&));
// キャンセル: the editor closes and the game on the board is shown as it was.
void cancel_editing(GameState& gs, Engine& e);

// The status line at rest: the editor's hint while a position is edited, else the turn's words.
void write_board_status(GameState& gs);

// Why the editor refuses a position, in the status line's words; empty when it is playable.
// `mate_problem` lets the side to move be without a king.
std::u16string edit_refusal(const SfenPosition& pos, bool mate_problem);

}  // namespace halvane
