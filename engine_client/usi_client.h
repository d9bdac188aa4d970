// A USI client: runs any USI engine as a child process and speaks the protocol with it for a window that
// uses it as analyst or opponent. The owner calls the client_* functions from any one thread; none of them
// waits for the engine (only client_close waits, and never longer than the quit and kill graces). What the
// engine answers arrives as EngineEvents on the client's own thread, handed to the owner's sink.
//
// What it guarantees: it never hangs its caller (commands are queued and written by its thread, an engine
// that stops answering is timed out), it checks every bestmove against the rules in the position sent, and
// the process is always reaped — asked to quit, then SIGTERM, then SIGKILL, each after a grace.
#pragma once

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/sfen.h"
#include "engine_client/child_process.h"
#include "engine_client/engine_event.h"
#include "engine_client/go_command.h"
#include "engine_client/usi_option.h"
#include "record/game_record.h"

namespace halvane {

using ClientClock = std::chrono::steady_clock;

// How long the client waits, in milliseconds; tests make them small.
struct ClientTimeouts {
  int usiok_ms = 10000;        // for "usiok" after "usi"
  int readyok_ms = 30000;      // for "readyok" after "isready" (engines load their evaluation here)
  int answer_grace_ms = 1000;  // past a timed go's budget before its time-out is called
  int quit_grace_ms = 2000;    // after "quit", before SIGTERM
  int term_grace_ms = 1000;    // after SIGTERM, before SIGKILL; also how long an engine that closed its
                               // input or output has to exit before it counts as broken
};

// Receives every event, on the client's thread and with no lock of the client held. It must stay valid
// until client_close has returned, and must not call client_close itself.
using EngineEventSink = std::function<void(EngineEvent&&)>;

enum GameOutcome { OUTCOME_WIN, OUTCOME_LOSE, OUTCOME_DRAW };   // from the engine's side

// A go the engine has not answered yet; answers come in the order the goes were sent.
struct PendingGo {
  int request_id = NO_REQUEST;
  SfenPosition position;           // where its bestmove must be legal
  GoCommand go;
  bool timed = false;              // deadline holds
  bool timed_out = false;          // its time-out has been reported
  ClientClock::time_point deadline;
};

enum ShutdownStage { SHUTDOWN_NONE, SHUTDOWN_QUIT_SENT, SHUTDOWN_TERM_SENT, SHUTDOWN_KILL_SENT };

struct UsiClient {
  ClientTimeouts timeouts;
  EngineEventSink sink;
  std::vector<std::string> arguments;   // after the program's name; set before the start
  std::string error_log;           // the engine's standard error goes here; "" for /dev/null
  std::thread thread;              // reads, writes, watches the clocks and reaps
  int wake[2] = {-1, -1};          // a byte written here wakes the thread
  std::atomic<pid_t> pid{-1};      // the engine's process id, kept after it was reaped
  std::atomic<int> garbage_lines{0};   // lines that were no protocol the client understands

  // All below are the thread's and the owner's, under `mutex`.
  std::mutex mutex;
  ChildProcess child;
  LineSplitter splitter;
  std::string unwritten;           // commands queued for the engine's input
  bool identified = false;         // "usiok" came
  std::string name, author;
  std::vector<UsiOption> options;
  ClientClock::time_point usiok_deadline;
  int readyok_owed = 0;
  ClientClock::time_point readyok_deadline;
  SfenPosition position = startpos();   // the last position sent
  std::deque<PendingGo> goes;
  bool broken = false;             // the engine closed its input or output: it has term_grace_ms to exit
  ClientClock::time_point broken_deadline;
  ShutdownStage shutdown = SHUTDOWN_NONE;
  bool quit_asked = false;         // the owner asked the engine to quit
  ClientClock::time_point shutdown_deadline;
  bool reaped = false;

  UsiClient() = default;
  UsiClient(const UsiClient&) = delete;
  UsiClient& operator=(const UsiClient&) = delete;
  ~UsiClient();   // client_close
};

// Starts the engine at `path` in its folder and sends "usi". An engine that cannot be started gives false
// with the reason (also sent to `sink` as ENGINE_START_FAILED); otherwise EVENT_IDENTIFIED follows, or
// ENGINE_NO_USIOK and the engine is ended.
bool client_start(UsiClient& c, const std::string& path, EngineEventSink sink, const ClientTimeouts& timeouts,
                  std::string& error);

// "setoption" with the option's value ("setoption name X" for a button); false, and nothing sent, for a
// name or value that cannot stand on one line.
bool client_set_option(UsiClient& c, const UsiOption& option);
void client_is_ready(UsiClient& c);
void client_new_game(UsiClient& c);
// "position …" from a start and its moves, or up to a node of a record. Bestmoves are judged against the
// position reached.
void client_position(UsiClient& c, const SfenPosition& start, const std::vector<MoveRecord>& moves);
void client_position(UsiClient& c, const GameRecord& record, int node);
// "go …" on the last position sent. Every info, bestmove and error of it carries `request_id`.
void client_go(UsiClient& c, const GoCommand& go, int request_id);
// The pondering go becomes a timed one: its clock starts now.
void client_ponder_hit(UsiClient& c);
// "stop": every go not yet answered must answer within the answer grace, or it times out.
void client_stop(UsiClient& c);
void client_game_over(UsiClient& c, GameOutcome outcome);
// Asks the engine to quit and returns at once; EVENT_EXITED follows when it is gone (killed if need be).
void client_quit(UsiClient& c);
// Quits (if not yet asked) and waits until the process is reaped and the thread has ended.
void client_close(UsiClient& c);

}  // namespace halvane
