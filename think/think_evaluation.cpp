// The evaluation a player reads of a think: material at the engine's own piece values, plus the think's
// change on the same scale, from sente's side; a mate as a mate in its number of moves.
#include "think/think_evaluation.h"

#include <algorithm>
#include <cstdlib>

#include "search/engine.h"

namespace halvane {

namespace {

// The engine's value of a piece: what the computer gains by taking one of its kind (CAPTURE_VALUE's
// computer row: a pawn 100, a rook 1600). The human's row carries 10 more on each piece, a leaning of
// the search that is no part of the material, so both sides count the same here.
int piece_value(int code) { return CAPTURE_VALUE[(code & 15) | GOTE_BIT]; }

}  // namespace

int material_balance(const uint8_t board[BOARD_CELLS], const uint8_t hand[2][8]) {
  int sum = 0;
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int code = board[cell_of(col, row)];
      if (!is_piece(code) || kind_of(code) == KING) continue;
      sum += side_of(code) == SENTE ? piece_value(code) : -piece_value(code);
    }
  for (int kind = PAWN; kind < KING; ++kind) sum += (hand[SENTE][kind] - hand[GOTE][kind]) * piece_value(kind);
  return sum;
}

int think_evaluation(const ThinkRequest& request, const MoveRecord& move, int score) {
  if (move.to_col == -1) return NO_EVALUATION;
  const bool sente_thinks = request.side == SENTE;
  const ScoreMeaning meaning = score_meaning(score);
  switch (meaning.kind) {
    case ScoreKind::BOOK: return NO_EVALUATION;
    case ScoreKind::MATE: return mate_evaluation(meaning.value, sente_thinks);
    case ScoreKind::KING_CAPTURE:
      // The score is from the other side's point of view: below 0 the think's side takes the king.
      return mate_evaluation(std::abs(meaning.value), (score < 0) == sente_thinks);
    case ScoreKind::EVALUATION: break;
  }
  const int change = sente_thinks ? meaning.value : -meaning.value;
  // The change is on the same scale as the material: the search's values are these piece values, so a
  // pawn is about 100 in both and neither is scaled. (The search scores a capture at the piece's value
  // once, where the material counts it leaving one side and entering the other's hand; doubling the change
  // to match was tried on real games and read less steadily from one move to the next, since it doubles
  // the search's positional terms too.)
  const int value = material_balance(request.board, request.hand) + change;
  // However large, an evaluation is never read as a mate.
  return std::clamp(value, -(MATE_BOUND - 1), MATE_BOUND - 1);
}

}  // namespace halvane
