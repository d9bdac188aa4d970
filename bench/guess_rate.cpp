// How often the think ahead's guess of the player's reply holds: for positions of real games, the
// player's side is thought exactly as the think ahead guesses (a time-limited think ranking its root
// moves) and the move the game went on with is looked for among the first 1..8 ranked.
//
// usage: guess_rate [STRIDE [TSV [GAME...]]]   every STRIDE-th ply (default 10) of the games in TSV
// (default the corpus's mainline_usi.tsv: a file name and its USI moves from the initial position per
// line; games from another start are left out), or of the named GAMEs only. Prints the hit rate of the
// top 1..8 and the time per guess.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/sfen.h"
#include "think/think_ahead.h"
#include "think/strength.h"
#include "usi/position_command.h"

using namespace halvane;

int main(int argc, char** argv) {
  const int stride = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const std::string tsv = argc > 2 ? argv[2] : HALVANE_CORPUS_DIR "/kif/mainline_usi.tsv";
  std::ifstream in(tsv);
  if (!in) {
    std::fprintf(stderr, "guess_rate: cannot read %s\n", tsv.c_str());
    return 1;
  }
  EngineHandle scratch = new_engine(*STRENGTHS[STRENGTH_COUNT - 1]);
  EngineHandle e = new_engine(*STRENGTHS[STRENGTH_COUNT - 1]);
  long long hits[RANKED_MOVES] = {}, positions = 0, total_ms = 0, longest_ms = 0;
  std::string line;
  std::getline(in, line);   // the header
  while (std::getline(in, line)) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const std::string name = line.substr(0, tab);
    bool wanted = argc <= 3;
    for (int i = 3; i < argc; ++i) wanted = wanted || name == argv[i];
    if (!wanted) continue;
    std::vector<std::string> moves;
    std::istringstream words(line.substr(tab + 1));
    for (std::string w; words >> w;) moves.push_back(w);
    GamePosition whole;
    std::string error, text = "startpos moves";
    for (const std::string& m : moves) text += " " + m;
    if (!parse_position_command(*scratch, text, whole, error)) {
      std::printf("%-40s left out: %s\n", name.c_str(), error.c_str());
      continue;
    }
    long long game_hits = 0, game_positions = 0;
    for (size_t ply = stride; ply < moves.size(); ply += stride) {
      GamePosition game;
      std::string before = "startpos moves";
      for (size_t i = 0; i < ply; ++i) before += " " + moves[i];
      parse_position_command(*scratch, before, game, error);
      const EngineView view = engine_view(game.pos);
      ThinkRequest guess;
      std::memcpy(guess.board, view.board, sizeof guess.board);
      std::memcpy(guess.hand, view.hand, sizeof guess.hand);
      guess.side = GOTE;
      guess.game_ply = game.game_ply;
      guess.limit_ms = GUESS_LIMIT_MS;
      const auto start = std::chrono::steady_clock::now();
      const ThinkResult r = think(*e, guess);
      const long long ms =
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
      total_ms += ms;
      longest_ms = std::max(longest_ms, ms);
      ++positions, ++game_positions;
      for (int k = 0; k < r.ranked_count; ++k)
        if (move_to_usi(move_from_engine_view(view, r.ranked[k])) == moves[ply]) {
          for (int j = k; j < RANKED_MOVES; ++j) ++hits[j];
          game_hits += 1;
          break;
        }
    }
    std::printf("%-40s %3lld positions, %3lld in the top %d\n", name.c_str(), game_positions, game_hits, RANKED_MOVES);
    std::fflush(stdout);
  }
  std::printf("positions %lld (every %d plies), guess time mean %lld ms, longest %lld ms\n", positions, stride,
              positions ? total_ms / positions : 0, longest_ms);
  for (int k = 0; k < RANKED_MOVES; ++k)
    std::printf("top %d: %lld hits, %.1f %%\n", k + 1, hits[k], positions ? 100.0 * hits[k] / positions : 0.0);
  return 0;
}
