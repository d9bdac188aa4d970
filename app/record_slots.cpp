// Record slots to moves and moves to record slots: the step from one slot to the next is a board move
// when two squares differ (one emptied, one receiving the piece), a drop when one empty square fills.
#include "app/record_slots.h"

#include <cstring>

#include "core/sfen.h"

namespace halvane {

namespace {

struct Difference {
  int col, row, before, after;
};

}  // namespace

SlotChange slot_move(const GameState& gs, int k, MoveRecord& move, int& differences) {
  const int* before = gs.record.record_boards[k];
  const int* after = gs.record.record_boards[k + 1];
  Difference listed[2];
  differences = 0;
  // Column by column, and within a column from the top row down.
  for (int col = 0; col < 9; ++col)
    for (int row = 0; row < 9; ++row) {
      const int i = gs_index(col, row);
      if (before[i] == after[i]) continue;
      if (differences < 2) listed[differences] = {col, row, before[i], after[i]};
      ++differences;
    }
  if (differences == 0) return SLOT_UNCHANGED;
  if (differences > 2) return SLOT_TOO_MANY;

  move = MoveRecord{};
  if (differences == 1) {
    // A drop: an empty square receives a piece from the hand.
    const Difference& d = listed[0];
    if (d.before != SQ_EMPTY || d.after == SQ_EMPTY) return SLOT_MALFORMED;
    move.piece = move.piece_after = d.after;
    move.to_col = d.col;
    move.to_row = d.row;
    return SLOT_MOVE;
  }
  // A board move: the square that empties is the origin.
  const bool first_is_origin = listed[0].after == SQ_EMPTY;
  const Difference& from = first_is_origin ? listed[0] : listed[1];
  const Difference& to = first_is_origin ? listed[1] : listed[0];
  const int moving = from.before, arriving = to.after;
  // Anything else than one piece leaving a square for another, promoted or not, is not a move.
  if (!is_piece(moving) || from.after != SQ_EMPTY || !is_piece(arriving)) return SLOT_MALFORMED;
  if (arriving != moving && !(can_promote(moving) && arriving == moving + PROMOTED_BIT)) return SLOT_MALFORMED;
  move.from_col = from.col;
  move.from_row = from.row;
  move.piece = moving;
  move.to_col = to.col;
  move.to_row = to.row;
  move.piece_after = arriving;
  move.captured = to.before;
  return SLOT_MOVE;
}

SlotMoves slot_moves_of(const GameRecord& record, bool& cut) {
  SlotMoves out;
  const std::vector<int> line = line_from(record, 0);
  const int moves = static_cast<int>(line.size()) - 1;
  cut = moves > PLAYER_MOVE_LIMIT;
  out.move_count = cut ? PLAYER_MOVE_LIMIT : moves;
  for (int k = 0; k < out.move_count; ++k) out.moves[k] = record.nodes[line[k + 1]].move;
  const GameEnd end = record.nodes[line.back()].end;
  out.end = cut || end == GAME_END_SUSPENDED ? GAME_END_NONE : end;
  return out;
}

GameRecord record_of(const SlotMoves& moves) {
  GameRecord record;
  int node = 0;
  for (int k = 0; k < moves.move_count; ++k) node = add_move(record, node, moves.moves[k]);
  record.nodes[node].end = moves.end;
  return record;
}

bool record_from_slots(const GameState& gs, SlotMoves& record, SlotChange& failure, int& differences) {
  record.move_count = 0;
  record.end = gs.flags.end_reason;
  failure = SLOT_MOVE;
  differences = 0;
  const int last = gs.record.length < RECORD_SLOTS - 1 ? gs.record.length : RECORD_SLOTS - 1;
  for (int k = 0; k < last; ++k) {
    MoveRecord move;
    const SlotChange change = slot_move(gs, k, move, differences);
    if (change == SLOT_UNCHANGED) break;   // the moves after it are not written
    if (change != SLOT_MOVE) {
      failure = change;
      return false;
    }
    // The player as gote sees sente's pieces at the top: the file's view is the rotated board.
    record.moves[record.move_count++] = gs.record.player_is_gote ? rotate_move(move) : move;
  }
  return true;
}

void record_to_slots(GameState& gs, const SlotMoves& record) {
  SfenPosition pos = startpos();
  copy_initial(gs.record, gs.record.record_boards[0]);
  std::memset(gs.record.record_hands[0][0], 0, sizeof gs.record.record_hands[0][0]);
  std::memset(gs.record.record_hands[1][0], 0, sizeof gs.record.record_hands[1][0]);
  const int count = record.move_count < RECORD_SLOTS - 1 ? record.move_count : RECORD_SLOTS - 1;
  for (int k = 1; k <= count; ++k) {
    apply_move(pos, record.moves[k - 1]);
    int* board = gs.record.record_boards[k];
    copy_initial(gs.record, board);   // the wall frame
    for (int row = 0; row < 9; ++row)
      for (int col = 0; col < 9; ++col) board[gs_index(col, row)] = pos.board[row * 9 + col];
    for (int side = 0; side < 2; ++side)
      for (int kind = 0; kind < 8; ++kind) gs.record.record_hands[side][k][kind] = pos.hand[side][kind];
  }
  gs.record.length = count;
}

}  // namespace halvane
