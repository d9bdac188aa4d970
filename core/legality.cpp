// Move legality on a SfenPosition, square by square: a move is first held to the piece's reach and the
// promotion rules, then played on a copy to see whether the mover's king stands attacked, and a pawn drop
// that checks is tried against every reply. Written for clarity, not speed: the records and the
// positions players bring need a verdict and its reason, not millions of moves a second.
#include "core/legality.h"

#include "core/piece_moves.h"
#include "core/promotion.h"
#include "core/second_pawn.h"

namespace halvane {

namespace {

bool on_board9(int col, int row) { return col >= 0 && col < 9 && row >= 0 && row < 9; }
int code_at(const SfenPosition& pos, int col, int row) { return pos.board[row * 9 + col]; }

// A step of `side` in columns and rows: SENTE's as the table gives it, GOTE's turned round.
Step side_step_of(int side, Step s) { return side == BLACK ? s : rotated_step(s); }

// Whether the piece `code` on (fc, fr) reaches (tc, tr) on the board: one of its steps lands there, or one
// of its lines leads there over empty squares.
bool reaches(const SfenPosition& pos, int code, int fc, int fr, int tc, int tr) {
  const int side = side_of(code);
  const PieceMoves& m = PIECE_MOVES[kind_of(code)];
  for (int i = 0; i < m.n_steps; ++i) {
    const Step s = side_step_of(side, m.steps[i]);
    if (fc + s.dc == tc && fr + s.dr == tr) return true;
  }
  for (int j = 0; j < m.n_lines; ++j) {
    const Step s = side_step_of(side, DIR_STEPS[m.lines[j]]);
    for (int c = fc + s.dc, r = fr + s.dr; on_board9(c, r); c += s.dc, r += s.dr) {
      if (c == tc && r == tr) return true;
      if (code_at(pos, c, r) != SQ_EMPTY) break;
    }
  }
  return false;
}

// Whether any piece of `by` attacks (col, row).
bool attacked(const SfenPosition& pos, int col, int row, int by) {
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      const int code = code_at(pos, c, r);
      if (is_piece(code) && side_of(code) == by && reaches(pos, code, c, r, col, row)) return true;
    }
  return false;
}

// The checks that need no look beyond the board as it stands: the origin, the destination, the reach,
// promotion and the pawn rules.
MoveVerdict judge_shape(const SfenPosition& pos, const MoveRecord& move) {
  const int side = pos.side_to_move;
  if (!on_board9(move.to_col, move.to_row)) return MOVE_OUT_OF_REACH;
  const int target = code_at(pos, move.to_col, move.to_row);
  if (move.is_drop()) {
    const int kind = hand_kind(move.piece);
    if (!is_piece(move.piece) || side_of(move.piece) != side || kind_of(move.piece) > ROOK || kind == KING ||
        move.piece_after != move.piece || pos.hand[side][kind] == 0)
      return MOVE_NO_PIECE;
    if (target != SQ_EMPTY) return MOVE_ONTO_OWN_PIECE;
    if (must_promote(side, kind, move.to_row)) return MOVE_DEAD_PIECE;
    if (kind == PAWN && pawn_in_column(side, move.to_col, [&](int c, int r) { return code_at(pos, c, r); }))
      return MOVE_SECOND_PAWN;
    return MOVE_OK;
  }
  if (!on_board9(move.from_col, move.from_row)) return MOVE_NO_PIECE;
  const int code = code_at(pos, move.from_col, move.from_row);
  if (!is_piece(code) || side_of(code) != side || code != move.piece) return MOVE_NO_PIECE;
  if (is_piece(target) && side_of(target) == side) return MOVE_ONTO_OWN_PIECE;
  if (!reaches(pos, code, move.from_col, move.from_row, move.to_col, move.to_row)) return MOVE_OUT_OF_REACH;
  if (move.piece_after != code) {
    if (move.piece_after != code + PROMOTED_BIT || !can_promote(code) ||
        !promotion_allowed(side, move.from_row, move.to_row))
      return MOVE_BAD_PROMOTION;
  } else if (must_promote(side, kind_of(code), move.to_row)) {
    return MOVE_DEAD_PIECE;
  }
  if (is_piece(target) && kind_of(target) == KING) return MOVE_CAPTURES_KING;
  return MOVE_OK;
}

// Every move the pieces and hands of the side to move could make by their reach and the promotion and
// pawn rules, before the king's safety is looked at.
std::vector<MoveRecord> candidate_moves(const SfenPosition& pos) {
  std::vector<MoveRecord> out;
  const int side = pos.side_to_move;
  const int own = side == WHITE ? GOTE_BIT : 0;
  auto offer = [&](const MoveRecord& m) {
    if (judge_shape(pos, m) == MOVE_OK) out.push_back(m);
  };
  for (int fr = 0; fr < 9; ++fr)
    for (int fc = 0; fc < 9; ++fc) {
      const int code = code_at(pos, fc, fr);
      if (!is_piece(code) || side_of(code) != side) continue;
      for (int tr = 0; tr < 9; ++tr)
        for (int tc = 0; tc < 9; ++tc) {
          if (!reaches(pos, code, fc, fr, tc, tr)) continue;
          MoveRecord m;
          m.from_col = fc, m.from_row = fr, m.to_col = tc, m.to_row = tr;
          m.piece = m.piece_after = code;
          m.captured = code_at(pos, tc, tr);
          offer(m);
          m.piece_after = code + PROMOTED_BIT;
          if (can_promote(code)) offer(m);
        }
    }
  for (int kind = PAWN; kind <= ROOK; ++kind) {
    if (pos.hand[side][kind] == 0) continue;
    for (int tr = 0; tr < 9; ++tr)
      for (int tc = 0; tc < 9; ++tc) {
        MoveRecord m;
        m.to_col = tc, m.to_row = tr;
        m.piece = m.piece_after = kind + own;
        offer(m);
      }
  }
  return out;
}

bool king_square(const SfenPosition& pos, int side, int& col, int& row) {
  const int king = side == WHITE ? GOTE_KING : SENTE_KING;
  for (int i = 0; i < 81; ++i)
    if (pos.board[i] == king) {
      col = i % 9, row = i / 9;
      return true;
    }
  return false;
}

// The verdict without the pawn-drop-mate rule, which needs the replies' own verdicts.
MoveVerdict judge_plain(const SfenPosition& pos, const MoveRecord& given) {
  MoveRecord move = given;
  if (!move.is_drop() && on_board9(move.to_col, move.to_row)) move.captured = code_at(pos, move.to_col, move.to_row);
  const MoveVerdict shape = judge_shape(pos, move);
  if (shape != MOVE_OK) return shape;
  SfenPosition after = pos;
  apply_move(after, move);
  if (king_in_check(after, pos.side_to_move)) return MOVE_LEAVES_KING;
  return MOVE_OK;
}

bool has_legal_reply(const SfenPosition& pos) {
  // A reply that is itself a pawn drop mating back cannot stop a check, so the plain verdict decides.
  for (const MoveRecord& m : candidate_moves(pos))
    if (judge_plain(pos, m) == MOVE_OK) return true;
  return false;
}

}  // namespace

