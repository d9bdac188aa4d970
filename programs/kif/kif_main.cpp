// halvane-kif: "check FILE" loads a KIF record as the game's load command does and prints its moves in
// USI and the final position as SFEN; "write OUT.kif MOVE..." plays USI moves from the initial position
// and saves them as the game's save command does.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/game_state.h"
#include "app/kif_file.h"
#include "app/kif_write.h"
#include "app/record_sfen.h"
#include "think/strength.h"
#include "think/think.h"
#include "engine/sfen.h"
#include "programs/kif/console_ui.h"

using namespace halvane;

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: halvane-kif check FILE\n"
               "       halvane-kif write OUT.kif MOVE...   (USI moves from the initial position)\n");
  return 2;
}

int check(GameState& gs, Engine& e, const char* file) {
  console_set_path(file);
  load_kif(gs, e);
  if (console_failure_seen()) {
    if (last_kif_load().format_error) std::fprintf(stderr, "%s: %s\n", file, last_kif_load().message.c_str());
    return 1;
  }
  const int length = gs.length;
  std::printf("moves %d\nusi", length);
  for (int k = 0; k < length; ++k) {
    MoveRecord move;
    int differences = 0;
    if (slot_move(gs, k, move, differences) != SLOT_MOVE) {
      std::fprintf(stderr, "move %d cannot be told from the record\n", k + 1);
      return 1;
    }
    std::printf(" %s", move_to_usi(move).c_str());
  }
  std::printf("\nsfen %s\n", format_sfen(slot_position(gs, length)).c_str());
  return 0;
}

int write(GameState& gs, Engine& e, const char* out, int count, char** moves) {
  if (count > PLAYER_MOVE_LIMIT) {
    std::fprintf(stderr, "a record holds at most %d moves\n", PLAYER_MOVE_LIMIT);
    return 1;
  }
  SfenPosition pos = startpos();
  for (int i = 0; i < count; ++i) {
    MoveRecord move;
    std::string error;
    if (!parse_usi_move(moves[i], pos, move, error)) {
      std::fprintf(stderr, "move %d (%s): %s\n", i + 1, moves[i], error.c_str());
      return 1;
    }
    apply_move(pos, move);
    record_sfen_position(gs, pos);
  }
  console_set_path(out);
  save_kif(gs, e);
  return console_failure_seen() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  auto gs = std::make_unique<GameState>();
  EngineHandle e = new_engine(STRENGTH_CHUUKARA);
  game_construct(*gs);
  game_reset_for_window(*gs);
  if (argc == 3 && std::strcmp(argv[1], "check") == 0) return check(*gs, *e, argv[2]);
  if (argc >= 3 && std::strcmp(argv[1], "write") == 0) return write(*gs, *e, argv[2], argc - 3, argv + 3);
  return usage();
}
