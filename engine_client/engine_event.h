// What a USI client tells its owner: the engine identified itself, is ready, thinks (info), answered
// (bestmove), failed (an error with a code the window turns into its own words), or its process ended.
// Events come from the client's reader thread in the order the engine caused them; every event of a go
// carries the request id given with it, so the owner can drop a stale answer.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "core/types.h"
#include "engine_client/engine_answer.h"
#include "engine_client/usi_option.h"

namespace halvane {

constexpr int NO_REQUEST = -1;   // an event that belongs to no go

enum EngineEventKind {
  EVENT_IDENTIFIED,   // "usiok": name, author and options are known
  EVENT_READY,        // "readyok"
  EVENT_INFO,         // an info line of the running go
  EVENT_BESTMOVE,     // the go's answer, a legal move (or resign, or a declared win)
  EVENT_ERROR,        // see EngineError
  EVENT_EXITED,       // the process has ended and was reaped; the last event of a client
};

enum EngineError {
  ENGINE_OK,
  ENGINE_START_FAILED,   // the program could not be started: not found, not executable, …
  ENGINE_NO_USIOK,       // no "usiok" in time: not a USI engine, or a hung one (the client ends it)
  ENGINE_NO_READYOK,     // no "readyok" in time (the client ends it)
  ENGINE_ILLEGAL_MOVE,   // a bestmove that is no legal move in the position sent: a foul (反則負け)
  ENGINE_TIME_OUT,       // no bestmove within the go's time and the grace, or the grace after a stop (切れ負け)
  ENGINE_CRASHED,        // the engine exited, or closed its input or output, without being asked
  ENGINE_NOT_READING,    // commands piled up unread (the client ends it)
};

// A short English name of the error, for logs and messages ("illegal move").
const char* engine_error_name(EngineError error);

struct EngineEvent {
  EngineEventKind kind = EVENT_ERROR;
  int request_id = NO_REQUEST;   // the go this event belongs to

  // EVENT_IDENTIFIED
  std::string name, author;
  std::vector<UsiOption> options;
  // EVENT_INFO: the line as read, and the legal beginning of its best line from the go's position
  EngineInfo info;
  std::vector<MoveRecord> pv_moves;
  // EVENT_BESTMOVE: the move (BESTMOVE_MOVE), and the expected reply when the engine named a legal one
  BestMoveKind best = BESTMOVE_MOVE;
  MoveRecord move;
  bool has_ponder = false;
  MoveRecord ponder;
  // EVENT_ERROR: the code, an English text for logs and the move text of an illegal move
  EngineError error = ENGINE_OK;
  std::string text;
  std::string move_text;
  // EVENT_EXITED: the raw wait status (-1 when unknown), and whether the owner had asked it to quit
  int wait_status = -1;
  bool asked = false;
};

// "exit status 3", "killed by signal 9", for a raw wait status.
std::string describe_wait_status(int wait_status);

// A queue the client's thread fills and the owner drains: the simplest sink for a client. `push` wakes a
// waiting owner.
struct EngineEventQueue {
  std::mutex mutex;
  std::condition_variable arrived;
  std::deque<EngineEvent> events;
};

void push_event(EngineEventQueue& queue, EngineEvent event);
// Takes the oldest event, waiting up to `limit` for one; false when none came.
bool wait_event(EngineEventQueue& queue, EngineEvent& out, std::chrono::milliseconds limit);

}  // namespace halvane
