// The two last plies of a schedule: recapture_node (the computer searches only recaptures of the piece
// the human just moved) and static_recapture (the human's recapture is only scored, nothing is made).
#include "search/recapture.h"

#include "search/search.h"

namespace halvane {

static bool on_board_range(int t) { return t >= FIRST_CELL && t <= LAST_CELL; }

void recapture_node(Engine& e) {
  const int p = e.ply;
  // 1. Not recapturing is worth 0.
  e.ply_eval[p] = 0;
  e.ply_best[p] = 0;
  pv_start(e, p);
  if (p >= e.depth_limit) {
    pv_refute_last(e, p);
    return;
  }
  // 2. The human left his king en prise.
  if (e.effects.count[GOTE][e.pos.king_sq[SENTE][p - 1]] > 0) {
    e.ply_best[p] = p * KING_CAPTURE_PER_PLY - KING_VALUE;
    pv_refute_last(e, p);
    return;
  }
  // 3. The piece the human just moved, if the computer attacks it.
  const int t = last_to_sq(e, p - 1);
  last_to_sq(e, p) = t;
  if (!on_board_range(t) || e.effects.count[GOTE][t] == 0 || e.pos.board[t] > DRAGON) return;
  // 4. Each recapture in order; a recapture never promotes.
  for_each_recapturer(e, GOTE, t, [&e, t](int cell, int code) {
    return dispatch_move(e, cell, code, t, code, e.pos.board[t]);
  });
}

void static_recapture(Engine& e) {
  const int p = e.ply;
  e.ply_eval[p] = 0;
  e.ply_best[p] = 0;
  // Nothing here checks whether the recapture before it left the computer's king to be taken (nor is
  // the human's recapture made): the line ends before that recapture.
  pv_refute_last(e, p);
  if (p >= e.depth_limit) return;
  const int t = last_to_sq(e, p - 1);
  last_to_sq(e, p) = t;
  const int code = e.pos.board[t];
  if (!on_board_range(t) || e.effects.count[SENTE][t] == 0 || !is_gote_piece(code)) return;
  // The computer's piece there is lost if the human has any way onto the cell; the recapturer's own
  // safety is not weighed.
  if (for_each_recapturer(e, SENTE, t, [](int, int) { return true; })) e.ply_best[p] = e.capture_value[code];
}

}  // namespace halvane
