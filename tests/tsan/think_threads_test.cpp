// Thinks in a row, stops from outside and two Engines side by side, under ThreadSanitizer: the mate thread
// hands its answer over through the atomic flags only, ends before every think returns, a stop from
// another thread is seen without a race, and Engines thinking at once share nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "think/think.h"
#include "think/think_ahead.h"
#include "search/engine.h"
#include "think/engine_init.h"
#include "support/think_request.h"
#include "tests/usi/usi_harness.h"

using namespace halvane;

namespace {

EngineView view_of(const char* sfen) {
  SfenPosition pos;
  std::string error;
  EXPECT_TRUE(parse_sfen(sfen, pos, error)) << sfen << ": " << error;
  return engine_view(pos);
}

}  // namespace

TEST(ThinkThreads, ManyThinksInARowLeaveNoThreadBehind) {
  // Openings out of the book, where the search runs its whole course beside the mate thread, and mates
  // for the mate thread to report while the search runs.
  const char* positions[] = {
      "lnsgkgsnl/1r5b1/p1ppppppp/9/1p5P1/9/PPPPPPP1P/1BG4R1/LNS1KGSNL w - 6",
      "4k4/9/4P4/9/9/9/9/9/4K4 b G 1",
      "ln1g3nl/1r1s1kg2/p1ppppsp1/1p4p1p/7P1/2P3P2/PPSPPP2P/2G1K2R1/LN3GSNL b Bb 1",
      "9/4k4/9/4P4/9/9/9/9/4K4 b 2G 1",
  };
  auto e = std::make_unique<Engine>();
  engine_init(*e, STRENGTH_CHUUKARA);
  for (int round = 0; round < 3; ++round) {
    for (const char* sfen : positions) {
      const EngineView view = view_of(sfen);
      think(*e, test_support::request_for(view, round));
      EXPECT_FALSE(e->mate_thread.joinable()) << sfen;
      EXPECT_EQ(e->mate_running.load(), 0) << sfen;
      EXPECT_EQ(e->resign_flag, 0) << sfen;
    }
  }
}

TEST(ThinkThreads, StopsFromAnotherThreadWhileTheSessionThinks) {
  Harness h;
  h.send("setoption name Strength value chuukara");
  h.send("position startpos moves 2g2f 8c8d 2f2e 8d8e");
  for (int i = 0; i < 8; ++i) {
    h.send("go byoyomi 60000");
    std::this_thread::sleep_for(std::chrono::milliseconds(i * 7));
    h.send("stop");
    EXPECT_NE(h.wait_for("bestmove"), "") << "think " << i;
  }
  // A short clock: the timer thread stops the think, while USI_Ponder changes under it.
  h.send("go btime 0 wtime 0 byoyomi 30");
  for (int i = 0; i < 40; ++i) h.send(i % 2 ? "setoption name USI_Ponder value false" : "setoption name USI_Ponder value true");
  EXPECT_NE(h.wait_for("bestmove"), "");
  // Perft and bench on the worker, stopped by the reader.
  for (const char* line : {"go perft 6", "stop", "bench", "stop"}) h.send(line);
  // The mate solver stopped by its deadline and by stop.
  h.send("position sfen 9/9/9/9/4k4/9/9/9/9 b RB 1");
  h.send("go mate 20");
  EXPECT_NE(h.wait_for("checkmate"), "");
  h.send("go mate infinite");
  h.send("stop");
  EXPECT_NE(h.wait_for("checkmate"), "");
  h.send("quit");
  EXPECT_FALSE(h.said("bestmove resign")) << "a stopped think never resigns";
}

