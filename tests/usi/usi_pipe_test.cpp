// halvane-usi as another program sees it: started as a child process, spoken to through a pipe, and
// expected to answer every command in time and to end on quit.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/usi/usi_harness.h"
#include "usi/bench.h"

using namespace halvane;

namespace {

class UsiChild {
 public:
  explicit UsiChild(const char* binary = HALVANE_USI_BIN) {
    int to_child[2], from_child[2];
    if (pipe(to_child) != 0 || pipe(from_child) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      signal(SIGPIPE, SIG_DFL);   // as a GUI starts it, not with this test's own SIGPIPE ignored
      dup2(to_child[0], 0);
      dup2(from_child[1], 1);
      close(to_child[1]);
      close(from_child[0]);
      execl(binary, binary, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(to_child[0]);
    close(from_child[1]);
    in_ = to_child[1];
    out_ = from_child[0];
    signal(SIGPIPE, SIG_IGN);
  }
  ~UsiChild() {
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool started() const { return pid_ > 0; }
  void close_input() {
    close(in_);
    in_ = -1;
  }
  void close_output() { close(out_), out_ = -1; }

  void send(const std::string& line) {
    std::string text = line + "\n";
    ASSERT_EQ(write(in_, text.data(), text.size()), static_cast<ssize_t>(text.size())) << line;
  }

  // Reads lines until one starts with `prefix`; returns it, or "" when none came within `seconds`.
  // Every line read is kept in `seen`.
  std::string expect(const std::string& prefix, int seconds = 300) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
      size_t end;
      while ((end = buffer_.find('\n')) != std::string::npos) {
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        seen.push_back(line);
        if (line.rfind(prefix, 0) == 0) return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
      if (left.count() <= 0) return "";
      pollfd p{out_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return "";
      char chunk[4096];
      const ssize_t n = read(out_, chunk, sizeof chunk);
      if (n <= 0) return "";
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

  // Waits for the child to end by itself; its exit status, or -1 when it did not end in time.
  int wait_exit(int seconds) {
    for (int i = 0; i < seconds * 100; ++i) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      usleep(10000);
    }
    return -1;
  }

  std::vector<std::string> seen;

 private:
  pid_t pid_ = -1;
  int in_ = -1, out_ = -1;
  bool exited_ = false;
  std::string buffer_;
};

}  // namespace

TEST(UsiPipe, AWholeConversation) {
  UsiChild usi;
  ASSERT_TRUE(usi.started());

  usi.send("usi");
  EXPECT_EQ(usi.expect("id name", 30).rfind("id name Halvane", 0), 0u);
  EXPECT_NE(usi.expect("option name Strength", 30), "");
  EXPECT_EQ(usi.expect("usiok", 30), "usiok");
  usi.send("setoption name Strength value chuukara");
  usi.send("isready");
  EXPECT_EQ(usi.expect("readyok", 30), "readyok");
  usi.send("usinewgame");

  // The start, a few moves, and a think with a clock.
  usi.send("position startpos moves 7g7f 3c3d 2g2f");
  usi.send("go btime 60000 wtime 60000 byoyomi 10000");
  {
    const std::string best = usi.expect("bestmove");
    SfenPosition pos;
    std::string error;
    ASSERT_TRUE(parse_sfen("lnsgkgsnl/1r5b1/pppppp1pp/6p2/9/2P4P1/PP1PPPP1P/1B5R1/LNSGKGSNL w - 4", pos, error));
    EXPECT_EQ(play_answer(pos, best), 1) << best;
  }

  // A mate in three without the attacker's king, solved with its whole line.
  usi.send("position sfen 9/4k4/9/4P4/9/9/9/9/9 b 2G 1");
  usi.send("go mate 60000");
  {
    const std::string answer = usi.expect("checkmate");
    EXPECT_EQ(answer.rfind("checkmate G*5c ", 0), 0u) << answer;
    SfenPosition pos;
    std::string error;
    ASSERT_TRUE(parse_sfen("9/4k4/9/4P4/9/9/9/9/9 b 2G 1", pos, error));
    EXPECT_EQ(play_answer(pos, answer), 3) << answer;
    EXPECT_TRUE(no_legal_move(pos)) << answer << " does not end in mate";
  }

  usi.send("position startpos");

  // Malformed input is named and leaves the engine usable with the last valid position.
  usi.send("position sfen this is not a position");
  EXPECT_NE(usi.expect("info string position refused", 30).find("bad SFEN"), std::string::npos);
  usi.send("position startpos moves 7g7f 7g7f");
  EXPECT_NE(usi.expect("info string position refused", 30).find("move 2 (7g7f)"), std::string::npos);
  usi.send("dance");
  EXPECT_NE(usi.expect("info string", 30).find("dance"), std::string::npos);
  usi.send(std::string(5000, 'x'));
  const std::string echoed = usi.expect("info string", 30);
  EXPECT_TRUE(echoed.find("unknown command") != std::string::npos && echoed.size() < 120) << echoed;
  usi.send("go perft 1");
  EXPECT_EQ(usi.expect("Nodes searched"), "Nodes searched: 30") << "the start position stayed";
  usi.send("isready");
  EXPECT_EQ(usi.expect("readyok", 30), "readyok");

  usi.send("gameover win");
  usi.send("quit");
  EXPECT_EQ(usi.wait_exit(60), 0) << "halvane-usi did not end on quit";
}

TEST(UsiPipe, EndOfInputEndsAThinkingEngine) {
  UsiChild usi;
  ASSERT_TRUE(usi.started());
  usi.send("position startpos moves 2g2f 8c8d 2f2e 8d8e");
  usi.send("go infinite");
  usi.send("stop");
  EXPECT_NE(usi.expect("bestmove"), "");
  usi.send("go infinite");
  usi.close_input();   // the GUI went away while the engine thinks
  EXPECT_NE(usi.expect("bestmove"), "") << "the think owes its answer";
  EXPECT_EQ(usi.wait_exit(60), 0) << "halvane-usi did not end at the end of its input";
}

// quit ends a running perft at once, and a GUI that closes its end of the pipe ends the engine at its next
// line (here perft's first, written by the worker): a clean exit, not a death by SIGPIPE.
TEST(UsiPipe, QuitOrAGuiGoneEndsTheEngineWhateverRuns) {
  UsiChild quitting, abandoned;
  for (const char* line : {"go perft 8", "isready"}) quitting.send(line);
  EXPECT_EQ(quitting.expect("readyok", 30), "readyok");
  quitting.send("quit");
  EXPECT_EQ(quitting.wait_exit(60), 0) << "perft 8 held quit up";
  abandoned.close_output();
  abandoned.send("go perft 5");
  EXPECT_EQ(abandoned.wait_exit(60), 0) << "not a clean exit";
}

namespace {

// Answer lines among seen[from, to).
int answers_in(const std::vector<std::string>& seen, size_t from, size_t to) {
  int n = 0;
  for (size_t i = from; i < to; ++i) n += seen[i].rfind("bestmove", 0) == 0 || seen[i].rfind("checkmate", 0) == 0;
  return n;
}

// The protocol soak: games from real positions played on by the engine's own answers, one go after the
// other at several byoyomi values, the next position and isready sent the instant each answer arrives,
// stops and ponderhits at random moments, a mate search now and then, usinewgame and gameover around
// each game, while two threads keep both cores busy. Every go gets exactly one answer, after its own
// command and legal in its own position (its ponder move too); none comes between an answer and readyok.
void soak(const char* binary) {
  constexpr int GAMES = 6, PLIES = 12;
  const int STARTS[GAMES] = {4, 9, 14, 18, 24, 28};
  const char* const MATE_PROBLEM = "9/4k4/9/4P4/9/9/9/9/9 b 2G 1";
  UsiChild usi(binary);
  ASSERT_TRUE(usi.started());
  std::atomic<bool> done{false};
  std::vector<std::thread> load;
  for (int i = 0; i < 2; ++i)
    load.emplace_back([&done] { while (!done.load(std::memory_order_relaxed)) {} });
  std::mt19937 rng(22);
  auto pause = [&rng](int up_to_ms) { std::this_thread::sleep_for(std::chrono::milliseconds(rng() % up_to_ms)); };
  usi.send("setoption name Strength value chuukara");
  usi.send("setoption name USI_Ponder value true");
  usi.send("isready");
  EXPECT_EQ(usi.expect("readyok", 120), "readyok");
  int goes = 0;
  for (int game = 0; game < GAMES && !::testing::Test::HasFailure(); ++game) {
    usi.send("usinewgame");
    SfenPosition pos;
    std::string error;
    ASSERT_TRUE(parse_sfen(GAME_BENCH_SFEN[STARTS[game]], pos, error)) << error;
    std::string position = std::string("position sfen ") + GAME_BENCH_SFEN[STARTS[game]] + " moves";
    for (int ply = 0; ply < PLIES && !::testing::Test::HasFailure(); ++ply, ++goes) {
      // Kinds 0-5 a clocked go, 6 one stopped, 7 a ponder, 8 go infinite, 9 a mate problem.
      const int kind = static_cast<int>(rng() % 10);
      const bool mate = kind == 9;
      const std::string clock = "btime 0 wtime 0 byoyomi " + std::to_string(100 << (rng() % 3));
      const std::string what = "game " + std::to_string(game) + " ply " + std::to_string(ply) + " kind " +
                               std::to_string(kind);
      const size_t mark = usi.seen.size();
      usi.send(mate ? std::string("position sfen ") + MATE_PROBLEM : position);
      usi.send(mate ? "go mate 5000" : kind == 7 ? "go ponder " + clock : kind == 8 ? "go infinite" : "go " + clock);
      if (kind >= 6 && kind <= 8) {
        pause(400);
        usi.send(kind == 7 && rng() % 2 ? "ponderhit" : "stop");
      }
      const std::string answer = usi.expect(mate ? "checkmate" : "bestmove", 120);
      ASSERT_NE(answer, "") << what << ": no answer";
      EXPECT_EQ(answers_in(usi.seen, mark, usi.seen.size() - 1), 0) << what << ": an answer before " << answer;
      // The next command the instant the answer is read: nothing may answer again before readyok.
      const size_t after = usi.seen.size();
      usi.send(position);
      usi.send("isready");
      ASSERT_EQ(usi.expect("readyok", 120), "readyok") << what;
      EXPECT_EQ(answers_in(usi.seen, after, usi.seen.size()), 0) << what << ": a second answer after " << answer;
      if (mate) {
        SfenPosition problem;
        ASSERT_TRUE(parse_sfen(MATE_PROBLEM, problem, error));
        EXPECT_EQ(play_answer(problem, answer), 3) << what << ": " << answer;
        continue;
      }
      if (answer == "bestmove resign") break;
      SfenPosition after_answer = pos;
      std::string_view words = answer;
      next_word(words);
      const std::string move(next_word(words));
      ASSERT_EQ(play_checked(after_answer, move, what), 1) << answer;
      if (next_word(words) == "ponder") play_checked(after_answer, next_word(words), what + " ponder");
      play_checked(pos, move, what);
      position += " " + move;
      if (no_legal_move(pos)) break;
    }
    usi.send("gameover win");
  }
  usi.send("quit");
  EXPECT_EQ(usi.wait_exit(120), 0) << "halvane-usi did not end cleanly on quit (66: a ThreadSanitizer report, 1: an "
                                       "AddressSanitizer one)";
  done = true;
  for (std::thread& t : load) t.join();
  EXPECT_GE(goes, GAMES * 4);
}

}  // namespace

TEST(UsiPipe, SoakOfBackToBackGoesUnderLoad) { soak(HALVANE_USI_BIN); }

#ifdef HALVANE_USI_TSAN_BIN
TEST(UsiPipe, SoakUnderThreadSanitizer) { soak(HALVANE_USI_TSAN_BIN); }
#endif

#ifdef HALVANE_USI_ASAN_BIN
TEST(UsiPipe, SoakUnderAddressSanitizer) { soak(HALVANE_USI_ASAN_BIN); }
#endif