const char* verdict_text(MoveVerdict verdict) {
  switch (verdict) {
    case MOVE_OK: return "legal";
    case MOVE_NO_PIECE: return "the mover has no such piece there or in hand";
    case MOVE_ONTO_OWN_PIECE: return "the destination is occupied by the mover's own piece";
    case MOVE_OUT_OF_REACH: return "the piece cannot move there";
    case MOVE_BAD_PROMOTION: return "the piece cannot promote on this move";
    case MOVE_DEAD_PIECE: return "the piece could never move again from there";
    case MOVE_SECOND_PAWN: return "a second unpromoted pawn on the file (nifu)";
    case MOVE_CAPTURES_KING: return "it captures a king left in check";
    case MOVE_LEAVES_KING: return "it leaves the mover's king in check";
    case MOVE_PAWN_DROP_MATE: return "a pawn drop that mates (uchifuzume)";
  }
  return "illegal";
}

bool king_in_check(const SfenPosition& pos, int side) {
  int col, row;
  return king_square(pos, side, col, row) && attacked(pos, col, row, side ^ 1);
}

MoveVerdict judge_move(const SfenPosition& pos, const MoveRecord& move) {
  const MoveVerdict plain = judge_plain(pos, move);
  if (plain != MOVE_OK || !move.is_drop() || hand_kind(move.piece) != PAWN) return plain;
  // A pawn drop that checks and leaves no reply mates: forbidden.
  SfenPosition after = pos;
  apply_move(after, move);
  if (king_in_check(after, after.side_to_move) && !has_legal_reply(after)) return MOVE_PAWN_DROP_MATE;
  return MOVE_OK;
}

