// Thinking ahead on the player's time: a second Engine, on a thread of its own at the lowest priority,
// guesses the player's reply and thinks on the position after it. When the player's move reaches that
// position its answer is taken (waited for when not done); any other position, or a cancel, stops it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "think/think.h"

namespace halvane {

struct ThinkAhead {
  EngineHandle engine;          // its own Engine, with its own mate thread
  std::mutex mutex;
  std::condition_variable changed;
  std::thread thread;
  bool active = false;          // a thread has been started and not yet joined
  bool cancelled = false;
  bool guessed = false;         // `request` holds the position after the guessed reply
  bool done = false;            // the thread has ended (its think, if any, is in `result`)
  bool adopted = false;         // the game waits for its answer: a cancel leaves it alone
  ThinkRequest request;         // the think that runs on the guessed position
  ThinkResult result;
};

// Starts thinking ahead from `now`: the position with the player (SENTE) to move, in the engine's view,
// its game_ply the game's move count and limit_ms the think's limit. Cancels an earlier one first.
void think_ahead_start(ThinkAhead& a, const ThinkRequest& now);

// Stops a running think ahead and waits for its thread; nothing is kept.
void think_ahead_cancel(ThinkAhead& a);

// For the think `request` the game is about to start: when it is exactly the one thought ahead, waits
// for it (calling `adopted` once first, e.g. to follow its progress) and returns true with its result.
// Otherwise cancels the think ahead and returns false.
bool think_ahead_take(ThinkAhead& a, const ThinkRequest& request, ThinkResult& result,
                      void (*adopted)(Engine& thinking, void* context), void* context);

// True while a think ahead has been started and not yet taken or cancelled.
bool think_ahead_running(ThinkAhead& a);

// True when two requests ask for the same think: board, hands, side, game_ply and limit.
bool same_think(const ThinkRequest& x, const ThinkRequest& y);

}  // namespace halvane
