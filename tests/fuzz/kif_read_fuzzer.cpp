// libFuzzer target for the record readers: any bytes at all must give a refusal or a legal record that
// writes back unchanged in every format (kif_input_check.h). Built with clang only; the inputs it finds are replayed by app_tests.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "fuzz/kif_input_check.h"

using namespace halvane;

namespace {

GameRecord* const first = new GameRecord();
GameRecord* const second = new GameRecord();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string problem =
      fuzz::check_kif_input(*first, *second, std::string_view(reinterpret_cast<const char*>(data), size));
  if (!problem.empty()) {
    std::fprintf(stderr, "record reader property broken: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
