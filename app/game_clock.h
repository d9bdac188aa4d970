// The game clock: each side's time control (持ち時間, 秒読み after it, or フィッシャー's increment per move), and
// the state of both clocks read at any instant of a time source the caller hands in (milliseconds), so that
// tests drive it with a fake clock. The clocks before any move of a record follow from the time control and
// the moves' times alone (clock_replay), which is what 待った and stepping back show.
#pragma once

#include <cstdint>
#include <vector>

namespace halvane {

struct TimeControl {
  int main_ms = 0;        // 持ち時間
  int byoyomi_ms = 0;     // 秒読み: each move's time once the main time is spent
  int increment_ms = 0;   // フィッシャー: added to the main time after each move
  bool operator==(const TimeControl&) const = default;
};

// なし (unlimited): the clocks count each side's time upwards and nobody loses on time.
struct ClockSettings {
  bool limited = false;
  TimeControl side[2];    // [BLACK] the first mover's, [WHITE] the second's
  bool operator==(const ClockSettings&) const = default;
};

struct GameClock {
  ClockSettings settings;
  int64_t main_left_ms[2] = {0, 0};   // what is left of the main time
  int64_t used_ms[2] = {0, 0};        // all the time each side took
  int to_move = 0;                    // whose clock runs while running
  bool running = false;
  int64_t move_started_at = 0;        // the time source's reading when this move's time began to run
  int64_t move_spent_ms = 0;          // this move's time before the last pause
};

// What one side's clock shows.
struct ClockReading {
  int64_t main_left_ms;    // the main time left (0 once spent); counting up without limits: the time used
  int64_t byoyomi_left_ms; // in 秒読み: what is left of this move's 秒読み, else the full 秒読み
  bool in_byoyomi;         // the main time is spent and a 秒読み runs
  bool out_of_time;        // the side has lost on time
};

// A clock at the start of a game with `first` (BLACK or WHITE) to move, stopped.
GameClock clock_new(const ClockSettings& settings, int first);
// The clocks after the moves whose times are given, the first of them by `first`: what the clocks showed
// when that position was reached (nothing running).
GameClock clock_replay(const ClockSettings& settings, int first, const std::vector<int64_t>& move_times_ms);

// Starts or goes on counting the side to move's time; stops it, keeping what it had spent.
void clock_run(GameClock& clock, int64_t now);
void clock_pause(GameClock& clock, int64_t now);

// The time the side to move has spent on its move so far.
int64_t clock_move_time(const GameClock& clock, int64_t now);
ClockReading clock_read(const GameClock& clock, int side, int64_t now);

// The side to move has played: its time is charged (main time first, then the 秒読み, then the increment
// added), and the other side's clock starts. Returns the move's time. A move made out of time is charged
// all the same; clock_read tells the loss.
int64_t clock_move_made(GameClock& clock, int64_t now);

// How long until the side to move runs out of time (its main time, then its 秒読み), or -1 without limits.
int64_t clock_time_to_flag(const GameClock& clock, int64_t now);

}  // namespace halvane
