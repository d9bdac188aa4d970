// The player's move by two clicks: a piece on the board or in the hand, then its destination. Checks the
// destination against the piece's reach or the drop rules and the move against the legal-move list (an
// illegal move is refused with its reason unless 反則手も指せる is on), promotes where the piece could
// not move otherwise and asks where promotion is a choice, enforces the record limit, applies and records
// the move, and hands the turn to the computer. Window thread only.
#include "app/commands.h"
#include "app/move_rules.h"
#include "app/render.h"
#include "app/targets.h"
#include "app/turn_flow.h"
#include "app/turn_monitor.h"
#include "app/ui.h"
#include "core/promotion.h"
#include "core/second_pawn.h"

namespace halvane {

namespace {

constexpr int GRID = 40;   // pixels per board square and per hand-grid cell

// Hand grid: columns 10..13, rows 5..8; the left and right halves of each row hold one kind each.
constexpr int HAND_FIRST_COL = 10, HAND_LAST_COL = 13, HAND_FIRST_ROW = 5, HAND_LAST_ROW = 8;
constexpr int HAND_KINDS[4][2] = {{PAWN, PAWN}, {LANCE, KNIGHT}, {SILVER, GOLD}, {BISHOP, ROOK}};

bool on_board(int col, int row) { return col >= 0 && col <= 8 && row >= 0 && row <= 8; }
bool in_hand_grid(int col, int row) {
  return col >= HAND_FIRST_COL && col <= HAND_LAST_COL && row >= HAND_FIRST_ROW && row <= HAND_LAST_ROW;
}
int hand_kind_at(int col, int row) { return HAND_KINDS[row - HAND_FIRST_ROW][col >= 12 ? 1 : 0]; }

void select_piece(GameState& gs, Engine& e, int col, int row) {
  if (on_board(col, row)) {
    gs.input.sel_col = col;
    gs.input.sel_row = row;
    gs.input.sel_piece = gs.record.board[gs_index(col, row)];
    if (!is_sente_piece(gs.input.sel_piece)) return;   // an empty square or a computer's piece selects nothing
    compute_targets(gs);
    gs.input.selection = 1;
    repaint(gs, e);
  } else if (in_hand_grid(col, row)) {
    gs.input.selection = 2;
    gs.input.sel_col = gs.input.sel_row = -1;
    gs.input.hand_cell_col = col;
    gs.input.hand_cell_row = row;
    gs.input.sel_piece = hand_kind_at(col, row);
    if (gs.record.hands[0][gs.input.sel_piece] <= 0) gs.input.selection = 0;
    repaint(gs, e);
  }
}

bool destination_allowed(const GameState& gs, int col, int row) {
  if (gs.input.selection == 2) {
    if (gs.record.board[gs_index(col, row)] != SQ_EMPTY) return false;
    // A piece dropped where it could never move is refused like a square out of reach, unless the
    // player may play illegal moves.
    if (!gs.flags.allow_illegal && !drop_allowed(SENTE, gs.input.sel_piece, row)) return false;
    return !(gs.input.sel_piece == PAWN &&
             pawn_in_column(SENTE, col, [&gs](int c, int r) { return gs.record.board[gs_index(c, r)]; }));
  }
  return gs.input.target_map[gs_index(col, row)] != 0;
}

// Elsewhere the player is asked: a move into, out of or inside the last three rows may promote.
bool offers_promotion(const GameState& gs) {
  if (!promotion_allowed(SENTE, gs.input.sel_row, gs.input.dest_row)) return false;
  return can_promote(gs.input.sel_piece);
}

// With a piece selected, a click on another of the player's own pieces, on the board or a different
// kind held in hand, selects that one instead.
bool selects_another(const GameState& gs, int col, int row) {
  if (on_board(col, row))
    return is_sente_piece(gs.record.board[gs_index(col, row)]) &&
           !(gs.input.selection == 1 && col == gs.input.sel_col && row == gs.input.sel_row);
  if (!in_hand_grid(col, row)) return false;
  const int kind = hand_kind_at(col, row);
  return gs.record.hands[0][kind] > 0 && !(gs.input.selection == 2 && kind == gs.input.sel_piece);
}

// The second click on a board square. Returns true when the board must take no further click: the
// record is full.
bool make_move(GameState& gs, Engine& e, int col, int row) {
  if (!destination_allowed(gs, col, row)) return false;   // refused silently; the selection stays

  // The rules, before the promotion question: promoting or not never makes an illegal move legal (a
  // piece that could not move again is promoted already).
  const bool forced = gs.input.selection == 1 && must_promote(SENTE, gs.input.sel_piece, row);
  MoveRecord move;
  if (gs.input.selection == 1) {
    move.from_col = gs.input.sel_col;
    move.from_row = gs.input.sel_row;
    move.captured = gs.record.board[gs_index(col, row)];
  }
  move.piece = gs.input.sel_piece;
  move.piece_after = gs.input.sel_piece + (forced ? PROMOTED_BIT : 0);
  move.to_col = col;
  move.to_row = row;
  const MoveFault fault = player_move_fault(e, gs, move);
  if (fault != MOVE_LEGAL && !gs.flags.allow_illegal) {
    gs.input.selection = 0;
    set_status(gs.view, fault_text(fault));
    repaint(gs, e);
    return false;
  }

  gs.input.dest_col = col;
  gs.input.dest_row = row;
  if (gs.input.selection == 1) {
    gs.input.dest_piece = move.piece_after;
    if (!forced && offers_promotion(gs) &&
             message_box(u"成りますか？", u"成り・不成の選択", BOX_QUESTION, BOX_YES_NO) == ANSWER_YES)
      gs.input.dest_piece += PROMOTED_BIT;
  } else {
    gs.input.dest_piece = gs.input.sel_piece;
  }

  // Record limit: the board takes no further click until a KIF load or a reset.
  if (gs.record.current >= PLAYER_MOVE_LIMIT) {
    set_status(gs.view, TEXT_RECORD_FULL);
    repaint(gs, e);
    return true;
  }

  const bool drop = gs.input.selection == 2;
  gs.input.selection = 0;
  if (drop)
    apply_drop(gs.record, 0, gs.input.dest_piece, col, row);
  else
    apply_board_move(gs.record, 0, gs.input.sel_col, gs.input.sel_row, col, row, gs.input.dest_piece);
  record_current(gs);
  repaint(gs, e);
  // The turn goes to the computer only after the click is done with the state it shares.
  gs.flags.input_busy = false;
  gs.flags.player_to_move = false;
  wake_turn_threads();
  return false;
}

}  // namespace

void on_left_button_up(GameState& gs, Engine& e, int x, int y) {
  std::lock_guard<std::recursive_mutex> turn(turn_lock());
  if (gs.flags.input_busy.exchange(true)) return;
  bool hold_board = false;
  if (gs.flags.started && !gs.flags.game_over && !gs.flags.thinking && gs.flags.player_to_move) {
    // Negative positions (outside the client area) must not truncate toward square 0.
    const int col = x >= 0 ? x / GRID : -1;
    const int row = y >= 0 ? y / GRID : -1;
    if (gs.input.selection == 0 || selects_another(gs, col, row)) {
      gs.input.selection = 0;
      select_piece(gs, e, col, row);
    } else if (on_board(col, row) && !(gs.input.selection == 1 && col == gs.input.sel_col && row == gs.input.sel_row)) {
      hold_board = make_move(gs, e, col, row);
    } else {
      gs.input.selection = 0;
      repaint(gs, e);
    }
  }
  if (!hold_board) gs.flags.input_busy = false;
}

}  // namespace halvane
