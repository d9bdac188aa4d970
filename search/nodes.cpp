// The two node kinds of the main search. gote_node (the computer to move, lowest score wins) and
// sente_node (the human, highest wins) try the ply's remembered moves, then generate column by column,
// and end with a pass; the root also consults the book, ply 1 asks the reply solver for a mate.
#include <atomic>

#include "book/book.h"
#include "mate/mate_search.h"
#include "search/generators.h"
#include "search/search.h"

namespace halvane {

namespace {

template <int S>
constexpr int king_code() { return S == GOTE ? GOTE_KING : SENTE_KING; }

// Tries ply p's remembered moves that still fit the position. True when the node must stop.
template <int S>
bool try_remembered(Engine& e, int p) {
  const auto& k = e.killers;
  for (int i = 0; i < e.killer_width[p]; ++i) {
    const int to = cell_of(k[K_TO_COL][p][i], k[K_TO_ROW][p][i]);
    if (k[K_FROM_COL][p][i] != -1) {
      // A board move fits when the piece, the captured code and the side's rays on the destination
      // are as they were (a blocked line changes the rays).
      const int from = cell_of(k[K_FROM_COL][p][i], k[K_FROM_ROW][p][i]);
      const int piece = k[K_PIECE][p][i];
      if (e.pos.board[from] != piece || e.pos.board[to] != k[K_CAPTURED][p][i] ||
          e.effects.rays[S][to] != k[K_DEST_RAYS][p][i])
        continue;
      e.ply_eval[p] = 0;
      const bool king = piece == king_code<S>();
      if (king) e.pos.king_sq[S][p] = to;
      const bool stop = dispatch_move(e, from, piece, to, k[K_PIECE_AFTER][p][i], k[K_CAPTURED][p][i]);
      if (king) e.pos.king_sq[S][p] = from;
      if (stop || outside_stop(e)) return true;
    } else {
      const int kind = k[K_PIECE_AFTER][p][i] & 7;
      if (kind == PAWN && pawn_in_column(e.pos.board, S, k[K_TO_COL][p][i])) continue;
      if (e.pos.board[to] != SQ_EMPTY || e.pos.hand[S][kind] == 0) continue;
      const int third = e.capture_value[kind] / 3;
      e.ply_eval[p] = S == GOTE ? -third : third;
      last_to_sq(e, p) = to;
      --e.pos.hand[S][kind];
      e.pos.board[to] = static_cast<uint8_t>(own_code<S>(kind));
      drop_search(e, to);
      e.pos.board[to] = SQ_EMPTY;
      ++e.pos.hand[S][kind];
      if (side_cutoff(e, S, p) || outside_stop(e)) return true;
    }
  }
  return false;
}

}  // namespace

// A node entered after an outside stop returns at once; its value no longer counts (stop_cut).
static bool stopped_at_entry(Engine& e) {
  if (++e.nodes == e.node_hook_at) e.node_hook(e);
  return outside_stop(e);
}

void gote_node(Engine& e) {
  const int p = e.ply;
  pv_start(e, p);
  if (stopped_at_entry(e)) {
    if (p != 0) e.ply_best[p] = 0;
    return;
  }
  // 1. Deep enough; 2. the recapture plies.
  if (p >= e.depth_limit) {
    e.ply_best[p] = 0;
    pv_refute_last(e, p);
    return;
  }
  if (e.ply_mode[p] >= MODE_RECAPTURE) {
    recapture_node(e);
    return;
  }
  // 3. The root asks the book first.
  if (p == 0 && book_lookup(e.book, e.pos.board, e.pos.hand[GOTE], e.result_move, e.book_hint)) {
    e.ply_best[0] = BOOK_MOVE_SCORE;
    e.result_reply = MoveRecord{};
    pv_single(e, 0, e.result_move);
    return;
  }
  // 4. The human left his king en prise; otherwise the kings stand where they stood.
  if (p >= 2) {
    if (e.effects.count[GOTE][e.pos.king_sq[SENTE][p - 1]] > 0) {
      e.ply_best[p] = p * KING_CAPTURE_PER_PLY - KING_VALUE;
      pv_refute_last(e, p);
      return;
    }
    e.pos.king_sq[SENTE][p] = e.pos.king_sq[SENTE][p - 1];
    e.pos.king_sq[GOTE][p] = e.pos.king_sq[GOTE][p - 1];
  }
  // 5. The root's start value is the driver's.
  if (p != 0) e.ply_best[p] = GOTE_NOTHING_YET;
  // 6. Remembered moves.
  if (try_remembered<GOTE>(e, p)) return;
  // 7. Generation, column by column; a mate found by the mate thread (or a front end's stop) ends the loop.
  SearchSink<GOTE> sink{e};
  const bool with_drops = e.ply_mode[p] < MODE_RECAPTURE;
  for (int col = 0; col < 9; ++col) {
    if (think_stopping(e)) break;
    if (p == 0) e.root_progress.store(col, std::memory_order_relaxed);
    if (scan_column<GOTE>(sink, gote_generators, col, with_drops)) return;
  }
  // 8. The pass, below the root: the computer is never worse off than by doing nothing.
  if (p >= 1) {
    e.ply_eval[p] = 0;
    last_to_sq(e, p) = e.pos.king_sq[GOTE][p];
    e.ply = p + 1;
    sente_node(e);
    e.ply = p;
    e.ply_eval[p] += e.ply_best[p + 1];
    // A pass is no move: the line ends before it.
    if (e.ply_eval[p] < e.ply_best[p]) {
      e.ply_best[p] = e.ply_eval[p];
      pv_start(e, p);
    }
  }
}

void sente_node(Engine& e) {
  const int p = e.ply;
  if (p == 1) e.reply_best = MoveRecord{};
  pv_start(e, p);
  if (stopped_at_entry(e)) {
    e.ply_best[p] = 0;
    return;
  }
  // 1. Deep enough; 2. the last ply only scores a recapture.
  if (p >= e.depth_limit) {
    e.ply_best[p] = 0;
    pv_refute_last(e, p);
    return;
  }
  if (e.ply_mode[p] >= MODE_STATIC_RECAPTURE) {
    static_recapture(e);
    return;
  }
  // 3. The kings stand where they stood; 4. the computer left its king en prise.
  e.pos.king_sq[SENTE][p] = e.pos.king_sq[SENTE][p - 1];
  e.pos.king_sq[GOTE][p] = e.pos.king_sq[GOTE][p - 1];
  if (e.effects.count[SENTE][e.pos.king_sq[GOTE][p - 1]] > 0) {
    e.ply_best[p] = KING_VALUE - p * KING_CAPTURE_PER_PLY;
    pv_refute_last(e, p);
    return;
  }
  // 5. After each root move: can the human force mate?
  if (p == 1) {
    const int mated = reply_probe(e.reply_solver, e.pos.board, e.pos.hand[SENTE], e.pos.hand[GOTE]);
    // A stop cuts the reply check short too (stop_think lowers its depth): its answer is not trusted.
    if (outside_stop(e)) return;
    if (mated == 1) {
      e.ply_best[1] = REPLY_MATE_SCORE;
      return;
    }
  }
  // 6. Start value, 7. remembered moves.
  e.ply_best[p] = SENTE_NOTHING_YET;
  if (try_remembered<SENTE>(e, p)) return;
  // 8. Generation.
  SearchSink<SENTE> sink{e};
  const bool with_drops = e.ply_mode[p] < MODE_RECAPTURE;
  for (int col = 0; col < 9; ++col)
    if (scan_column<SENTE>(sink, sente_generators, col, with_drops)) return;
  // 9. The pass, always.
  e.ply_eval[p] = 0;
  last_to_sq(e, p) = e.pos.king_sq[SENTE][p];
  if (p == 3) e.ply_eval[3] += king_safety(e);
  e.ply = p + 1;
  gote_node(e);
  e.ply = p;
  e.ply_eval[p] += e.ply_best[p + 1];
  if (e.ply_eval[p] > e.ply_best[p]) {
    e.ply_best[p] = e.ply_eval[p];
    if (p == 1) e.reply_best = MoveRecord{};
    pv_start(e, p);
  }
}

}  // namespace halvane
