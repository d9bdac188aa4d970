// The player's move by two clicks: a piece on the board or in a hand, then its destination. The piece must
// be one of the side to move: the player's on the player's turn, or, while the computer is held by the
// pause, the computer's side, which the player then takes over. Checks the destination against the
// piece's legal moves or the drop rules and the move against the rules (an illegal move is refused with
// its reason unless 反則手も指せる is on), promotes where the piece could not move otherwise and asks where
// promotion is a choice, records the move and hands the turn on. Window thread only.
#include "app/commands.h"
#include "app/move_rules.h"
#include "app/position_editor.h"
#include "app/play_clock.h"
#include "app/record_play.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/targets.h"
#include "app/turn_flow.h"
#include "app/ui.h"
#include "core/promotion.h"

namespace halvane {

namespace {

constexpr int GRID = 40;   // pixels per board square and per hand-grid cell

// Hand grids: columns 10..13, the bottom hand in rows 5..8 and the top hand in rows 3..0; the left and
// right halves of each row hold one kind each, pawns nearest the middle.
constexpr int HAND_FIRST_COL = 10, HAND_LAST_COL = 13;
constexpr int HAND_KINDS[4][2] = {{PAWN, PAWN}, {LANCE, KNIGHT}, {SILVER, GOLD}, {BISHOP, ROOK}};

bool on_board(int col, int row) { return col >= 0 && col <= 8 && row >= 0 && row <= 8; }
// The hand whose grid holds the cell: 0 the bottom one, 1 the top one, -1 none.
int hand_at(int col, int row) {
  if (col < HAND_FIRST_COL || col > HAND_LAST_COL) return -1;
  return row >= 5 && row <= 8 ? 0 : row >= 0 && row <= 3 ? 1 : -1;
}
int hand_kind_at(int col, int row) { return HAND_KINDS[row >= 5 ? row - 5 : 3 - row][col >= 12 ? 1 : 0]; }

int bottom_side(const GameState& gs) { return gs.screen.rotated ? WHITE : BLACK; }
// The side of a screen hand, and of a piece on the screen board.
int hand_side(const GameState& gs, int hand) { return bottom_side(gs) ^ hand; }
int code_side(const GameState& gs, int code) { return bottom_side(gs) ^ (is_gote_piece(code) ? 1 : 0); }

// The player may move `side` now: it is to move and it is the player's, or the computer's held by the pause.
bool may_move(const GameState& gs, int side) {
  return side == side_to_move(gs) && (side == gs.game.player_side || gs.flags.paused);
}

void select_piece(GameState& gs, Engine& e, int col, int row) {
  if (on_board(col, row)) {
    gs.input.sel_col = col;
    gs.input.sel_row = row;
    gs.input.sel_piece = gs.screen.board[gs_index(col, row)];
    // An empty square or a piece of the side not to move selects nothing.
    if (!is_piece(gs.input.sel_piece) || !may_move(gs, code_side(gs, gs.input.sel_piece))) return;
    compute_targets(gs);
    if (!gs.flags.allow_illegal) keep_legal_targets(gs);
    gs.input.selection = 1;
    repaint(gs, e);
  } else if (const int hand = hand_at(col, row); hand == 0 || (hand == 1 && may_move(gs, hand_side(gs, 1)))) {
    gs.input.selection = 2;
    gs.input.sel_col = gs.input.sel_row = -1;
    gs.input.hand_cell_col = col;
    gs.input.hand_cell_row = row;
    gs.input.sel_piece = hand_kind_at(col, row);
    if (!may_move(gs, hand_side(gs, hand)) || gs.screen.hands[hand][gs.input.sel_piece] <= 0) gs.input.selection = 0;
    repaint(gs, e);
  }
}

// The side whose piece is selected.
int selected_side(const GameState& gs) {
  return gs.input.selection == 2 ? hand_side(gs, hand_at(gs.input.hand_cell_col, gs.input.hand_cell_row))
                                 : code_side(gs, gs.input.sel_piece);
}

// A square the selected piece reaches (a drop: an empty one). The rules come after: a reached square
// that no legal move reaches is not offered, but a click there is told why it is refused.
bool destination_allowed(const GameState& gs, int col, int row) {
  const int there = gs.screen.board[gs_index(col, row)];
  if (gs.input.selection == 2) {
    if (there != SQ_EMPTY) return false;
    // A piece dropped where it could never move is refused like a square out of reach, unless the
    // player may play illegal moves.
    return gs.flags.allow_illegal || drop_allowed(selected_side(gs), gs.input.sel_piece, screen_line(gs, row));
  }
  return gs.input.reach_map[gs_index(col, row)] != 0 &&
         (there == SQ_EMPTY || is_gote_piece(there) != is_gote_piece(gs.input.sel_piece));
}

// With a piece selected, a click on another piece of the side to move, on the board or a different
// kind held in its hand, selects that one instead.
bool selects_another(const GameState& gs, int col, int row) {
  if (on_board(col, row)) {
    const int code = gs.screen.board[gs_index(col, row)];
    return is_piece(code) && may_move(gs, code_side(gs, code)) &&
           !(gs.input.selection == 1 && col == gs.input.sel_col && row == gs.input.sel_row);
  }
  const int hand = hand_at(col, row);
  if (hand < 0 || !may_move(gs, hand_side(gs, hand))) return false;
  const int kind = hand_kind_at(col, row);
  const bool same = gs.input.selection == 2 && kind == gs.input.sel_piece &&
                    hand_at(gs.input.hand_cell_col, gs.input.hand_cell_row) == hand;
  return gs.screen.hands[hand][kind] > 0 && !same;
}

// The move the selection and the clicked square make, in record squares and codes.
MoveRecord selected_move(const GameState& gs, int col, int row) {
  const SfenPosition& pos = gs.game.position;
  const int side = selected_side(gs);
  MoveRecord move;
  move.to_col = screen_line(gs, col);
  move.to_row = screen_line(gs, row);
  if (gs.input.selection == 1) {
    move.from_col = screen_line(gs, gs.input.sel_col);
    move.from_row = screen_line(gs, gs.input.sel_row);
    move.piece = pos.board[move.from_row * 9 + move.from_col];
    move.captured = pos.board[move.to_row * 9 + move.to_col];
    // Forced promotion: a pawn, lance or knight that could never move again.
    move.piece_after = move.piece + (must_promote(side, kind_of(move.piece), move.to_row) ? PROMOTED_BIT : 0);
  } else {
    move.piece = move.piece_after = gs.input.sel_piece | (side == WHITE ? GOTE_BIT : 0);
  }
  return move;
}

// The second click on a board square.
void make_move(GameState& gs, Engine& e, int col, int row) {
  if (!destination_allowed(gs, col, row)) return;   // refused silently; the selection stays

  // The rules, before the promotion question: promoting or not never makes an illegal move legal (a
  // piece that could not move again is promoted already).
  MoveRecord move = selected_move(gs, col, row);
  const int side = selected_side(gs);
  const MoveVerdict verdict = judge_move(gs.game.position, move);
  if (verdict != MOVE_OK && !gs.flags.allow_illegal) {
    gs.input.selection = 0;
    set_status(gs.view, refusal_text(verdict));
    repaint(gs, e);
    return;
  }

  gs.input.dest_col = col;
  gs.input.dest_row = row;
  if (!move.is_drop() && move.piece_after == move.piece && can_promote(move.piece) &&
      promotion_allowed(side, move.from_row, move.to_row) &&
      message_box(u"成りますか？", u"成り・不成の選択", BOX_QUESTION, BOX_YES_NO) == ANSWER_YES)
    move.piece_after += PROMOTED_BIT;
  gs.input.dest_piece = gs.screen.rotated ? (move.piece_after ^ GOTE_BIT) : move.piece_after;

  // A move of the computer's side held by the pause: the player takes that side over, the board left as
  // it stands on the screen.
  if (side != gs.game.player_side) {
    gs.game.player_side = side;
    gs.game.view_flipped = !gs.game.view_flipped;
  }
  gs.input.selection = 0;
  play_move(gs, move);
  write_turn_status(gs);
  repaint(gs, e);
}

}  // namespace

void on_left_button_up(GameState& gs, Engine& e, int x, int y) {
  if (gs.flags.input_busy) return;
  if (editing(gs)) return edit_click(gs, e, x >= 0 ? x / GRID : -1, y >= 0 ? y / GRID : -1);
  // A click after the player's time ran out (before the window's timer saw it) finds the game over.
  if (clock_flag_fell(gs, e)) return;
  gs.flags.input_busy = true;
  bool moved = false;
  if (gs.flags.started && !game_over(gs) && !gs.flags.thinking) {
    // Negative positions (outside the client area) must not truncate toward square 0.
    const int col = x >= 0 ? x / GRID : -1;
    const int row = y >= 0 ? y / GRID : -1;
    if (gs.input.selection == 0 || selects_another(gs, col, row)) {
      gs.input.selection = 0;
      select_piece(gs, e, col, row);
    } else if (on_board(col, row) && !(gs.input.selection == 1 && col == gs.input.sel_col && row == gs.input.sel_row)) {
      const unsigned before = gs.game.revision;
      make_move(gs, e, col, row);
      moved = gs.game.revision != before;
    } else {
      gs.input.selection = 0;
      repaint(gs, e);
    }
  }
  gs.flags.input_busy = false;
  // The turn goes on only after the click is done with the state it shares.
  if (moved) advance_game(gs, e);
}

}  // namespace halvane
