// The mate thread's search (run_mate_search with the 12-ply limit) on a fixed set of mate problems, and
// the reply check on the same positions: time per run, nodes per run and nodes per second. The whole mate
// corpus is measured too, one pass over its 100 positions per iteration.
#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/sfen.h"
#include "mate/mate_search.h"

using namespace halvane;

namespace {

struct Problem {
  EngineView view;
  bool loaded;
};

Problem load(const std::string& sfen) {
  SfenPosition sp;
  std::string error;
  Problem p{};
  p.loaded = parse_sfen(sfen, sp, error);
  if (p.loaded) p.view = engine_view(sp);
  return p;
}

// What the think driver does before it starts the mate thread.
void prepare(MateSolver& s, const Problem& p) {
  std::memcpy(s.pos.board, p.view.board, BOARD_CELLS);
  std::memcpy(s.pos.hand, p.view.hand, sizeof p.view.hand);
  arm_mate_solver(s, MATE_DEPTH);
}

void mate_thread_search(benchmark::State& state, const char* sfen) {
  const Problem p = load(sfen);
  if (!p.loaded) {
    state.SkipWithError("position did not load");
    return;
  }
  auto s = std::make_unique<MateSolver>();
  uint64_t nodes = 0;
  for (auto _ : state) {
    prepare(*s, p);
    run_mate_search(*s);
    nodes += s->nodes;
  }
  state.counters["mate_len"] = s->mate_found.load() ? s->mate_len[0] : -1;
  state.counters["nodes"] = static_cast<double>(nodes) / static_cast<double>(state.iterations());
  state.counters["nodes_per_s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}

// The reply check as the main search calls it: the position handed over unturned, the turn done inside.
void reply_check(benchmark::State& state, const char* sfen) {
  Problem p = load(sfen);
  if (!p.loaded) {
    state.SkipWithError("position did not load");
    return;
  }
  // reply_probe turns the board it is given; hand it the attacker's position rotated once already.
  auto s = std::make_unique<MateSolver>();
  arm_mate_solver(*s, MATE_DEPTH);
  EnginePosition rotated{};
  std::memcpy(rotated.board, p.view.board, BOARD_CELLS);
  std::memcpy(rotated.hand, p.view.hand, sizeof rotated.hand);
  uint8_t unused[BOARD_CELLS];
  rotate_position(rotated, unused);
  int proven = 0;
  for (auto _ : state) {
    s->nodes = 0;
    proven = reply_probe(*s, rotated.board, rotated.hand[SENTE], rotated.hand[GOTE]);
  }
  state.counters["proven"] = proven;
  state.counters["nodes"] = static_cast<double>(s->nodes);
}

void whole_corpus(benchmark::State& state) {
  std::vector<Problem> problems;
  std::ifstream in(HALVANE_CORPUS_DIR "/tsume/tsume.tsv");
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) problems.push_back(load(line.substr(0, line.find('\t'))));
  if (problems.empty()) {
    state.SkipWithError("mate corpus not found");
    return;
  }
  auto s = std::make_unique<MateSolver>();
  uint64_t nodes = 0;
  int found = 0;
  for (auto _ : state) {
    found = 0;
    for (const Problem& p : problems) {
      prepare(*s, p);
      run_mate_search(*s);
      nodes += s->nodes;
      found += s->mate_found.load();
    }
  }
  state.counters["positions"] = static_cast<double>(problems.size());
  state.counters["found"] = found;
  state.counters["nodes"] = static_cast<double>(nodes) / static_cast<double>(state.iterations());
  state.counters["nodes_per_s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}

// Mates in 1, 3, 5, 7, 9 and 11 plies and a position without a mate, all set up for this bench.
#define MATE_PROBLEMS(X)                                                                            \
  X(mate1_gold, "4k4/9/3GPG3/9/9/9/9/9/9 b - 1")                                                    \
  X(mate3_silver_drop, "9/8k/9/7P1/9/9/9/9/9 b GS2r2b3g3s4n4l17p 1")                                \
  X(mate5_covered_interposition, "RS6k/8p/7p1/6N2/9/9/9/9/9 b g 1")                                 \
  X(mate7_horse, "s8/k2l5/n1B6/9/9/1R7/9/9/9 b Prb4g3s3n3l17p 1")                                   \
  X(mate9_lance_drop, "6nRG/9/5s1Nk/7l1/9/9/9/9/9 b BNLrb3g3sn2l18p 1")                             \
  X(mate11_bishop_drop, "5l3/5R3/8k/9/5B3/9/9/9/9 b BPr4g4s4n3l17p 1")                              \
  X(no_mate_open_king, "4k4/9/9/9/9/9/9/9/4K4 b RBS 1")

#define REGISTER(name, sfen)                                                                        \
  BENCHMARK_CAPTURE(mate_thread_search, name, sfen)->Unit(benchmark::kMillisecond);                 \
  BENCHMARK_CAPTURE(reply_check, name, sfen)->Unit(benchmark::kMillisecond);
MATE_PROBLEMS(REGISTER)

}  // namespace

BENCHMARK(whole_corpus)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
