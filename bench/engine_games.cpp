// Halvane against a USI engine under a game clock, through the window's own turn flow (the scripted window
// system of the tests stands in for Qt, and this loop is the window thread with its timer): the engine is
// the computer, registered and chosen as the new-game dialog does, and the window's own think plays the
// player's moves on the player's clock. Colours alternate from game to game. Counts the results, the games
// lost on time by either side, and the engine's protocol errors: its failures (an illegal move, a
// time-out, a crash) and the lines it sent that were no USI.
//
// usage: engine_games GAMES MAX_MOVES LEVEL CONTROL ENGINE [NAME=VALUE…]   (the engine's options, as the
// engine settings dialog would keep them: a number for a spin, true or false for a check)
//   e.g. engine_games 2 300 gekikara 0+3 /usr/games/fairy-stockfish
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/engine_opponent.h"
#include "app/game_end.h"
#include "app/game_start.h"
#include "app/record_play.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/study.h"
#include "bench_window.h"
#include "core/legality.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct Tally {
  int games = 0, engine_wins = 0, engine_losses = 0, unfinished = 0, time_losses = 0, moves = 0;
  int protocol_errors = 0, garbage_lines = 0, ponders = 0, ponder_hits = 0;
};

// The player's move, thought by the window's own Engine on the player's clock and played as a click would.
void player_moves(GameState& gs, Engine& e) {
  ThinkRequest request = board_think_request(gs);
  const ThinkResult result = think(e, request);
  if (clock_flag_fell(gs, e)) return;
  MoveRecord move = result.move.to_col >= 0 ? move_from_think(gs, result.move) : MoveRecord{};
  if (move.to_col < 0 && !result.resigned) {
    const std::vector<MoveRecord> moves = legal_moves(gs.game.position);
    if (!moves.empty()) move = moves.front();
  }
  if (result.resigned || move.to_col < 0) return end_game(gs, GAME_END_RESIGNED);
  play_move(gs, move);
  if (legal_moves(gs.game.position).empty()) return end_game(gs, GAME_END_MATED);
  write_turn_status(gs);
  advance_game(gs, e);
}

void play_game(const Strength& level, const TimeControl& control, const RegisteredEngine& engine, int max_moves,
               bool engine_black, Tally& tally) {
  auto gs = clocked_game_state(control);
  EngineHandle e = new_engine(level);
  choose_engine_opponent(*gs, &engine);
  begin_game(*gs, *e, GameRecord{}, engine_black ? WHITE : BLACK);
  advance_game(*gs, *e);
  while (!game_over(*gs) && cursor_ply(*gs) < max_moves && !gs->flags.paused) {
    if (player_to_move(*gs) && !gs->flags.thinking)
      player_moves(*gs, *e);
    else
      window_loop_step(*gs, *e);
  }
  tally.games += 1;
  tally.moves += cursor_ply(*gs);
  const GameEnd end = end_here(*gs);
  if (end == GAME_END_TIME_LOSS) tally.time_losses += 1;
  if (!game_over(*gs))
    tally.unfinished += 1;
  else if (player_lost_game(end, side_to_move(*gs), gs->game.player_side))
    tally.engine_wins += 1;
  else
    tally.engine_losses += 1;
  std::printf("  game %d (engine %s): %d moves, %s\n", tally.games, engine_black ? "black" : "white",
              cursor_ply(*gs), utf8(gs->view.status_text).c_str());
  std::fflush(stdout);
  stop_computer(*gs, *e);
  tally.protocol_errors += gs->opponent->protocol_errors;
  tally.ponders += gs->opponent->ponders;
  tally.ponder_hits += gs->opponent->ponder_hits;
  if (gs->opponent->session) tally.garbage_lines += gs->opponent->session->client->garbage_lines.load();
  close_engine_opponent(*gs);
  run_window_events();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: engine_games GAMES MAX_MOVES LEVEL CONTROL ENGINE [NAME=VALUE...]\n");
    return 2;
  }
  const int games = std::atoi(argv[1]), max_moves = std::atoi(argv[2]);
  const Strength* level = level_named(argv[3]);
  TimeControl control;
  if (!level || games <= 0 || max_moves <= 0 || !parse_control(argv[4], control)) {
    std::fprintf(stderr, "engine_games: bad games, moves, level or control\n");
    return 2;
  }
  RegisteredEngine engine{argv[5], argv[5], {}};
  for (int i = 6; i < argc; ++i) {
    const std::string word = argv[i];
    const size_t equals = word.find('=');
    if (equals == std::string::npos) continue;
    UsiOption option;
    option.name = word.substr(0, equals);
    option.value = word.substr(equals + 1);
    const bool check = option.value == "true" || option.value == "false";
    option.type = check ? OPTION_CHECK : option.value.find_first_not_of("0123456789") == std::string::npos ? OPTION_SPIN : OPTION_STRING;
    engine.options.push_back(option);
  }
  load_back_buffer();
  Tally tally;
  for (int g = 0; g < games; ++g) play_game(*level, control, engine, max_moves, g % 2 == 0, tally);
  std::printf("%s against %s at %s: %d games, %d moves, engine won %d lost %d unfinished %d, %d lost on time, "
              "%d protocol errors, %d lines that were no protocol, %d ponders, %d of them hit\n",
              argv[3], argv[5], argv[4], tally.games, tally.moves, tally.engine_wins, tally.engine_losses,
              tally.unfinished, tally.time_losses, tally.protocol_errors, tally.garbage_lines, tally.ponders,
              tally.ponder_hits);
  return tally.protocol_errors == 0 && tally.time_losses == 0 ? 0 : 1;
}
