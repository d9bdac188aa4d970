// The think ahead's thread: a short think for the player guesses the reply, then the think the computer
// would start after it runs in the background; taking, cancelling and joining under one mutex.
#include "think/think_ahead.h"

#include <cstring>

namespace halvane {

namespace {

// The guess of the player's reply: the player's side thought briefly (its largest complete think
// within this limit).
constexpr int GUESS_LIMIT_MS = 1000;

// Plays SENTE's move on an engine-view request: a board move (capturing into SENTE's hand) or a drop.
void play_sente_move(ThinkRequest& r, const MoveRecord& m) {
  const int to = cell_of(m.to_col, m.to_row);
  if (m.is_drop()) {
    r.hand[SENTE][m.piece_after & 7] -= 1;
  } else {
    const int captured = r.board[to];
    if (captured != SQ_EMPTY) r.hand[SENTE][captured & 7] += 1;
    r.board[cell_of(m.from_col, m.from_row)] = SQ_EMPTY;
  }
  r.board[to] = static_cast<uint8_t>(m.piece_after);
}

void think_ahead_body(ThinkAhead* a, ThinkRequest now) {
  Engine& e = *a->engine;
  ThinkRequest guess = now;
  guess.side = SENTE;
  guess.limit_ms = GUESS_LIMIT_MS;
  guess.background = true;
  const ThinkResult reply = think(e, guess);
  {
    std::lock_guard<std::mutex> lock(a->mutex);
    // No reply worth thinking after (a cancel, a resignation, a king capture): nothing more to do.
    if (a->cancelled || reply.resigned || reply.move.to_col < 0 || reply.move.captured == GOTE_KING) {
      a->done = true;
      a->changed.notify_all();
      return;
    }
    a->request = now;
    play_sente_move(a->request, reply.move);
    a->request.side = GOTE;
    a->request.game_ply = now.game_ply + 1;
    a->request.background = true;
    a->guessed = true;
    a->changed.notify_all();
  }
  const ThinkResult result = think(e, a->request);
  std::lock_guard<std::mutex> lock(a->mutex);
  a->result = result;
  a->done = true;
  a->changed.notify_all();
}

}  // namespace

bool same_think(const ThinkRequest& x, const ThinkRequest& y) {
  return std::memcmp(x.board, y.board, sizeof x.board) == 0 && std::memcmp(x.hand, y.hand, sizeof x.hand) == 0 &&
         x.side == y.side && x.game_ply == y.game_ply && x.limit_ms == y.limit_ms &&
         x.fixed_seed == y.fixed_seed && (!x.fixed_seed || x.seed == y.seed) && x.main_search == y.main_search;
}

void think_ahead_start(ThinkAhead& a, const ThinkRequest& now) {
  think_ahead_cancel(a);
  std::lock_guard<std::mutex> lock(a.mutex);
  a.cancelled = a.guessed = a.done = false;
  a.result = ThinkResult{};
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
  a.thread.join();
  std::lock_guard<std::mutex> lock(a.mutex);
  clear_stop(*a.engine);
  a.active = false;
}

bool think_ahead_take(ThinkAhead& a, const ThinkRequest& request, ThinkResult& result,
                      void (*adopted)(Engine& thinking, void* context), void* context) {
  {
    std::unique_lock<std::mutex> lock(a.mutex);
    if (!a.active) return false;
    const bool match = a.guessed && !a.cancelled && same_think(a.request, request);
    if (match) {
      a.adopted = true;
      if (adopted) adopted(*a.engine, context);
      a.changed.wait(lock, [&] { return a.done; });
      result = a.result;
    }
    if (!match) lock.unlock(), think_ahead_cancel(a);
    if (!match) return false;
  }
  a.thread.join();
  std::lock_guard<std::mutex> lock(a.mutex);
  a.active = false;
  a.adopted = false;
  return true;
}

bool think_ahead_running(ThinkAhead& a) {
  std::lock_guard<std::mutex> lock(a.mutex);
  return a.active;
}

}  // namespace halvane