std::vector<MoveRecord> legal_moves(const SfenPosition& pos) {
  std::vector<MoveRecord> out;
  for (const MoveRecord& m : candidate_moves(pos))
    if (judge_move(pos, m) == MOVE_OK) out.push_back(m);
  return out;
}

PositionVerdict judge_position(const SfenPosition& pos, KingsNeeded needed) {
  auto fault = [](PositionFault f, int side, int square = -1, int kind = -1) {
    return PositionVerdict{f, side, square, kind};
  };
  int count[8] = {};
  int kings[2] = {};
  for (int side = 0; side < 2; ++side) {
    if (pos.hand[side][KING]) return fault(POSITION_KING_IN_HAND, side, -1, KING);
    for (int kind = 0; kind < 8; ++kind) count[kind] += pos.hand[side][kind];
  }
  // 1. Square by square: dead pieces and 二歩, counting the kinds and the kings on the way.
  for (int i = 0; i < 81; ++i) {
    const int code = pos.board[i];
    if (!is_piece(code)) continue;
    const int kind = kind_of(code), side = side_of(code), row = i / 9;
    ++count[hand_kind(code)];
    if (kind == KING) ++kings[side];
    if (must_promote(side, kind, row)) return fault(POSITION_DEAD_PIECE, side, i, kind);
    if (kind == PAWN) {
      for (int r = row + 1; r < 9; ++r)
        if (pos.board[r * 9 + i % 9] == code) return fault(POSITION_SECOND_PAWN, side, r * 9 + i % 9, PAWN);
    }
  }
  // 2. The kings: never two, and one for each side the position needs it of.
  for (int side = 0; side < 2; ++side)
    if (kings[side] > 1) return fault(POSITION_TWO_KINGS, side, -1, KING);
  for (int side = 0; side < 2; ++side) {
    const bool needs = needed == KINGS_BOTH || (needed == KINGS_DEFENDER && side != pos.side_to_move);
    if (needs && kings[side] == 0) return fault(POSITION_NO_KING, side, -1, KING);
  }
  // 3. The set, and the king of the side not to move out of reach.
  for (int kind = 0; kind < 8; ++kind)
    if (count[kind] > SET_PIECES[kind]) return fault(POSITION_TOO_MANY, BLACK, -1, kind);
  if (king_in_check(pos, pos.side_to_move ^ 1)) return fault(POSITION_OTHER_IN_CHECK, pos.side_to_move ^ 1, -1, KING);
  return {};
}

const char* position_fault_text(PositionFault fault) {
  switch (fault) {
    case POSITION_OK: return nullptr;
    case POSITION_KING_IN_HAND: return "a king in hand";
    case POSITION_DEAD_PIECE: return "a pawn, lance or knight where it could never move";
    case POSITION_SECOND_PAWN: return "two unpromoted pawns of one side on a file";
    case POSITION_TWO_KINGS: return "a side with two kings";
    case POSITION_NO_KING: return "a side without a king";
    case POSITION_TOO_MANY: return "more pieces of a kind than the set has";
    case POSITION_OTHER_IN_CHECK: return "the side not to move is in check";
  }
  return "impossible position";
}

const char* position_fault(const SfenPosition& pos) { return position_fault_text(judge_position(pos).fault); }

long long count_legal_leaves(const SfenPosition& pos, int depth) {
  if (depth == 0) return 1;
  long long total = 0;
  for (const MoveRecord& m : legal_moves(pos)) {
    if (depth == 1) {
      ++total;
      continue;
    }
    SfenPosition next = pos;
    apply_move(next, m);
    total += count_legal_leaves(next, depth - 1);
  }
  return total;
}

}  // namespace halvane
