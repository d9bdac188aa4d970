// Every KIF input the reader's fuzzer was given or found, and the shared corpus's files, under
// AddressSanitizer and UndefinedBehaviorSanitizer: read and written back (the fuzzer's property), then
// loaded through the menu command, saved and loaded again into the very same record.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "support/corpus.h"
#include "tests/app/kif_test_util.h"
#include "tests/fuzz/kif_input_check.h"

using namespace halvane;
using namespace halvane::kif_test;

namespace {

using AsanKif = KifFixture;

TEST_F(AsanKif, EveryInputThroughReadWriteLoadAndSave) {
  const std::filesystem::path fuzz_dir = std::filesystem::path(HALVANE_SOURCE_DIR) / "tests" / "fuzz";
  GameRecord read, again;
  int files = 0, loaded = 0;   // every input; those loaded and saved
  for (const auto& dir : {fuzz_dir / "seeds", fuzz_dir / "kif_corpus", test_support::corpus_path("kif")}) {
    if (!std::filesystem::exists(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      const std::string path = entry.path().string();
      EXPECT_EQ(fuzz::check_kif_input(read, again, read_file(path)), "") << path;
      load_path(path);
      ++files;
      if (last_kif_load().status != KIF_READ_OK) continue;
      EXPECT_EQ(fuzz::replays_legally(gs->game.record), "") << path;
      if (main_line_moves(*gs) < KIF_SAVE_MIN_MOVES) continue;   // too short to be saved
      ++loaded;
      const GameRecord first = gs->game.record;
      load_bytes(save_to("again.kifu"));   // UTF-8: every text kept as it was
      EXPECT_TRUE(same_record(gs->game.record, first)) << path;
    }
  }
  EXPECT_GE(files, 50);
  EXPECT_GE(loaded, 5);
}

}  // namespace
