// Both sides' clocks: a move's time comes off the main time; once that is gone each move has the 秒読み,
// and a move that takes longer loses; フィッシャー's increment is added after each move.
#include "app/game_clock.h"

#include <algorithm>

namespace halvane {

namespace {

// What the side to move's main time and 秒読み allow for its move, in all.
int64_t allowance(const GameClock& c) {
  return c.main_left_ms[c.to_move] + c.settings.side[c.to_move].byoyomi_ms;
}

void charge(GameClock& c, int64_t spent) {
  const int side = c.to_move;
  c.used_ms[side] += spent;
  if (c.settings.limited) {
    c.main_left_ms[side] = std::max<int64_t>(0, c.main_left_ms[side] - spent);
    c.main_left_ms[side] += c.settings.side[side].increment_ms;
  }
  c.to_move ^= 1;
  c.move_spent_ms = 0;
}

}  // namespace

GameClock clock_new(const ClockSettings& settings, int first) {
  GameClock c;
  c.settings = settings;
  for (int side = 0; side < 2; ++side) c.main_left_ms[side] = settings.limited ? settings.side[side].main_ms : 0;
  c.to_move = first;
  return c;
}

GameClock clock_replay(const ClockSettings& settings, int first, const std::vector<int64_t>& move_times_ms) {
  GameClock c = clock_new(settings, first);
  for (int64_t t : move_times_ms) charge(c, std::max<int64_t>(0, t));
  return c;
}

void clock_run(GameClock& c, int64_t now) {
  if (c.running) return;
  c.running = true;
  c.move_started_at = now;
}

void clock_pause(GameClock& c, int64_t now) {
  if (!c.running) return;
  c.move_spent_ms += now - c.move_started_at;
  c.running = false;
}

int64_t clock_move_time(const GameClock& c, int64_t now) {
  return c.move_spent_ms + (c.running ? now - c.move_started_at : 0);
}

ClockReading clock_read(const GameClock& c, int side, int64_t now) {
  const int64_t spent = side == c.to_move ? clock_move_time(c, now) : 0;
  const TimeControl& tc = c.settings.side[side];
  if (!c.settings.limited) return {c.used_ms[side] + spent, 0, false, false};
  ClockReading r;
  r.main_left_ms = std::max<int64_t>(0, c.main_left_ms[side] - spent);
  const int64_t into_byoyomi = spent - c.main_left_ms[side];
  r.in_byoyomi = r.main_left_ms == 0 && tc.byoyomi_ms > 0;
  r.byoyomi_left_ms = into_byoyomi > 0 ? std::max<int64_t>(0, tc.byoyomi_ms - into_byoyomi) : tc.byoyomi_ms;
  r.out_of_time = side == c.to_move && spent > c.main_left_ms[side] + tc.byoyomi_ms;
  return r;
}

int64_t clock_move_made(GameClock& c, int64_t now) {
  const int64_t spent = clock_move_time(c, now);
  const bool was_running = c.running;
  charge(c, spent);
  c.running = false;
  if (was_running) clock_run(c, now);
  return spent;
}

int64_t clock_time_to_flag(const GameClock& c, int64_t now) {
  if (!c.settings.limited) return -1;
  return std::max<int64_t>(0, allowance(c) - clock_move_time(c, now));
}

}  // namespace halvane
