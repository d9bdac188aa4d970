// A USI conversation with one GUI: the engine at the chosen strength, the last valid position, and the
// worker thread on which every long job ("go" in any form, "go perft", "bench") runs while the reading
// thread stays free for "stop", "isready" and "quit".
// halvane-usi feeds it standard input line by line; tests feed it lines and read what it writes.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "core/sfen.h"
#include "think/deadline.h"
#include "think/think.h"
#include "usi/go_request.h"
#include "usi/position_command.h"

namespace halvane {

using UsiClock = std::chrono::steady_clock;

struct UsiSession {
  // The one writer: every line leaves through usi_write, whole and in order, under write_mutex.
  std::function<void(std::string_view)> write_line;   // one protocol line, without its line end
  std::mutex write_mutex;                             // the worker and the reader both write
  bool answer_owed = false;        // under write_mutex: the running go's bestmove or checkmate is not out yet

  EngineHandle engine;   // one Engine for the whole conversation; re-initialised on a strength change
  EngineHandle scratch;  // the reading thread's, for checking moves while the worker thinks
  int strength = STRENGTH_COUNT - 1;   // index into STRENGTHS; the strongest unless the GUI asks otherwise
  // USI_Ponder: the GUI ponders, so bestmove names the expected reply. Written by the reader, read by a
  // running think (a GUI may send setoption at any time).
  std::atomic<bool> ponder_enabled{false};
  GamePosition game;                // the last position that was accepted

  // The running job and what the reader tells it; all under job_mutex but the thread and its kind, which
  // only the reader touches.
  std::thread worker;
  bool job_counts = false;          // the job is perft or bench: it ends by itself and owes no answer
  std::mutex job_mutex;
  std::condition_variable job_changed;
  bool stop_seen = false;           // "stop" arrived
  bool ponderhit_seen = false;      // "ponderhit" arrived: the clock now runs
  UsiClock::time_point ponderhit_at;
  long long ponder_budget_ms = -1;  // the clock a "go ponder" gets at ponderhit; -1 none
  Deadline* job_clock = nullptr;    // the running job's clock, while it has one
};

// Sets the session up at the strongest level with the initial position; `write_line` receives every line.
void usi_session_start(UsiSession& s, std::function<void(std::string_view)> write_line);

// Handles one line from the GUI. Returns false after "quit". Never throws; bad input is answered with an
// "info string" naming what was wrong.
bool usi_handle_line(UsiSession& s, std::string_view line);

// Stops whatever runs and waits for it (the answer it owes is still written). Used by quit.
void usi_session_finish(UsiSession& s);
// The end of input: as quit, except that a running perft or bench is let finish (a script that pipes
// "bench" in wants its figures; a GUI that went away never sent one).
void usi_session_end_of_input(UsiSession& s);

// Writes one line under the session's output lock.
void usi_write(UsiSession& s, std::string_view line);
// Writes the running go's answer ("bestmove ...", "checkmate ..."): once, as the go's last line. A go
// owes one answer from its start; a second is dropped (and false returned).
bool usi_answer(UsiSession& s, std::string_view line);

// True once "stop" (or anything that ends the job: quit, a new go) has come for the running job. Jobs
// that do not think (perft, bench between its thinks) ask it between pieces of their work.
bool usi_stop_seen(UsiSession& s);

// The long-running commands, each in its own file; each runs on the worker thread.
void run_think_job(UsiSession& s, GoRequest go, GamePosition game);
void run_mate_job(UsiSession& s, GoRequest go, GamePosition game);
// "go perft N": stopped, it keeps the root moves it has counted and names the stop instead of a total.
void run_perft(UsiSession& s, const GamePosition& game, int depth);
// "bench" on the fixed positions, or "bench games [N]" on the first N positions from real games. Stopped,
// it names the stop instead of a signature or totals.
void run_bench(UsiSession& s, std::string_view args);

}  // namespace halvane
