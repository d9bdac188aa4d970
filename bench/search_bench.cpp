// The main search's speed: perft over its generators (leaves per second) and whole root searches of
// the weakest and middle strengths from fixed positions (main-search nodes per second).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/effects.h"
#include "search/engine.h"
#include "think/engine_init.h"
#include "core/sfen.h"
#include "search/perft.h"
#include "search/search.h"

using namespace halvane;

namespace {

const char* const POSITIONS[] = {
    "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1",
    "l6nl/5+P1gk/2np1S3/p1p4Pp/3P2Sp1/1PPb2P1P/P5GS1/R8/LN4bKL w RGgsn5p 1",
    "ln1g3nl/1r3kg2/p2pppsp1/2ps2p1p/1p7/2P1P1P1P/PPSP1PN2/2GK3R1/LN3G2L w Bb 1",
};

SfenPosition parse(const char* text) {
  SfenPosition pos{};
  std::string error;
  parse_sfen(text, pos, error);
  return pos;
}

void BM_Perft(benchmark::State& state) {
  auto e = std::make_unique<Engine>();
  engine_init(*e, STRENGTH_GEKIKARA);
  const SfenPosition pos = parse(POSITIONS[state.range(0)]);
  const int depth = static_cast<int>(state.range(1));
  uint64_t leaves = 0;
  for (auto _ : state) leaves += perft_position(*e, pos, depth);
  state.counters["leaves/s"] = benchmark::Counter(static_cast<double>(leaves), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Perft)->Args({0, 3})->Args({1, 2})->Args({2, 2})->Unit(benchmark::kMillisecond);

// One think's main search, as the driver runs it, without the mate thread.
void BM_RootSearch(benchmark::State& state) {
  auto e = std::make_unique<Engine>();
  engine_init(*e, *STRENGTHS[state.range(1)]);
  const EngineView view = engine_view(parse(POSITIONS[state.range(0)]));
  uint64_t nodes = 0;
  for (auto _ : state) {
    load_position(e->pos, view.board, view.hand[SENTE], view.hand[GOTE]);
    rebuild_effects(e->effects, e->pos);
    e->depth_limit = e->base_depth;
    std::memcpy(e->ply_mode, e->ply_mode_base, sizeof e->ply_mode);
    e->game_ply = 40;
    e->ply = 0;
    e->ply_best[0] = GOTE_NOTHING_YET;
    clear_killers(*e, e->max_plies);
    e->nodes = 0;
    seed_noise(*e, 1);
    gote_node(*e);
    nodes += e->nodes;
  }
  state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
  state.counters["nodes"] = static_cast<double>(e->nodes);
}
BENCHMARK(BM_RootSearch)->Args({1, 0})->Args({2, 0})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
