// What the USI tests share: a session driven in-process whose answers are collected for the test to wait
// on, an Engine of the tests' own for checking answers, and the check that an answer's moves are legal.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/sfen.h"
#include "search/engine.h"
#include "think/engine_init.h"
#include "think/strength.h"
#include "think/legal_moves.h"
#include "usi/usi_session.h"

namespace halvane {

// A session whose output is collected for the test to wait on.
struct Harness {
  UsiSession session;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> lines;
  size_t read = 0;   // lines before this one have been consumed by wait_for

  Harness() {
    usi_session_start(session, [this](std::string_view line) {
      std::lock_guard<std::mutex> lock(mutex);
      lines.emplace_back(line);
      changed.notify_all();
    });
  }
  ~Harness() { usi_session_finish(session); }

  void send(std::string_view line) { usi_handle_line(session, line); }

  // The next line (after earlier waits) that starts with `prefix`; "" when none comes in time.
  std::string wait_for(const std::string& prefix, int seconds = 300) {
    std::unique_lock<std::mutex> lock(mutex);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
      for (; read < lines.size(); ++read)
        if (lines[read].rfind(prefix, 0) == 0) return lines[read++];
      if (changed.wait_until(lock, until) == std::cv_status::timeout) return "";
    }
  }
  // Waits until some "info string" line, read or not, contains `text`.
  bool wait_until_said(const std::string& text, int seconds = 60) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(seconds), [&] {
      for (const std::string& line : lines)
        if (line.rfind("info string", 0) == 0 && line.find(text) != std::string::npos) return true;
      return false;
    });
  }
  // The last "info depth" line among those consumed: after wait_for("bestmove"), the answer's own.
  std::string last_info() {
    std::lock_guard<std::mutex> lock(mutex);
    for (size_t i = read; i-- > 0;)
      if (lines[i].rfind("info depth", 0) == 0) return lines[i];
    return "";
  }
  std::vector<std::string> all() {
    std::lock_guard<std::mutex> lock(mutex);
    return lines;
  }
  bool said(const std::string& prefix) {
    for (const std::string& line : all())
      if (line.rfind(prefix, 0) == 0) return true;
    return false;
  }
};

// An Engine of the test's own for checking answers.
inline Engine& checker() {
  static std::unique_ptr<Engine> e = [] {
    auto made = std::make_unique<Engine>();
    engine_init(*made, STRENGTH_CHUUKARA);
    return made;
  }();
  return *e;
}

// Plays the USI moves in `moves` from `pos`, each read and checked for legality first. Returns how many
// were played; the first that fails is reported as a test failure naming `what` and ends the line.
inline int play_checked(SfenPosition& pos, std::string_view moves, const std::string& what) {
  int count = 0;
  for (std::string_view text = next_word(moves); !text.empty(); text = next_word(moves)) {
    MoveRecord move;
    std::string error;
    if (!parse_usi_move(text, pos, move, error)) {
      ADD_FAILURE() << what << ": " << text << ": " << error;
      return count;
    }
    if (!is_legal_move(checker(), pos, move)) {
      ADD_FAILURE() << what << ": " << text << " is not legal";
      return count;
    }
    apply_move(pos, move);
    ++count;
  }
  return count;
}

// Plays the moves after the first word of an answer ("bestmove 7g7f", "checkmate G*5c 5b4b G*4c").
inline int play_answer(SfenPosition& pos, const std::string& line) {
  std::string_view rest = line;
  next_word(rest);
  return play_checked(pos, rest, line);
}

// The line is "bestmove" and one legal move in `pos`.
inline void expect_legal_bestmove(const std::string& line, const SfenPosition& pos, const std::string& what) {
  ASSERT_EQ(line.rfind("bestmove ", 0), 0u) << what << ": no bestmove in '" << line << "'";
  SfenPosition after = pos;
  EXPECT_EQ(play_answer(after, line), 1) << what << ": " << line;
}

// No legal move is left: the line played out ended in mate.
inline bool no_legal_move(const SfenPosition& pos) {
  MoveRecord replies[MAX_LEGAL_MOVES];
  return legal_moves(checker(), pos, replies) == 0;
}

}  // namespace halvane
