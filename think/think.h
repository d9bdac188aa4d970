// The think facade: the one way front ends (the window programs, halvane-usi) start, stop and read a
// think. The computer's side is always GOTE; a request with SENTE to move is thought on the rotated
// position and its answer rotated back. Front ends hold an Engine only through this header.
#pragma once

#include <cstdint>
#include <memory>

#include "core/evaluation.h"
#include "core/types.h"
#include "think/strength.h"

namespace halvane {

struct Engine;   // the search's working object; its fields belong to the engine layers

struct EngineDeleter {
  void operator()(Engine* e) const;
};
using EngineHandle = std::unique_ptr<Engine, EngineDeleter>;

// A new Engine at the given strength with its book written: allocated once, used for every think.
EngineHandle new_engine(const Strength& strength);
// Sets an idle Engine up again for a strength, exactly as new_engine leaves it.
void set_strength(Engine& e, const Strength& strength);

constexpr int RESIGN_SCORE = 8000;         // the computer resigns when its search finds itself this far behind
constexpr int MATE_SCORE_BASE = 100000;    // a mate from the mate thread scores its length minus this
constexpr int RANKED_MOVES = 8;            // moves a think ranks for guessing (ThinkResult::ranked)

struct CompletedThink;

// A think's best line: its chosen move, the reply it expects, and so on as far as the search vouches for
// each move, in the request's coordinates. Every move is legal after the ones before it.
struct BestLine {
  MoveRecord moves[MAX_PLY];
  int length = 0;
};

// An evaluation seen from the other side; NO_EVALUATION stays so.
inline int other_side_evaluation(int evaluation) {
  return evaluation == NO_EVALUATION ? NO_EVALUATION : -evaluation;
}

// What a think's score says, told here once so that front ends never decode raw values.
enum class ScoreKind {
  EVALUATION,     // value: centipawns, for the side that moved (the think's side)
  BOOK,           // the book supplied the move: no evaluation
  MATE,           // the mate thread's mate: value plies to it
  KING_CAPTURE,   // the search saw a king taken: value plies to the mate, negative when the think's side
                  // is the one mated
};
struct ScoreMeaning {
  ScoreKind kind = ScoreKind::EVALUATION;
  int value = 0;
};
// The meaning of a ThinkResult's or CompletedThink's score.
ScoreMeaning score_meaning(int score);

struct ThinkRequest {
  uint8_t board[BOARD_CELLS];  // the engine's 256-cell layout: walls around the 81 squares
  uint8_t hand[2][8];          // [SENTE][kind], [GOTE][kind]
  int side = GOTE;             // the side to move
  int game_ply = 0;            // the game's move count (the think adds 1 for its own move)
  // Seed of the root's small evaluation noise; the current time when not fixed. bench fixes it so that
  // node counts repeat.
  bool fixed_seed = false;
  unsigned seed = 0;
  // The main search, run at ply 0; nullptr is the real one. Tests give a search of their own to put a
  // known score or move in front of the driver's resignation and mate rules.
  void (*main_search)(Engine&) = nullptr;
  // Time limit in milliseconds; 0 is none: one think at the Engine's strength. With a limit, complete
  // thinks of growing size (depth 4, depth 6, then each build's up to the Engine's own) run one after
  // the other beside one mate thread; when the limit comes the running one is stopped and the largest
  // completed one answers. The first is stopped too, once its root has a searched move (at the latest a
  // quarter of the limit later), when it alone outlasts the limit (a position crowded with pieces in
  // hand): then its best searched move, or none (stopped set, move.to_col -1).
  int limit_ms = 0;
  // A time-limited think whose series is unfinished at its limit (a larger think under way after one
  // completed) lets that think run on for up to this many milliseconds more to complete it; no larger one
  // starts after the limit. 0: the limit stops it.
  int extend_ms = 0;
  // No time limit, yet the growing thinks of a time-limited one, for a think that runs until stop_think
  // (analysis, a ponder): the stop ends it, and the largest completed think answers as at a limit.
  bool until_stopped = false;
  // Told on the thinking thread after each completed think of a growing series, before the next one
  // starts; it must return soon and never think on the same Engine.
  void (*on_completed)(void* context, const CompletedThink& think) = nullptr;
  void* completed_context = nullptr;
  // A think on the player's time: it runs at the lowest priority (its thread and its mate thread)
  // instead of raising the priority.
  bool background = false;
};

// One completed think of a growing series, as it would answer if the series ended now.
struct CompletedThink {
  MoveRecord move;            // in the request's coordinates
  MoveRecord reply;           // the other side's best reply it searched against the move, or none
  int score = 0;              // as ThinkResult::score
  int evaluation = NO_EVALUATION;   // as ThinkResult::evaluation
  BestLine pv;                // as ThinkResult::pv
  int depth_limit = 0;
  int completed = 0;          // complete thinks so far, this one included
  uint64_t nodes = 0;         // main search and reply checks of every think so far
};

struct ThinkResult {
  bool resigned = false;
  MoveRecord move;            // the move chosen, in the request's coordinates; to_col -1 when none was
                              // (a think stopped before its first root move)
  MoveRecord reply;           // the other side's best reply the think searched against its move; to_col -1
                              // when it has none (a book move, a mate from the mate thread, a pass)
  int score = 0;              // from the point of view of the side not to move (the engine's SENTE)
  ScoreMeaning meaning;       // what the score says
  // What a player reads (core/evaluation.h): the root position's material at the engine's piece values
  // plus the think's change, from the side of the request's SENTE pieces, or a mate with its number of
  // moves (the mate thread's, or the king's capture the search saw); NO_EVALUATION for a book move or no
  // move.
  int evaluation = NO_EVALUATION;
  BestLine pv;                // the best line, starting with the move; empty when there is no move
  bool mate_used = false;     // the mate thread's proven mate replaced the search's move
  bool book = false;          // the book supplied the move
  bool stopped = false;       // stop_think reached this think before it ended, or its time limit cut
                              // even its first think: the answer comes from a cut search
  bool limited = false;       // a time-limited think answered before its largest think completed
  int completed = 0;          // complete thinks (of a time-limited think: of its series)
  int depth_limit = 0;        // the depth of the think that answered (lowered by the hand rule)
  uint64_t search_nodes = 0;  // main search
  uint64_t reply_nodes = 0;   // the reply checks inside it
  uint64_t mate_nodes = 0;    // the mate thread
  uint64_t all_nodes = 0;     // every think of a time-limited one, and the mate thread
  // The side's likeliest moves as the think saw them: its answer first, then the other root moves of the
  // (largest completed) think by the values they got, in the request's coordinates. Values below the best
  // are bounds, so the order after the first is a cheap guess; the think ahead ranks replies with it.
  MoveRecord ranked[RANKED_MOVES];
  int ranked_count = 0;
  uint64_t nodes() const { return search_nodes + reply_nodes + mate_nodes; }
};

// Thinks on the request's position and returns the answer. The mate thread is started and joined inside,
// so no thread outlives the call. Never call it twice at once on one Engine; different Engines may think
// at the same time on different threads.
ThinkResult think(Engine& e, const ThinkRequest& request);

// Asks the Engine's running job (a think or a mate solve) to end early, from any thread. The request
// stays until clear_stop: a job started after it ends at once. The only place the stop protocol lives.
void stop_think(Engine& e);
void clear_stop(Engine& e);

// The board column (0..8) the running think's root is working through, for a progress display.
int think_progress(const Engine& e);

// Raises the process's scheduling priority as far as an ordinary process may (a lower nice value, down
// to the limit RLIMIT_NICE grants), never to a real-time class. A refusal is ignored. Every think calls it.
void raise_priority();

}  // namespace halvane
