// halvane-gekikara: the window program at the strongest strength (激辛). It owns the game and the engine and
// hands them to the common window run.
#include "app/game_state.h"
#include "engine/engine.h"
#include "engine/strength.h"
#include "platform/window_program.h"

namespace {
halvane::GameState g_game;
halvane::Engine g_engine;
}  // namespace

int main(int argc, char** argv) {
  halvane::game_construct(g_game);
  halvane::engine_init(g_engine, halvane::STRENGTH_GEKIKARA);
  halvane::run_window_program(argc, argv, g_game, g_engine, halvane::STRENGTH_GEKIKARA);
}
