// Games as the window plays them, under ThreadSanitizer: the turn monitor and the repaint watcher on their
// own threads, thinking ahead on a second Engine, and the window thread's clicks and commands at random
// moments through the scripted window system.
#include <gtest/gtest.h>

#include <chrono>
#include <iterator>
#include <random>
#include <thread>
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

// One move of the player's as two clicks: a random piece of the player's, then one of the squares it
// may go to. False when the piece chosen has nowhere to go.
bool random_player_move(GameState& gs, Engine& e, std::mt19937& rng) {
  std::vector<int> own, targets;
  for (int sq = 0; sq < 81; ++sq)
    if (is_sente_piece(gs.record.board[gs_index(sq % 9, sq / 9)])) own.push_back(sq);
  if (own.empty()) return false;
  const int from = own[rng() % own.size()];
  click(gs, e, from % 9, from / 9);
  for (int sq = 0; sq < 81; ++sq)
    if (gs.input.selection == 1 && gs.input.target_map[gs_index(sq % 9, sq / 9)] &&
        gs.record.board[gs_index(sq % 9, sq / 9)] != GOTE_KING)
      targets.push_back(sq);
  if (targets.empty()) {
    click(gs, e, from % 9, from / 9);   // deselect
    return false;
  }
  const int to = targets[rng() % targets.size()];
  click(gs, e, to % 9, to / 9);
  return true;
}

}  // namespace

TEST(WindowThreads, GamesWithThinkingAheadAndCommandsAtRandomMoments) {
  test_support::reset_scripted_ui();
  // As in the window programs, the turn threads run to the end of the process: what they use is never freed.
  auto* gs = new GameState;
  Engine* e = new_engine(STRENGTH_CHUUKARA).release();
  game_construct(*gs);
  game_reset_for_window(*gs);
  load_back_buffer();
  gs->flags.think_limit_ms = 200;
  gs->flags.think_ahead = true;
  auto* ahead = new ThinkAhead;
  ahead->engines[0] = new_engine(STRENGTH_CHUUKARA);
  gs->flags.ahead = ahead;
  start_turn_threads(*gs, *e);

  std::mt19937 rng(22);
  // 待った, 投了 and 新規対局 stop a running think and wait for the turn monitor to drop its answer.
  const int COMMANDS[] = {CMD_PAUSE, CMD_BACK,      CMD_FORWARD, CMD_LAST,    CMD_FIRST,
                          CMD_START, CMD_TAKE_BACK, CMD_RESIGN,  CMD_NEW_GAME};
  int moves = 0, commands = 0;
  for (int step = 0; step < 3000 && moves < 30; ++step) {
    if (!gs->flags.started || gs->flags.game_over) {
      on_command(*gs, *e, CMD_START);   // a new game (a finished one is reset first), as sente
    } else if (rng() % 10 == 0) {
      on_command(*gs, *e, COMMANDS[rng() % std::size(COMMANDS)]);
      ++commands;
    } else if (gs->flags.player_to_move && !gs->flags.thinking) {
      moves += random_player_move(*gs, *e, rng);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(rng() % 30));
  }
  EXPECT_GE(moves, 30) << "the computer's turns did not come back";
  EXPECT_GT(commands, 0);
  // The think ahead is no longer wanted and its threads are joined before the process ends; the turn
  // threads idle from here on.
  gs->flags.think_ahead = false;
  for (bool joined = false; !joined;) {
    {
      std::lock_guard<std::recursive_mutex> turn(turn_lock());
      if (!gs->flags.thinking) {
        think_ahead_cancel(*ahead);
        joined = true;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}
