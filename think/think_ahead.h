// Thinking ahead on the player's time: a second Engine, on a thread of its own at the lowest priority,
// ranks the player's likely replies and thinks on the position after each in turn, likeliest first,
// keeping every finished answer. When the player's move reaches a position thought on, its answer is
// taken (waited for when still running); any other position, or a cancel, stops it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "think/think.h"

namespace halvane {

// The guess of the player's replies: the player's side thought briefly (the largest complete think
// within this limit), its root moves ranked by value.
constexpr int GUESS_LIMIT_MS = 1000;
// Replies thought after, one at a time: one Engine beside the think the player waits for suits two cores.
constexpr int AHEAD_CANDIDATES = RANKED_MOVES;

struct ThinkAhead {
  EngineHandle engine;          // its own Engine, with its own mate thread
  std::mutex mutex;
  std::condition_variable changed;
  std::thread thread;
  bool active = false;          // a thread has been started and not yet joined
  bool cancelled = false;
  int guessed = 0;              // requests[0 .. guessed - 1] hold the positions after the guessed replies
  int finished = 0;             // results[0 .. finished - 1] are their complete thinks
  bool done = false;            // the thread has ended
  bool adopted = false;         // the game waits for the running think: a cancel leaves it alone
  ThinkRequest requests[AHEAD_CANDIDATES];   // the thinks on the positions after the guessed replies
  ThinkResult results[AHEAD_CANDIDATES];
};

// Starts thinking ahead from `now`: the position with the player (SENTE) to move, in the engine's view,
// its game_ply the game's move count and limit_ms the think's limit. Cancels an earlier one first.
void think_ahead_start(ThinkAhead& a, const ThinkRequest& now);

// Stops a running think ahead and waits for its thread; nothing is kept.
void think_ahead_cancel(ThinkAhead& a);

// For the think `request` the game is about to start: when it is exactly one thought ahead, returns true
// with its result, waiting for it when it still runs (calling `adopted` once first, e.g. to follow its
// progress); the thinks on the other replies stop. Otherwise cancels the think ahead and returns false.
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
