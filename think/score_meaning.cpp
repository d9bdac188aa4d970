// What a think's score means: the search's king-capture values, the mate thread's mate score and the
// book's mark, told apart from an evaluation.
#include "book/book.h"
#include "core/types.h"
#include "search/search.h"
#include "think/think.h"

namespace halvane {

namespace {

constexpr int KING_PLIES = 20;   // deeper than any search goes; material sums stay far below

}  // namespace

ScoreMeaning score_meaning(int score) {
  const int own = -score;   // the score is from the side not to move's point of view
  if (own > MATE_SCORE_BASE - MAX_PLY && own < MATE_SCORE_BASE) return {ScoreKind::MATE, MATE_SCORE_BASE - own};
  if (score == BOOK_MOVE_SCORE) return {ScoreKind::BOOK, 0};
  if (own > KING_VALUE - KING_PLIES * KING_CAPTURE_PER_PLY && own <= KING_VALUE)
    return {ScoreKind::KING_CAPTURE, (KING_VALUE - own) / KING_CAPTURE_PER_PLY - 1};
  if (-own > KING_VALUE - KING_PLIES * KING_CAPTURE_PER_PLY && -own <= KING_VALUE)
    return {ScoreKind::KING_CAPTURE, -((KING_VALUE + own) / KING_CAPTURE_PER_PLY - 1)};
  return {ScoreKind::EVALUATION, own};
}

}  // namespace halvane
