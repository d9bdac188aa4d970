// The entry point of the window programs, compiled once for each strength level: HALVANE_STRENGTH names the
// program's own row of the strength table (STRENGTH_CHUUKARA, for instance). It owns the game and
// the engine, hands its strength to the engine's initialisation and both to the common window run.
#include "app/game_state.h"
#include "platform/window_program.h"
#include "think/strength.h"
#include "think/think.h"

#ifndef HALVANE_STRENGTH
#error "each window program is built with HALVANE_STRENGTH set to its strength"
#endif

namespace {
halvane::GameState g_game;
}  // namespace

int main(int argc, char** argv) {
  halvane::game_construct(g_game);
  // Made once at start and kept for the whole run; the program ends with the process.
  static halvane::EngineHandle engine = halvane::new_engine(halvane::HALVANE_STRENGTH);
  halvane::run_window_program(argc, argv, g_game, *engine, halvane::HALVANE_STRENGTH);
}
