// The think ahead's thread: a short think for the player ranks the replies, then the think the computer
// would start after each runs in the background, likeliest first; taking, cancelling and joining under
// one mutex.
#include "think/think_ahead.h"

#include <cstring>

namespace halvane {

namespace {

void think_ahead_body(ThinkAhead* a, ThinkRequest now) {
  Engine& e = *a->engine;
  ThinkRequest guess = now;
  guess.side = SENTE;
  guess.limit_ms = GUESS_LIMIT_MS;
  guess.background = true;
  const ThinkResult reply = think(e, guess);
  // The replies worth thinking after: none after a resignation; a king capture ends the game instead.
  MoveRecord replies[AHEAD_CANDIDATES];
  int count = 0;
  if (!reply.resigned)
    for (int i = 0; i < reply.ranked_count; ++i)
      if (reply.ranked[i].captured != GOTE_KING) replies[count++] = reply.ranked[i];

  for (int i = 0;; ++i) {
    {
      std::lock_guard<std::mutex> lock(a->mutex);
      if (a->cancelled || a->adopted || i == count) {
        a->done = true;
        a->changed.notify_all();
        return;
      }
      a->requests[i] = request_after_reply(now, replies[i]);
      a->guessed = i + 1;
      a->changed.notify_all();
    }
    const ThinkResult result = think(e, a->requests[i]);
    std::lock_guard<std::mutex> lock(a->mutex);
    if (a->cancelled) continue;   // a stopped think is no answer; the loop ends above
    a->results[i] = result;
    a->finished = i + 1;
    a->changed.notify_all();
  }
}

// Joins the ended thread and leaves the think ahead idle, its Engine ready for the next start.
void join_idle(ThinkAhead& a) {
  a.thread.join();
  std::lock_guard<std::mutex> lock(a.mutex);
  clear_stop(*a.engine);
  a.active = false;
  a.adopted = false;
}

}  // namespace

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
         x.side == y.side && x.game_ply == y.game_ply && x.limit_ms == y.limit_ms &&
         x.fixed_seed == y.fixed_seed && (!x.fixed_seed || x.seed == y.seed) && x.main_search == y.main_search;
}

void think_ahead_start(ThinkAhead& a, const ThinkRequest& now) {
  think_ahead_cancel(a);
  std::lock_guard<std::mutex> lock(a.mutex);
  a.cancelled = a.done = false;
  a.guessed = a.finished = 0;
  try {
    a.thread = std::thread(think_ahead_body, &a, now);
    a.active = true;
  } catch (...) {
    a.active = false;   // no thread: simply no think ahead
  }
}

void think_ahead_cancel(ThinkAhead& a) {
  {
    std::lock_guard<std::mutex> lock(a.mutex);
    if (!a.active || a.adopted) return;
    a.cancelled = true;
    stop_think(*a.engine);
  }
  join_idle(a);
}

bool think_ahead_take(ThinkAhead& a, const ThinkRequest& request, ThinkResult& result,
                      void (*adopted)(Engine& thinking, void* context), void* context) {
  std::unique_lock<std::mutex> lock(a.mutex);
  if (!a.active) return false;
  int found = -1;
  for (int i = 0; i < a.guessed && !a.cancelled && found < 0; ++i)
    if (same_think(a.requests[i], request)) found = i;
  if (found < 0) {
    lock.unlock();
    think_ahead_cancel(a);
    return false;
  }
  if (found < a.finished) {
    // Already answered: the think on a less likely reply, if one runs, is no longer wanted.
    result = a.results[found];
    a.cancelled = true;
    stop_think(*a.engine);
  } else {
    // The running think is the one: the game follows it and waits for its answer.
    a.adopted = true;
    if (adopted) adopted(*a.engine, context);
    a.changed.wait(lock, [&] { return a.finished > found; });
    result = a.results[found];
  }
  lock.unlock();
  join_idle(a);
  return true;
}

bool think_ahead_running(ThinkAhead& a) {
  std::lock_guard<std::mutex> lock(a.mutex);
  return a.active;
}

}  // namespace halvane
