// The record's tree grown move by move: a move already played from the same node is followed, not
// doubled (add_move), and the position is kept beside the node so that each move is judged where it stands.
#include "kif/record_builder.h"

#include "core/legality.h"

namespace halvane {

std::string RecordBuilder::play(MoveRecord move, int line) {
  move.captured = pos.board[move.to_row * 9 + move.to_col];
  const MoveVerdict verdict = judge_move(pos, move);
  if (verdict == MOVE_NO_PIECE || verdict == MOVE_ONTO_OWN_PIECE) return verdict_text(verdict);
  if (verdict != MOVE_OK) {
    foul_line = line;
    foul_reason = verdict_text(verdict);
  }
  current = add_move(record, current, move);
  apply_move(pos, move);
  return {};
}

void RecordBuilder::close(GameEnd end) {
  record.nodes[current].end = end;
  closed = true;
  foul_line = 0;
}

bool RecordBuilder::branch(long ply) {
  if (ply < 1) return false;
  int k = current;
  while (k > 0 && record.nodes[k].ply > ply - 1) k = record.nodes[k].parent;
  if (record.nodes[k].ply != ply - 1) return false;
  current = k;
  pos = position_at(record, k);
  closed = false;
  return true;
}

}  // namespace halvane
