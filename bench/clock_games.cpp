// The computer against itself under a game clock, through the window's own turn flow (the scripted window
// system of the tests stands in for Qt, and this loop is the window thread with its timer): after each
// answer the player's side is handed to the computer, so that it thinks for both sides on the clocks the
// window keeps. Counts the games lost on time, and for every move its time against its budget
// (think/time_budget.h): the longest overrun of a budget and the least time left before the flag fell.
//
// usage: clock_games GAMES MAX_MOVES LEVEL CONTROL...   (LEVEL chuukara, karakuchi or gekikara; CONTROL
// "MAIN_S+BYOYOMI_S" or "MAIN_S+fFISCHER_S", e.g. 0+1, 0+3, 60+f2). A game stops after MAX_MOVES moves.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/game_start.h"
#include "app/play_clock.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "bench_window.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct Tally {
  int games = 0, time_losses = 0, moves = 0;
  long long longest_overrun = -1000000;   // a move's time less its budget
  long long least_left = 1000000000;      // what the clock still allowed when the move was made
  long long longest_move = 0;
};

void play_game(const Strength& level, const TimeControl& control, int max_moves, Tally& tally) {
  auto gs = clocked_game_state(control);
  EngineHandle e = new_engine(level);
  // The computer plays black first: the "player" is white until the computer's first answer.
  begin_game(*gs, *e, GameRecord{}, WHITE);
  advance_game(*gs, *e);
  int budget = 0;
  long long allowed = 0;
  int last_node = 0;
  while (!game_over(*gs) && cursor_ply(*gs) < max_moves) {
    if (gs->flags.thinking && budget == 0) {
      // An unfinished think may spend its extension too: that is within its budget.
      budget = computer_think_budget(*gs) + computer_think_extension(*gs);
      const GameClock& c = gs->clock.clock;
      allowed = c.main_left_ms[c.to_move] + c.settings.side[c.to_move].byoyomi_ms;
    }
    window_loop_step(*gs, *e);
    if (game_over(*gs)) break;
    if (gs->game.cursor != last_node && !gs->flags.thinking) {
      // The computer has moved: its move's time against its budget, then the other side is its own too.
      last_node = gs->game.cursor;
      const int spent = gs->game.record.nodes[last_node].time_ms;
      tally.moves += 1;
      tally.longest_overrun = std::max<long long>(tally.longest_overrun, spent - budget);
      tally.least_left = std::min(tally.least_left, allowed - spent);
      tally.longest_move = std::max<long long>(tally.longest_move, spent);
      budget = 0;
      gs->game.player_side ^= 1;
      show_position(*gs);
      advance_game(*gs, *e);
    }
  }
  tally.games += 1;
  if (end_here(*gs) == GAME_END_TIME_LOSS) {
    tally.time_losses += 1;
    std::printf("  time loss at move %d\n", cursor_ply(*gs) + 1);
  }
  stop_computer(*gs, *e);
  run_window_events();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: clock_games GAMES MAX_MOVES LEVEL CONTROL...\n");
    return 2;
  }
  const int games = std::atoi(argv[1]), max_moves = std::atoi(argv[2]);
  const Strength* level = level_named(argv[3]);
  if (!level || games <= 0 || max_moves <= 0) {
    std::fprintf(stderr, "clock_games: bad games, moves or level\n");
    return 2;
  }
  load_back_buffer();
  int losses = 0;
  for (int i = 4; i < argc; ++i) {
    TimeControl control;
    if (!parse_control(argv[i], control)) {
      std::fprintf(stderr, "clock_games: bad control %s\n", argv[i]);
      return 2;
    }
    Tally tally;
    for (int g = 0; g < games; ++g) play_game(*level, control, max_moves, tally);
    std::printf("%s %s: %d games, %d moves, %d lost on time, longest move %lld ms, longest overrun of the budget "
                "%lld ms, least time left at a move %lld ms\n",
                argv[3], argv[i], tally.games, tally.moves, tally.time_losses, tally.longest_move,
                tally.longest_overrun, tally.least_left);
    std::fflush(stdout);
    losses += tally.time_losses;
  }
  return losses == 0 ? 0 : 1;
}
