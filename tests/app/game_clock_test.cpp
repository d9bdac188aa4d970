// The game clock through scripted games on a fake time source: each row plays moves of given lengths and
// checks both clocks after every move, as a player would read them; then the clocks in the window's game
// (the player's clicks, the computer's turns, pause, 待った, stepping back, time losses) and the times the
// record keeps and a KIF file writes and reads back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/game_clock.h"
#include "app/kif_file.h"
#include "app/play_clock.h"
#include "kif/kif_read.h"
#include "kif_test_util.h"
#include "play_fixture.h"
#include "think/time_budget.h"

using namespace halvane;
using namespace halvane::test_support;

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

namespace {

struct ClockInTheWindow : PlayTest {
  // 新規対局 with this time control, the player first.
  void new_game(const ClockSettings& clock) {
    scripted_ui().new_game_answers.push_back(NewGameChoice{0, 0, -1, clock});
    command(CMD_NEW_GAME);
  }
  // The player thinks `ms`, then plays the USI move by its two clicks.
  void player_moves(int64_t ms, const char* usi) {
    pass_time(ms);
    click(9 - (usi[0] - '0'), usi[1] - 'a');
    click(9 - (usi[2] - '0'), usi[3] - 'a');
  }
  // The computer's think takes `ms` of its clock; its limit never lets even a first think's grace reach
  // the flag.
  void computer_moves(int64_t ms) {
    const GameClock& c = gs->clock.clock;
    const int64_t allowed = c.main_left_ms[c.to_move] + c.settings.side[c.to_move].byoyomi_ms;
    const int limit = computer_think_limit(*gs);
    EXPECT_LE(limit + limit / FIRST_THINK_GRACE_DIVISOR, allowed - std::min<int64_t>(ANSWER_MARGIN_MS, allowed / 3));
    pass_time(ms);
    run_computer_turn();
  }
  int64_t main_left(int side) { return clock_read(gs->clock.clock, side, clock_now(*gs)).main_left_ms; }
  int move_time(int ply) { return gs->game.record.nodes[shown_line(*gs)[ply]].time_ms; }
};

}  // namespace

// 持ち時間 spent then 秒読み, pause, stepping back, 待った, and the computer's flag.
TEST_F(ClockInTheWindow, MainTimeThenByoyomiPauseStepsTakeBackAndTheComputersFlag) {
  const TimeControl tc{60000, 5000, 0};
  new_game({true, {tc, tc}});
  EXPECT_NE(status(), TEXT_PRESS_START);
  player_moves(58000, "7g7f");
  computer_moves(3000);
  EXPECT_EQ(move_time(1), 58000);
  EXPECT_EQ(move_time(2), 3000);
  EXPECT_EQ(main_left(BLACK), 2000);
  EXPECT_EQ(main_left(WHITE), 57000);
  // Pausing stops both clocks: time passed under ■ counts for nobody.
  command(CMD_PAUSE);
  pass_time(600000);
  command(CMD_PAUSE);
  pass_time(6100);   // 2 s of main time, then 4.1 s of the 5 s 秒読み
  ClockFace face = clock_face(*gs, BLACK);
  EXPECT_TRUE(face.red && face.to_move);
  EXPECT_EQ(face.text, u"0.9秒") << "tenths in the last seconds";
  EXPECT_EQ(clock_face(*gs, WHITE).text, u"0:57");
  player_moves(0, "2g2f");
  EXPECT_EQ(move_time(3), 6100);
  EXPECT_EQ(clock_face(*gs, BLACK).text, u"5秒") << "the next move has the whole 秒読み";
  computer_moves(1000);
  // Back two moves: the clocks as they stood before 2g2f, nothing running.
  command(CMD_BACK);
  command(CMD_BACK);
  EXPECT_EQ(main_left(BLACK), 2000);
  EXPECT_EQ(main_left(WHITE), 57000);
  pass_time(100000);
  EXPECT_EQ(main_left(BLACK), 2000) << "stepping back pauses";
  command(CMD_LAST);
  // 待った: both clocks back to their times before the taken-back moves.
  command(CMD_TAKE_BACK);
  EXPECT_EQ(cursor_ply(*gs), 2);
  EXPECT_EQ(main_left(BLACK), 2000);
  EXPECT_EQ(main_left(WHITE), 57000);
  player_moves(1000, "2g2f");
  // The computer's turn outlasts its 57 s and 5 s: the window's timer ends the game.
  pass_time(62001);
  EXPECT_TRUE(clock_tick(*gs, *e));
  EXPECT_FALSE(gs->flags.thinking);
  EXPECT_EQ(end_here(*gs), GAME_END_TIME_LOSS);
  EXPECT_EQ(status(), u"コンピュータが時間切れです。試合終了です。");
  ASSERT_FALSE(boxes().empty());
  EXPECT_EQ(utf8(boxes().back().text).substr(0, 54), "コンピュータの持ち時間が切れました。");
  EXPECT_FALSE(gs->clock.clock.running);
}

// フィッシャー's increment after each move, the player's flag, and the times a KIF file keeps.
TEST_F(ClockInTheWindow, FischerThePlayersFlagAndTheTimesOfTheRecord) {
  const TimeControl tc{60000, 0, 2000};
  new_game({true, {tc, tc}});
  player_moves(5000, "7g7f");
  EXPECT_EQ(main_left(BLACK), 57000);
  computer_moves(1500);
  EXPECT_EQ(main_left(WHITE), 60500);
  player_moves(12000, "2g2f");
  computer_moves(500);
  pass_time(59001);   // more than the 47 s left: the click comes too late
  click(2, 6);
  EXPECT_EQ(end_here(*gs), GAME_END_TIME_LOSS);
  EXPECT_EQ(status(), u"時間切れです。あなたの負けです。");
  EXPECT_EQ(cursor_ply(*gs), 4);

  // Written with each move's time and the mover's total, and the time control; read back the same.
  const std::string path = kif_test::temp_path("clock.kif");
  scripted_ui().save_paths.push_back(path);
  command(CMD_SAVE_KIF);
  const std::string file = kif_test::read_file(path);
  for (const char* line : {"持ち時間：1分+フィッシャー2秒", "1 ７六歩(77)   ( 0:05/00:00:05)", "3 ２六歩(27)   ( 0:12/00:00:17)",
                           "5 切れ負け   ( 0:59/00:01:16)"})   // the loser's total goes on from its move 3
    EXPECT_NE(file.find(kif_test::cp932(line)), std::string::npos) << line;
  const GameRecord saved = gs->game.record;
  scripted_ui().open_paths.push_back(path);
  command(CMD_LOAD_KIF);
  const std::vector<int> line = shown_line(*gs);
  ASSERT_EQ(line.size(), 5u);
  for (int ply = 1; ply <= 4; ++ply) {
    const RecordNode &read = gs->game.record.nodes[line[ply]], &played = saved.nodes[ply];
    EXPECT_EQ(read.time_ms, played.time_ms / 1000 * 1000) << "move " << ply;
    EXPECT_EQ(read.total_ms, played.total_ms / 1000 * 1000) << "move " << ply;
  }
  // The loaded record's times in the move list; its clocks start full whenever play goes on from it.
  repaint(*gs, *e);
  EXPECT_EQ(utf8(gs->view.move_list.tips[3]), "消費時間 0:12 / 合計 0:17");
  command(CMD_LAST);
  EXPECT_EQ(main_left(BLACK), 60000);
  EXPECT_EQ(main_left(WHITE), 60000);
}
