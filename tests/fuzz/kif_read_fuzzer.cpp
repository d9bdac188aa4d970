// libFuzzer target for the KIF reader: any bytes at all must give a refusal or a valid record that writes
// back unchanged (kif_input_check.h). Built with clang only; the inputs it finds are replayed by app_tests.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "fuzz/kif_input_check.h"

using namespace halvane;

namespace {

GameState* fresh_state() {
  auto* gs = new GameState();
  game_construct(*gs);
  game_reset_for_window(*gs);
  return gs;
}

GameState* const state = fresh_state();
GameRecord* const first = new GameRecord();
GameRecord* const second = new GameRecord();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string problem =
      fuzz::check_kif_input(*state, *first, *second, std::string_view(reinterpret_cast<const char*>(data), size));
  if (!problem.empty()) {
    std::fprintf(stderr, "KIF reader property broken: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
