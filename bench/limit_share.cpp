// How often a level's own think completes within a time limit on real positions: the computer (white)
// thinks under the limit on positions of the corpus games, and a think counts as complete when the
// limit did not cut it short of the level's full depth (then its move is exactly the unlimited one).
//
// usage: [HALVANE_CORPUS=DIR] limit_share LEVEL LIMIT_MS COUNT   (LEVEL chuukara, karakuchi or gekikara; COUNT positions, two
// from each game, at a quarter and at three fifths of its length, white to move)
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
#include "think/strength.h"
#include "think/think.h"
#include "usi/position_command.h"

using namespace halvane;

namespace {

using Clock = std::chrono::steady_clock;

struct Game {
  std::string name;
  std::vector<std::string> moves;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: limit_share LEVEL LIMIT_MS COUNT\n");
    return 2;
  }
  const Strength* level = level_named(argv[1]);
  if (!level) {
    std::fprintf(stderr, "limit_share: unknown level %s\n", argv[1]);
    return 2;
  }
  const int limit_ms = std::atoi(argv[2]);
  const int wanted = std::atoi(argv[3]);

  std::vector<Game> games;
  // The corpus beside the project, or where HALVANE_CORPUS says (a worktree lies one folder deeper).
  const char* corpus = std::getenv("HALVANE_CORPUS");
  std::ifstream in(std::string(corpus ? corpus : HALVANE_CORPUS_DIR) + "/kif/mainline_usi.tsv");
  if (!in) {
    std::fprintf(stderr, "limit_share: no kif/mainline_usi.tsv in the corpus\n");
    return 2;
  }
  for (std::string line; std::getline(in, line);) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || line.compare(0, tab, "file") == 0) continue;
    Game g{line.substr(0, tab), {}};
    std::istringstream words(line.substr(tab + 1));
    for (std::string w; words >> w;) g.moves.push_back(w);
    if (g.moves.size() >= 20) games.push_back(g);
  }
  // Positions with white to move (an odd number of moves played): first one from each game, then a second.
  std::vector<std::pair<const Game*, size_t>> positions;
  for (int round = 0; round < 2; ++round)
    for (const Game& g : games) {
      size_t ply = round == 0 ? g.moves.size() * 3 / 5 : g.moves.size() / 4;
      ply |= 1;
      if (ply < g.moves.size()) positions.push_back({&g, ply});
    }

  EngineHandle scratch = new_engine(*level);
  EngineHandle e = new_engine(*level);
  int complete = 0;
  std::vector<long long> times;
  std::printf("%-36s %4s %8s %s\n", "game", "ply", "ms", "think");
  for (const auto& [game, ply] : positions) {
    if (static_cast<int>(times.size()) >= wanted) break;
    std::string text = "startpos moves", error;
    for (size_t i = 0; i < ply; ++i) text += " " + game->moves[i];
    GamePosition at;
    if (!parse_position_command(*scratch, text, at, error)) {
      // A handicap game does not start from the initial position: left out.
      std::printf("%-36s %4zu left out: %s\n", game->name.c_str(), ply, error.c_str());
      continue;
    }
    const EngineView view = engine_view(at.pos);
    ThinkRequest r;
    std::memcpy(r.board, view.board, sizeof r.board);
    std::memcpy(r.hand, view.hand, sizeof r.hand);
    r.side = GOTE;
    r.game_ply = at.game_ply;
    r.limit_ms = limit_ms;
    const auto start = Clock::now();
    const ThinkResult result = think(*e, r);
    const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    times.push_back(ms);
    const bool whole = !result.limited && !(result.stopped && result.completed == 0);
    complete += whole;
    std::printf("%-36s %4zu %8lld %s (depth %d, %d complete)\n", game->name.c_str(), ply, ms,
                whole ? "complete" : "cut by the limit", result.depth_limit, result.completed);
    std::fflush(stdout);
  }
  std::sort(times.begin(), times.end());
  std::printf("%s, limit %d ms: %d of %zu thinks complete; median %lld ms, longest %lld ms\n", level->name, limit_ms,
              complete, times.size(), times.empty() ? 0 : times[times.size() / 2], times.empty() ? 0 : times.back());
  return 0;
}
