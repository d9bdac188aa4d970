// Make + undo pairs of board moves and drops with their effect-map updates, over fixed positions: the
// opening, a middlegame with open sliders, and an endgame with many pieces in hand. Time is per pair.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/effects.h"
#include "core/piece_moves.h"
#include "core/sfen.h"

using namespace halvane;

namespace {

struct BenchMove {
  int from, to, piece, after, captured;   // from -1: a drop of `piece`
};

struct Fixture {
  EnginePosition pos;
  std::unique_ptr<EffectMaps> fx = std::make_unique<EffectMaps>();
  std::vector<BenchMove> moves;
};

// Every pseudo-legal move of both sides (king captures left out): steps, rays, promotions, drops.
void collect_moves(Fixture& f) {
  const uint8_t* board = f.pos.board;
  for (int cell = FIRST_CELL; cell <= LAST_CELL; ++cell) {
    const int code = board[cell];
    if (!is_piece(code)) continue;
    const int side = side_of(code), kind = code & 15;
    auto add = [&](int to) {
      const int target = board[to];
      if (target == SQ_WALL || (is_piece(target) && (side_of(target) == side || (target & 15) == KING))) return false;
      f.moves.push_back({cell, to, code, code, target});
      const int row = row_of(to);
      if (can_promote(code) && (side == SENTE ? row <= 2 : row >= 6))
        f.moves.push_back({cell, to, code, code | PROMOTED_BIT, target});
      return target == SQ_EMPTY;
    };
    for (int i = 0; i < PIECE_MOVES[kind].n_steps; ++i) add(cell + side_step(side, kind, i));
    for (int j = 0; j < PIECE_MOVES[kind].n_lines; ++j) {
      const int d = DIR_STEP[side_line(side, kind, j)];
      for (int to = cell + d; add(to); to += d) {}
    }
  }
  for (int side = 0; side < 2; ++side)
    for (int kind = PAWN; kind <= ROOK; ++kind) {
      if (f.pos.hand[side][kind] == 0) continue;
      for (int cell = FIRST_CELL; cell <= LAST_CELL; ++cell)
        if (board[cell] == SQ_EMPTY) f.moves.push_back({-1, cell, kind | (side ? GOTE_BIT : 0), 0, SQ_EMPTY});
    }
}

Fixture make_fixture(const char* sfen) {
  SfenPosition sp;
  std::string error;
  Fixture f;
  if (!parse_sfen(sfen, sp, error)) return f;
  const EngineView view = engine_view(sp);
  load_position(f.pos, view.board, view.hand[SENTE], view.hand[GOTE]);
  fill_king_stacks(f.pos);
  rebuild_effects(*f.fx, f.pos);
  collect_moves(f);
  return f;
}

void make_undo_pairs(benchmark::State& state, const char* sfen) {
  Fixture f = make_fixture(sfen);
  if (f.moves.empty()) {
    state.SkipWithError("position did not load");
    return;
  }
  size_t i = 0;
  const int ply = 3;
  for (auto _ : state) {
    const BenchMove& m = f.moves[i];
    if (m.from < 0) {
      benchmark::DoNotOptimize(make_drop(*f.fx, f.pos, ply, 0, m.to, m.piece));
      undo_drop(*f.fx, f.pos, ply, m.to);
    } else {
      benchmark::DoNotOptimize(make_board_move(*f.fx, f.pos, ply, 0, m.from, m.to, m.after));
      undo_board_move(*f.fx, f.pos, ply, m.from, m.to, m.piece, m.captured);
    }
    if (++i == f.moves.size()) i = 0;
  }
  state.counters["moves"] = static_cast<double>(f.moves.size());
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(make_undo_pairs, opening, "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1");
BENCHMARK_CAPTURE(make_undo_pairs, middlegame_sliders,
                  "ln1g3+Rl/1ks1g4/1ppp2n1p/p3pp1p1/2P3P2/P2BP3P/1PSP1PN2/1K1G1G3/LN5+bL w RSPsp 1");
BENCHMARK_CAPTURE(make_undo_pairs, endgame_hands, "8k/9/6PPP/9/9/9/ppp6/9/K8 w RB2G2S2N2L5Prb2g2s2n2l5p 1");

BENCHMARK_MAIN();
