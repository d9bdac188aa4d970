// Games as the window plays them, under ThreadSanitizer: the computer's thinks on their own threads with
// their answers posted to the window thread, thinking ahead on a second Engine, and the window thread's
// clicks and commands at random moments (while a think runs, as its answer is on its way, or after it
// came) through the scripted window system.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "app/commands.h"
#include "app/game_state.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "think/think_ahead.h"
#include "support/scripted_ui.h"

using namespace halvane;

namespace {

void click(GameState& gs, Engine& e, int col, int row) { on_left_button_up(gs, e, col * 40 + 20, row * 40 + 20); }

// One move of the player's as two clicks: a random piece at the bottom, then one of the squares it may
// go to. False when the piece chosen has nowhere to go.
bool random_player_move(GameState& gs, Engine& e, std::mt19937& rng) {
  std::vector<int> own, targets;
  for (int sq = 0; sq < 81; ++sq)
    if (is_sente_piece(gs.screen.board[gs_index(sq % 9, sq / 9)])) own.push_back(sq);
  if (own.empty()) return false;
  const int from = own[rng() % own.size()];
  click(gs, e, from % 9, from / 9);
  for (int sq = 0; sq < 81; ++sq)
    if (gs.input.selection == 1 && gs.input.target_map[gs_index(sq % 9, sq / 9)]) targets.push_back(sq);
  if (targets.empty()) {
    click(gs, e, from % 9, from / 9);   // deselect
    return false;
  }
  const int to = targets[rng() % targets.size()];
  const unsigned revision = gs.game.revision;
  click(gs, e, to % 9, to / 9);
  return gs.game.revision != revision;
}

}  // namespace

TEST(WindowThreads, GamesWithThinkingAheadAndCommandsAtRandomMoments) {
  test_support::reset_scripted_ui();
  auto gs = std::make_unique<GameState>();
  EngineHandle e = new_engine(STRENGTH_CHUUKARA);
  game_construct(*gs);
  game_reset_for_window(*gs);
  load_back_buffer();
  gs->flags.think_limit_ms = 200;
  gs->flags.think_ahead = true;
  auto ahead = std::make_unique<ThinkAhead>();
  ahead->engines[0] = new_engine(STRENGTH_CHUUKARA);
  gs->flags.ahead = ahead.get();

  std::mt19937 rng(22);
  // 待った, 投了 and 新規対局 stop a running think; the others refuse during one or wait for it.
  const int COMMANDS[] = {CMD_PAUSE,     CMD_BACK,   CMD_FORWARD,  CMD_LAST,         CMD_FIRST, CMD_START,
                          CMD_TAKE_BACK, CMD_RESIGN, CMD_NEW_GAME, CMD_CHANGE_SIDES};
  int moves = 0, commands = 0, answers_waited = 0;
  for (int step = 0; step < 5000 && moves < 30; ++step) {
    if (!gs->flags.started || game_over(*gs)) {
      on_command(*gs, *e, CMD_START);   // a new game (a finished one is reset first), as sente
    } else if (gs->flags.thinking && rng() % 4 != 0) {
      test_support::wait_for_window_event();   // the answer, or an event that was already on its way
      ++answers_waited;
    } else if (rng() % 10 == 0 || gs->flags.thinking) {
      on_command(*gs, *e, COMMANDS[rng() % std::size(COMMANDS)]);
      ++commands;
    } else if (player_to_move(*gs)) {
      moves += random_player_move(*gs, *e, rng);
    } else {
      on_command(*gs, *e, CMD_PAUSE);   // the computer's turn held: lift the pause
    }
    if (rng() % 2) progress_tick(*gs, *e);
    test_support::run_window_events();
  }
  EXPECT_GE(moves, 30) << "the computer's turns did not come back";
  EXPECT_GT(commands, 0);
  EXPECT_GT(answers_waited, 0);
  // The window closes: no thread of the game runs on.
  ASSERT_TRUE(may_close(*gs, *e));
  EXPECT_FALSE(gs->flags.think_thread.joinable());
  EXPECT_FALSE(think_ahead_running(*ahead));
  test_support::run_window_events();
  gs->flags.ahead = nullptr;
}
