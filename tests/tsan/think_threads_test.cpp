// Thinks in a row and stops from outside, under ThreadSanitizer: the mate thread hands its answer over
// through the atomic flags only, ends before every think returns, and a stop from another thread is
// seen without a race.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/sfen.h"
#include "engine/think.h"
#include "usi/usi_session.h"

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
      e->game_ply = round;
      e->ply_best[0] = 0;
      think(*e, view.board, view.hand[SENTE], view.hand[GOTE]);
      EXPECT_FALSE(e->mate_thread.joinable()) << sfen;
      EXPECT_EQ(e->mate_running.load(), 0) << sfen;
      EXPECT_EQ(e->resign_flag, 0) << sfen;
    }
  }
}

TEST(ThinkThreads, StopsFromAnotherThreadWhileTheSessionThinks) {
  UsiSession s;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> lines;
  usi_session_start(s, [&](std::string_view line) {
    std::lock_guard<std::mutex> lock(mutex);
    lines.emplace_back(line);
    changed.notify_all();
  });
  auto count_prefix = [&](const char* prefix) {
    int n = 0;
    for (const std::string& line : lines) n += line.rfind(prefix, 0) == 0;
    return n;
  };
  auto wait_count = [&](const char* prefix, int n) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(300), [&] { return count_prefix(prefix) >= n; });
  };
  usi_handle_line(s, "setoption name Strength value chuukara");
  usi_handle_line(s, "position startpos moves 2g2f 8c8d 2f2e 8d8e");
  for (int i = 0; i < 8; ++i) {
    usi_handle_line(s, "go byoyomi 60000");
    std::this_thread::sleep_for(std::chrono::milliseconds(i * 7));
    usi_handle_line(s, "stop");
    EXPECT_TRUE(wait_count("bestmove", i + 1)) << "think " << i;
  }
  // A short clock: the timer thread stops the think.
  usi_handle_line(s, "go btime 0 wtime 0 byoyomi 30");
  EXPECT_TRUE(wait_count("bestmove", 9));
  // The mate solver stopped by its deadline and by stop.
  usi_handle_line(s, "position sfen 9/9/9/9/4k4/9/9/9/9 b RB 1");
  usi_handle_line(s, "go mate 20");
  EXPECT_TRUE(wait_count("checkmate", 1));
  usi_handle_line(s, "go mate infinite");
  usi_handle_line(s, "stop");
  EXPECT_TRUE(wait_count("checkmate", 2));
  usi_handle_line(s, "quit");
  std::lock_guard<std::mutex> lock(mutex);
  EXPECT_EQ(count_prefix("bestmove resign"), 0) << "a stopped think never resigns";
}
