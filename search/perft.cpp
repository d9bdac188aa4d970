// Perft over the search's generators: each generated move is made with the effect-map protocol, kept
// only when it leaves the mover's king unattacked (and, for a pawn drop that checks, when the opponent
// still has a legal answer), and counted or searched further.
#include "search/perft.h"

#include <cstring>

#include "search/generators.h"

namespace halvane {

namespace {

template <int S>
uint64_t perft_node(Engine& e, int depth, bool stop_at_first, PerftReport report, void* context);

template <int S>
struct PerftSink {
  Engine& e;
  int depth;             // moves still to play, this one included
  bool stop_at_first;    // only whether a legal move exists
  PerftReport report;
  void* context;
  uint64_t count = 0;

  // Counts the position below one legal move; true stops the generators.
  bool count_below(const MoveRecord& move) {
    uint64_t below = 1;
    if (depth > 1) {
      const int p = e.ply;
      for (int side = 0; side < 2; ++side) e.pos.king_sq[side][p + 1] = e.pos.king_sq[side][p];
      e.ply = p + 1;
      below = perft_node<1 - S>(e, depth - 1, false, nullptr, nullptr);
      e.ply = p;
    }
    count += below;
    if (report) report(context, move, below);
    return stop_at_first;
  }

  bool king_safe() const { return e.effects.count[1 - S][e.pos.king_sq[S][e.ply]] == 0; }

  bool move(int from, int piece, int to, int piece_after, int captured) {
    // Own pieces and walls are no destinations; the opponent's king is never capturable in a legal game.
    if (captured == SQ_WALL || (is_piece(captured) && side_of(captured) == S)) return false;
    if (captured == (S == GOTE ? SENTE_KING : GOTE_KING)) return false;
    const int p = e.ply;
    make_board_move(e.effects, e.pos, p, 0, from, to, piece_after);
    bool stop = false;
    if (king_safe())
      stop = count_below({col_of(from), row_of(from), piece, col_of(to), row_of(to), piece_after, captured});
    undo_board_move(e.effects, e.pos, p, from, to, piece, captured);
    return stop;
  }

  bool drop(int cell, int kind) {
    const int p = e.ply;
    const int code = own_code<S>(kind);
    make_drop(e.effects, e.pos, p, 0, cell, code);
    bool legal = king_safe();
    // A pawn dropped in front of the enemy king may check but never mate.
    if (legal && kind == PAWN && e.pos.king_sq[1 - S][p] == cell + forward<S>()) {
      for (int side = 0; side < 2; ++side) e.pos.king_sq[side][p + 1] = e.pos.king_sq[side][p];
      e.ply = p + 1;
      legal = perft_node<1 - S>(e, 1, true, nullptr, nullptr) > 0;
      e.ply = p;
    }
    bool stop = false;
    if (legal) stop = count_below({-1, -1, code, col_of(cell), row_of(cell), code, SQ_EMPTY});
    undo_drop(e.effects, e.pos, p, cell);
    return stop;
  }
};

template <int S>
uint64_t perft_node(Engine& e, int depth, bool stop_at_first, PerftReport report, void* context) {
  PerftSink<S> sink{e, depth, stop_at_first, report, context};
  for (int col = 0; col < 9; ++col)
    if (scan_column<S>(sink, GENERATORS<S, PerftSink<S>>, col, true)) break;
  return sink.count;
}

}  // namespace

void perft_load(Engine& e, const uint8_t board[BOARD_CELLS], const uint8_t sente_hand[8],
                const uint8_t gote_hand[8]) {
  load_position(e.pos, board, sente_hand, gote_hand);
  fill_king_stacks(e.pos);
  rebuild_effects(e.effects, e.pos);
  e.ply = 0;
}

uint64_t perft(Engine& e, int side, int depth, PerftReport report, void* context) {
  if (depth <= 0) return 1;
  // The effect maps keep per-ply deltas for 32 plies only.
  if (depth >= DELTA_PLIES - 1) return 0;
  e.ply = 0;
  return side == GOTE ? perft_node<GOTE>(e, depth, false, report, context)
                      : perft_node<SENTE>(e, depth, false, report, context);
}

namespace {

struct TurnedReport {
  const EngineView* view;
  PerftReport report;
  void* context;
};

void report_rotated(void* context, const MoveRecord& move, uint64_t count) {
  const TurnedReport& t = *static_cast<const TurnedReport*>(context);
  t.report(t.context, move_from_engine_view(*t.view, move), count);
}

}  // namespace

uint64_t perft_position(Engine& e, const SfenPosition& pos, int depth, PerftReport report, void* context) {
  const EngineView view = engine_view(pos);
  perft_load(e, view.board, view.hand[SENTE], view.hand[GOTE]);
  if (!report) return perft(e, GOTE, depth);
  TurnedReport rotated{&view, report, context};
  return perft(e, GOTE, depth, report_rotated, &rotated);
}

}  // namespace halvane
