// Thinking ahead on the player's time: Engines of its own, on threads at the lowest priority, rank the
// player's likely replies and think on the position after each, likeliest first, as many at once as
// there are Engines, keeping every finished answer. When the player's move reaches a position thought
// on, its answer is taken (waited for when still running); any other position, or a cancel, stops them.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "think/think.h"

namespace halvane {

// The guess of the player's replies: the player's side thought briefly (the largest complete think
// within this limit), its root moves ranked by value.
constexpr int GUESS_LIMIT_MS = 1000;
// Replies thought after.
constexpr int AHEAD_CANDIDATES = RANKED_MOVES;
// Engines thinking ahead at once: one per core the think the player waits for leaves free, at most this.
constexpr int MAX_AHEAD_ENGINES = 4;

struct ThinkAhead {
  // Set by the owner before the first start: engines[0 .. engine_count - 1], each with its own mate thread.
  EngineHandle engines[MAX_AHEAD_ENGINES];
  int engine_count = 1;

  std::mutex mutex;
  std::condition_variable changed;
  std::thread threads[MAX_AHEAD_ENGINES];
  bool active = false;          // threads have been started and not yet joined
  bool joining = false;         // a caller has taken the threads out and joins them (outside the mutex)
  bool cancelled = false;
  bool guess_done = false;      // the guess has ended: `guessed` is final
  int guessed = 0;              // requests[0 .. guessed - 1] hold the positions after the guessed replies
  int next = 0;                 // the next of them a free Engine takes
  int finished = 0;             // how many have a complete think in `results`
  bool complete[AHEAD_CANDIDATES] = {};
  int running_on[AHEAD_CANDIDATES] = {};   // the Engine thinking on each, -1 none
  int adopted = -1;             // the candidate the game waits for: a cancel leaves it alone
  ThinkRequest requests[AHEAD_CANDIDATES];
  ThinkResult results[AHEAD_CANDIDATES];
};

// The number of Engines thinking ahead suits a machine with `cores` cores: none on one core.
int ahead_engines_for(unsigned cores);

// Starts thinking ahead from `now`: the position with the player (SENTE) to move, in the engine's view,
// its game_ply the game's move count and limit_ms the think's limit. Cancels an earlier one first.
void think_ahead_start(ThinkAhead& a, const ThinkRequest& now);

// Stops a running think ahead and waits for its threads; nothing is kept.
void think_ahead_cancel(ThinkAhead& a);

// Stops every think of the think ahead, also the one the game is waiting for in think_ahead_take, which
// then returns that think's stopped answer. Does not wait: think_ahead_cancel (or the take) joins.
void think_ahead_stop(ThinkAhead& a);

// For the think `request` the game is about to start: when it is exactly one thought ahead (finished or
// running), returns true with its result, waiting for it when it still runs (calling `adopted` once first
// with its Engine, e.g. to follow its progress); the thinks on the other replies stop. Otherwise cancels
// the think ahead and returns false.
bool think_ahead_take(ThinkAhead& a, const ThinkRequest& request, ThinkResult& result,
                      void (*adopted)(Engine& thinking, void* context), void* context);

// True while a think ahead has been started and not yet taken or cancelled.
bool think_ahead_running(ThinkAhead& a);

// True when two requests ask for the same think: board, hands, side, game_ply and limit.
bool same_think(const ThinkRequest& x, const ThinkRequest& y);

// The request after SENTE's move `m` on an engine-view request with SENTE to move: the computer's think
// there, one move count on.
ThinkRequest request_after_reply(const ThinkRequest& now, const MoveRecord& m);

}  // namespace halvane
