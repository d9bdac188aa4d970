// The think ahead's threads: the first ranks the player's replies with a short think, then every Engine
// takes the next reply in rank order and thinks on the position after it in the background; taking,
// cancelling and joining under one mutex.
#include "think/think_ahead.h"

#include <algorithm>
#include <cstring>

namespace halvane {

namespace {

// The guess, on the first Engine: the replies worth thinking after, likeliest first. None after a
// resignation; a king capture ends the game instead. Returns with `lock` (on the think ahead's mutex) held.
void guess_replies(ThinkAhead& a, const ThinkRequest& now, std::unique_lock<std::mutex>& lock) {
  ThinkRequest guess = now;
  guess.side = SENTE;
  guess.limit_ms = GUESS_LIMIT_MS;
  guess.background = true;
  const ThinkResult reply = think(*a.engines[0], guess);
  lock.lock();
  int count = 0;
  if (!reply.resigned && !a.cancelled)
    for (int i = 0; i < reply.ranked_count; ++i)
      if (reply.ranked[i].captured != GOTE_KING) a.requests[count++] = request_after_reply(now, reply.ranked[i]);
  a.guessed = count;
  a.guess_done = true;
  a.changed.notify_all();
}

// One Engine's thread: after the guess, the next reply nobody thinks on yet, until none is left or the
// think ahead is cancelled or taken.
void think_ahead_body(ThinkAhead* a, int engine, ThinkRequest now) {
  // The first Engine guesses and takes the likeliest reply without letting the lock go in between, so
  // that a take right after the guess finds that think running rather than not yet begun.
  std::unique_lock<std::mutex> lock(a->mutex, std::defer_lock);
  if (engine == 0)
    guess_replies(*a, now, lock);
  else
    lock.lock();
  a->changed.wait(lock, [&] { return a->guess_done || a->cancelled; });
  for (;;) {
    if (a->cancelled || a->adopted >= 0 || a->next >= a->guessed) return;
    const int index = a->next++;
    a->running_on[index] = engine;
    a->changed.notify_all();   // from now on the think can be taken
    lock.unlock();
    const ThinkResult result = think(*a->engines[engine], a->requests[index]);
    lock.lock();
    a->running_on[index] = -1;
    // A think stopped by a cancel, or because another was taken, is no answer; the one taken is always
    // handed over, stopped or not, since the game waits for it.
    if (a->adopted == index || (!a->cancelled && a->adopted < 0)) {
      a->results[index] = result;
      a->complete[index] = true;
      a->finished += 1;
    }
    a->changed.notify_all();
  }
}

// Stops every Engine but `keep` (-1: all). Under the mutex.
void stop_engines(ThinkAhead& a, int keep) {
  for (int i = 0; i < a.engine_count; ++i)
    if (i != keep) stop_think(*a.engines[i]);
}

// Joins the ended threads and leaves the think ahead idle, its Engines ready for the next start. The
// threads are taken out under the mutex and joined outside it (they take it to end), by one caller only:
// any other that comes meanwhile waits until that one has left the think ahead idle.
void join_idle(ThinkAhead& a) {
  std::thread ending[MAX_AHEAD_ENGINES];
  {
    std::unique_lock<std::mutex> lock(a.mutex);
    if (a.joining) {
      a.changed.wait(lock, [&] { return !a.joining; });
      return;
    }
    a.joining = true;
    for (int i = 0; i < a.engine_count; ++i) ending[i] = std::move(a.threads[i]);
  }
  for (std::thread& t : ending)
    if (t.joinable()) t.join();
  std::lock_guard<std::mutex> lock(a.mutex);
  for (int i = 0; i < a.engine_count; ++i) clear_stop(*a.engines[i]);
  a.active = false;
  a.adopted = -1;
  a.joining = false;
  a.changed.notify_all();
}

}  // namespace

int ahead_engines_for(unsigned cores) {
  return std::clamp(static_cast<int>(cores) - 1, 0, MAX_AHEAD_ENGINES);
}

ThinkRequest request_after_reply(const ThinkRequest& now, const MoveRecord& m) {
  ThinkRequest r = now;
  const int to = cell_of(m.to_col, m.to_row);
  if (m.is_drop()) {
    r.hand[SENTE][m.piece_after & 7] -= 1;
  } else {
    const int captured = r.board[to];
    if (captured != SQ_EMPTY) r.hand[SENTE][captured & 7] += 1;
    r.board[cell_of(m.from_col, m.from_row)] = SQ_EMPTY;
  }
  r.board[to] = static_cast<uint8_t>(m.piece_after);
  r.side = GOTE;
  r.game_ply = now.game_ply + 1;
  r.background = true;
  return r;
}

bool same_think(const ThinkRequest& x, const ThinkRequest& y) {
  return std::memcmp(x.board, y.board, sizeof x.board) == 0 && std::memcmp(x.hand, y.hand, sizeof x.hand) == 0 &&
         x.side == y.side && x.game_ply == y.game_ply && x.limit_ms == y.limit_ms && x.extend_ms == y.extend_ms &&
         x.fixed_seed == y.fixed_seed && (!x.fixed_seed || x.seed == y.seed) && x.main_search == y.main_search;
}

void think_ahead_start(ThinkAhead& a, const ThinkRequest& now) {
  think_ahead_cancel(a);
  std::lock_guard<std::mutex> lock(a.mutex);
  a.cancelled = a.guess_done = false;
  a.guessed = a.next = a.finished = 0;
  std::fill(std::begin(a.complete), std::end(a.complete), false);
  std::fill(std::begin(a.running_on), std::end(a.running_on), -1);
  for (int i = 0; i < a.engine_count; ++i) {
    try {
      a.threads[i] = std::thread(think_ahead_body, &a, i, now);
    } catch (...) {
      // No thread: fewer Engines think ahead; without the first, none does, and the others end at once.
      if (i == 0) a.guess_done = a.cancelled = true;
    }
  }
  a.active = true;
}

void think_ahead_cancel(ThinkAhead& a) {
  {
    std::lock_guard<std::mutex> lock(a.mutex);
    if (!a.active || a.adopted >= 0) return;
    a.cancelled = true;
    stop_engines(a, -1);
    a.changed.notify_all();
  }
  join_idle(a);
}

void think_ahead_stop(ThinkAhead& a) {
  std::lock_guard<std::mutex> lock(a.mutex);
  if (!a.active) return;
  a.cancelled = true;
  stop_engines(a, -1);
  a.changed.notify_all();
}

bool think_ahead_take(ThinkAhead& a, const ThinkRequest& request, ThinkResult& result,
                      void (*adopted)(Engine& thinking, void* context), void* context) {
  std::unique_lock<std::mutex> lock(a.mutex);
  if (!a.active) return false;
  int found = -1;
  for (int i = 0; i < a.guessed && !a.cancelled && found < 0; ++i)
    if (same_think(a.requests[i], request) && (a.complete[i] || a.running_on[i] >= 0)) found = i;
  if (found < 0) {
    lock.unlock();
    think_ahead_cancel(a);
    return false;
  }
  if (a.complete[found]) {
    // Already answered: the thinks on the other replies are no longer wanted.
    result = a.results[found];
    a.cancelled = true;
    stop_engines(a, -1);
  } else {
    // Running: the game follows that think and waits for its answer; the others stop.
    const int engine = a.running_on[found];
    a.adopted = found;
    stop_engines(a, engine);
    if (adopted) adopted(*a.engines[engine], context);
    a.changed.wait(lock, [&] { return a.complete[found]; });
    result = a.results[found];
  }
  a.changed.notify_all();
  lock.unlock();
  join_idle(a);
  return true;
}

bool think_ahead_running(ThinkAhead& a) {
  std::lock_guard<std::mutex> lock(a.mutex);
  return a.active;
}

}  // namespace halvane
