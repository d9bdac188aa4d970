// How long the player waits for the computer's answer, with and without thinking ahead: on positions of
// real games the player (black) thinks PLAYER_MS and then plays the move the game went on with; the
// computer (white) answers at the given level with no time limit. Without thinking ahead the wait is its
// whole think; with it, the think ahead runs during the player's time and the wait is what is left.
//
// usage: ahead_wait LEVEL PLAYER_MS GAME:PLY[,PLY...] ...   (LEVEL chuukara, karakuchi or gekikara; each
// PLY even: black to move; games from the corpus's mainline_usi.tsv)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/sfen.h"
#include "think/strength.h"
#include "think/think_ahead.h"
#include "usi/position_command.h"

using namespace halvane;

namespace {

using Clock = std::chrono::steady_clock;

long long ms_since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The computer's (white's) view of a position: white is GOTE, never rotated.
ThinkRequest white_view(const SfenPosition& pos, int side, int game_ply) {
  SfenPosition white_to_move = pos;
  white_to_move.side_to_move = WHITE;
  const EngineView view = engine_view(white_to_move);
  ThinkRequest r;
  std::memcpy(r.board, view.board, sizeof r.board);
  std::memcpy(r.hand, view.hand, sizeof r.hand);
  r.side = side;
  r.game_ply = game_ply;
  return r;
}

long long median(std::vector<long long> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: ahead_wait LEVEL PLAYER_MS GAME:PLY[,PLY...] ...\n");
    return 2;
  }
  const Strength* level = level_named(argv[1]);
  if (!level) {
    std::fprintf(stderr, "ahead_wait: unknown level %s\n", argv[1]);
    return 2;
  }
  const int player_ms = std::atoi(argv[2]);
  std::map<std::string, std::vector<std::string>> games;
  std::ifstream in(HALVANE_CORPUS_DIR "/kif/mainline_usi.tsv");
  for (std::string line; std::getline(in, line);) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    std::istringstream words(line.substr(tab + 1));
    for (std::string w; words >> w;) games[line.substr(0, tab)].push_back(w);
  }

  EngineHandle scratch = new_engine(*level);
  EngineHandle e = new_engine(*level);
  ThinkAhead ahead;
  const char* engines = std::getenv("AHEAD_ENGINES");   // default: one, as on a two-core machine
  ahead.engine_count = engines ? std::clamp(std::atoi(engines), 1, MAX_AHEAD_ENGINES) : 1;
  for (int i = 0; i < ahead.engine_count; ++i) ahead.engines[i] = new_engine(*level);
  std::vector<long long> without, with;
  int taken = 0;
  std::printf("%-36s %4s %10s %10s %s\n", "game", "ply", "without ms", "with ms", "think ahead");
  for (int arg = 3; arg < argc; ++arg) {
    const std::string spec = argv[arg];
    const size_t colon = spec.find(':');
    const std::string name = spec.substr(0, colon);
    const std::vector<std::string>& moves = games[name];
    std::istringstream plies(spec.substr(colon + 1));
    for (std::string ply_text; std::getline(plies, ply_text, ',');) {
      const size_t ply = std::strtoul(ply_text.c_str(), nullptr, 10);
      if (ply % 2 != 0 || ply >= moves.size()) {
        std::fprintf(stderr, "ahead_wait: no black move at ply %zu of %s\n", ply, name.c_str());
        return 2;
      }
      std::string text = "startpos moves", error;
      for (size_t i = 0; i < ply; ++i) text += " " + moves[i];
      GamePosition before, after;
      if (!parse_position_command(*scratch, text, before, error) ||
          !parse_position_command(*scratch, text + " " + moves[ply], after, error)) {
        std::fprintf(stderr, "ahead_wait: %s: %s\n", name.c_str(), error.c_str());
        return 2;
      }
      const ThinkRequest now = white_view(before.pos, SENTE, before.game_ply);
      const ThinkRequest answer = white_view(after.pos, GOTE, after.game_ply);

      auto start = Clock::now();
      think(*e, answer);
      without.push_back(ms_since(start));

      think_ahead_start(ahead, now);
      std::this_thread::sleep_for(std::chrono::milliseconds(player_ms));
      int rank = -1, finished = 0;
      bool done = false;
      {
        std::lock_guard<std::mutex> lock(ahead.mutex);
        for (int i = 0; i < ahead.guessed; ++i)
          if (same_think(ahead.requests[i], answer)) rank = i;
        finished = ahead.finished;
        done = rank >= 0 && ahead.complete[rank];
      }
      start = Clock::now();
      ThinkResult result;
      const bool hit = think_ahead_take(ahead, answer, result, nullptr, nullptr);
      if (!hit) think(*e, answer);
      with.push_back(ms_since(start));
      taken += hit;
      std::printf("%-36s %4zu %10lld %10lld %s\n", name.c_str(), ply, without.back(), with.back(),
                  hit ? ("taken: reply " + std::to_string(rank + 1) + (done ? ", done" : ", running")).c_str()
                      : ("missed (" + std::to_string(finished) + " replies done)").c_str());
      std::fflush(stdout);
    }
  }
  std::printf("%zu positions at %s, player %d ms: median wait without %lld ms, with %lld ms; %d taken\n",
              without.size(), level->name, player_ms, median(without), median(with), taken);
  return 0;
}
