// An analysis session: the analyst (any registered USI engine, Halvane's own by default) run through the
// USI client, asked to think on one position after another. The owner hands every event of the client to
// analysis_event on its own thread (the window thread, through post_to_window; the command line, from a
// queue it drains) and learns from the answer whether a line, the answer or a failure came. A go asked
// while another runs stops that one first; the stopped go's late lines and answer are told apart by their
// request id and dropped.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/analysis_line.h"
#include "engine_client/registered_engine.h"
#include "engine_client/usi_client.h"

namespace halvane {

enum AnalysisUpdate {
  ANALYSIS_NOTHING,   // nothing the owner needs to show (a stale event, the engine being set up)
  ANALYSIS_READY,     // the analyst is ready; a go asked before was sent now
  ANALYSIS_LINE,      // a line of the running go was kept in `lines`
  ANALYSIS_ANSWER,    // the running go answered: `answer` (and its last lines) hold
  ANALYSIS_FAILED,    // the analyst failed or ended: `error` says why, in the window's words
};

struct AnalysisSession {
  std::unique_ptr<UsiClient> client;
  RegisteredEngine engine;
  std::string name;                   // the engine's "id name", or the registered one until it came
  std::vector<UsiOption> options;     // as the engine offered them, with the values sent
  bool ready = false;
  bool failed = false;
  std::string error;
  int multipv = 1;                    // the number of lines the engine was last asked for
  bool new_game_due = false;          // "usinewgame" goes before the next go (a game against the engine)
  // A go asked before the engine was ready, sent when it is.
  bool waiting = false;
  SfenPosition waiting_start;
  std::vector<MoveRecord> waiting_moves;
  GoCommand waiting_go;
  int waiting_multipv = 1;
  // The go whose lines and answer count.
  int running = NO_REQUEST;
  int next_request = 1;
  int side_to_move = 0;
  std::vector<AnalysisLine> lines;    // its latest line for each multipv index
  BestMoveKind answer_kind = BESTMOVE_MOVE;
  MoveRecord answer;
};

// Starts the analyst; its events go to `sink`, which hands them to analysis_event on the owner's thread.
// False with the window's message when it cannot be started.
bool analysis_start(AnalysisSession& session, const RegisteredEngine& engine, EngineEventSink sink,
                    const ClientTimeouts& timeouts = ClientTimeouts{}, const std::vector<std::string>& arguments = {});
// What one event of the analyst means; keeps its lines and answer in the session.
AnalysisUpdate analysis_event(AnalysisSession& session, const EngineEvent& event);
// Asks for a think on the position after `moves` from `start`, with up to `multipv` lines where the
// analyst offers several (its MultiPV option); stops the go under way first. Returns the go's request id.
int analysis_go(AnalysisSession& session, const SfenPosition& start, const std::vector<MoveRecord>& moves,
                const GoCommand& go, int multipv = 1);
// Stops the go under way; its answer will not count.
void analysis_stop(AnalysisSession& session);
// Whether the analyst can show several lines, and how many at most.
int analysis_max_lines(const AnalysisSession& session);

// A whole go from a queue: asks, then drains `queue` until the answer or a failure. For the command line
// and the tests, which have no window thread. False with session.error on a failure.
bool analyse_and_wait(AnalysisSession& session, EngineEventQueue& queue, const SfenPosition& start,
                      const std::vector<MoveRecord>& moves, const GoCommand& go);
// Waits, draining `queue`, until the analyst is ready or has failed.
bool wait_until_ready(AnalysisSession& session, EngineEventQueue& queue);

// The window's words for an engine's failure: "エンジンが応答しません。" and the like.
std::string engine_failure_text(const EngineEvent& event);

}  // namespace halvane
