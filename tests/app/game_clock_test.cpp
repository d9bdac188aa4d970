// The game clock through scripted games on a fake time source: each row plays moves of given lengths and
// checks both clocks after every move, as a player would read them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/game_clock.h"

using namespace halvane;

namespace {

struct Step {
  int64_t think_ms;       // how long the side to move takes (its move is made after it, unless `pause`)
  int64_t main_left[2];   // then: both main times (counting up without limits: the time used)
  bool lost;              // the side that moved ran out of time on this move
};

struct Row {
  const char* what;
  ClockSettings settings;
  std::vector<Step> steps;
};

ClockSettings limited(TimeControl black, TimeControl white) { return {true, {black, white}}; }

}  // namespace

TEST(GameClock, ScriptedGames) {
  const Row rows[] = {
      {"10分 + 30秒: the main time spent, then 30 s a move",
       limited({600000, 30000, 0}, {600000, 30000, 0}),
       {{590000, {10000, 600000}, false}, {1000, {10000, 599000}, false}, {39000, {0, 599000}, false},
        {1000, {0, 598000}, false}, {30000, {0, 598000}, false}, {1000, {0, 597000}, false}, {30001, {0, 597000}, true}}},
      {"一手10秒 (0分 + 10秒) for white only, black unlimited main time of 1 min",
       limited({60000, 0, 0}, {0, 10000, 0}),
       {{5000, {55000, 0}, false}, {10000, {55000, 0}, false}, {55000, {0, 0}, false}, {10001, {0, 0}, true}}},
      {"フィッシャー 1分 + 2秒",
       limited({60000, 0, 2000}, {60000, 0, 2000}),
       {{1000, {61000, 60000}, false}, {3000, {61000, 59000}, false}, {61000, {2000, 59000}, false},
        {59001, {2000, 2000}, true}}},
      {"なし: the clocks count up", ClockSettings{},
       {{1500, {1500, 0}, false}, {2500, {1500, 2500}, false}, {1000, {2500, 2500}, false}}},
  };
  for (const Row& row : rows) {
    GameClock clock = clock_new(row.settings, 0);
    int64_t now = 1000;
    clock_run(clock, now);
    std::vector<int64_t> times;
    for (size_t i = 0; i < row.steps.size(); ++i) {
      const Step& s = row.steps[i];
      const int mover = clock.to_move;
      // Half the think, a pause of any length that counts for nobody, the other half.
      now += s.think_ms / 2;
      clock_pause(clock, now);
      now += 777777;
      clock_run(clock, now);
      now += s.think_ms - s.think_ms / 2;
      const std::string where = std::string(row.what) + ", move " + std::to_string(i + 1);
      EXPECT_EQ(clock_read(clock, mover, now).out_of_time, s.lost) << where;
      EXPECT_EQ(clock_move_made(clock, now), s.think_ms) << where;
      times.push_back(s.think_ms);
      for (int side = 0; side < 2; ++side)
        EXPECT_EQ(clock_read(clock, side, now).main_left_ms, s.main_left[side]) << where << ", side " << side;
      // The clocks as they stood here, from the moves' times alone (what 待った and stepping back show).
      const GameClock replayed = clock_replay(row.settings, 0, times);
      for (int side = 0; side < 2; ++side)
        EXPECT_EQ(clock_read(replayed, side, now).main_left_ms, s.main_left[side]) << where << ", replayed";
    }
  }
  // In 秒読み the side to move's reading counts its 秒読み down.
  GameClock clock = clock_new(limited({1000, 10000, 0}, {1000, 10000, 0}), 0);
  clock_run(clock, 0);
  const ClockReading r = clock_read(clock, 0, 4000);
  EXPECT_TRUE(r.in_byoyomi && !r.out_of_time && r.main_left_ms == 0 && r.byoyomi_left_ms == 7000);
  EXPECT_EQ(clock_time_to_flag(clock, 4000), 7000);
}