// Engines share nothing: two thinking at once on different positions, each with its own fixed seed, give
// exactly what each gives thinking alone, move, score and nodes.
TEST(ThinkThreads, TwoEnginesThinkingAtOnceMatchTheirThinksAlone) {
  const char* positions[2] = {"lnsgkgsnl/1r5b1/p1ppppppp/9/1p5P1/9/PPPPPPP1P/1BG4R1/LNS1KGSNL w - 6",
                              "ln1g3nl/1r1s1kg2/p1ppppsp1/1p4p1p/7P1/2P3P2/PPSPPP2P/2G1K2R1/LN3GSNL b Bb 1"};
  const unsigned seeds[2] = {11, 29};
  ThinkRequest requests[2];
  ThinkResult alone[2];
  EngineHandle engines[2] = {new_engine(STRENGTH_CHUUKARA), new_engine(STRENGTH_CHUUKARA)};
  for (int i = 0; i < 2; ++i) {
    ThinkRequest options;
    options.fixed_seed = true;
    options.seed = seeds[i];
    requests[i] = test_support::request_for(view_of(positions[i]), 30, options);
    alone[i] = think(*engines[i], requests[i]);
  }
  ThinkResult together[2];
  std::thread other([&] { together[1] = think(*engines[1], requests[1]); });
  together[0] = think(*engines[0], requests[0]);
  other.join();
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(together[i].move, alone[i].move) << positions[i];
    EXPECT_EQ(together[i].score, alone[i].score) << positions[i];
    EXPECT_EQ(together[i].search_nodes, alone[i].search_nodes) << positions[i];
    EXPECT_EQ(together[i].reply_nodes, alone[i].reply_nodes) << positions[i];
  }
}

TEST(ThinkThreads, ThinkAheadStartedTakenAndCancelledInTurn) {
  // The cycles the window goes through: a think ahead cancelled at once, stopped by another position,
  // or taken; a time-limited think of its own, and another thread asking whether it runs. A cancel from
  // a second thread (a window closing) comes at the same time as the first cancel and as the stop by
  // another position: one of them joins the threads, the other waits for that. Two Engines think ahead,
  // as on a three-core machine.
  ThinkAhead a;
  a.engine_count = 2;
  for (int i = 0; i < 2; ++i) a.engines[i] = new_engine(STRENGTH_CHUUKARA);
  ThinkRequest now = test_support::request_for(view_of("lnsgkgsnl/1r5b1/p1ppppppp/9/1p5P1/9/PPPPPPP1P/1BG4R1/LNS1KGSNL w - 6"), 4);
  now.limit_ms = 40;
  std::atomic<bool> over{false};
  std::thread watcher([&] {
    while (!over) {
      think_ahead_running(a);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  int taken = 0, takeable = 0;
  for (int cycle = 0; cycle < 9; ++cycle) {
    think_ahead_start(a, now);
    ThinkResult result;
    std::thread closer;
    if (cycle % 3 != 2) closer = std::thread([&] { think_ahead_cancel(a); });
    if (cycle % 3 == 0) {
      think_ahead_cancel(a);
      closer.join();
      EXPECT_FALSE(think_ahead_running(a));
      continue;
    }
    ThinkRequest expected;
    {
      std::unique_lock<std::mutex> lock(a.mutex);
      a.changed.wait(lock, [&] { return a.guess_done && (a.guessed == 0 || a.next > 0); });
      // A guess cut by its limit on a starved machine ranks no reply: nothing to take then.
      takeable += cycle % 3 == 2 && a.guessed > 0;
      // The latest reply taken up: its think may still run, or have ended with the next one under way.
      expected = a.requests[a.next > 0 ? a.next - 1 : 0];
    }
    expected.background = false;
    if (cycle % 3 == 1) expected.game_ply += 1;   // not the position thought on
    taken += think_ahead_take(a, expected, result, nullptr, nullptr);
    if (closer.joinable()) closer.join();
    EXPECT_FALSE(think_ahead_running(a));
  }
  over = true;
  watcher.join();
  EXPECT_EQ(taken, takeable);
  EXPECT_GT(takeable, 0);
  EXPECT_FALSE(a.engines[0]->mate_thread.joinable() || a.engines[1]->mate_thread.joinable());
}
