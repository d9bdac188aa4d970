// Replays the KIF reader fuzzer's inputs (the hand-made seeds and the minimised corpus it found) and the
// real files of the shared corpus through the same property the fuzzer checks.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/kif_input_check.h"
#include "kif_test_util.h"
#include "support/corpus.h"

using namespace halvane;
using namespace halvane::kif_test;

namespace {

int replay_directory(const std::filesystem::path& dir) {
  auto gs = make_state();
  auto read = std::make_unique<GameRecord>();
  auto again = std::make_unique<GameRecord>();
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".md" || entry.path().extension() == ".tsv") continue;
    ++files;
    const std::string problem = fuzz::check_kif_input(*gs, *read, *again, read_file(entry.path().string()));
    EXPECT_EQ(problem, "") << entry.path();
  }
  return files;
}

TEST(KifFuzzRegression, SeedsAndFoundInputsKeepTheRecordValid) {
  const std::filesystem::path fuzz_dir = std::filesystem::path(HALVANE_SOURCE_DIR) / "tests" / "fuzz";
  EXPECT_GE(replay_directory(fuzz_dir / "seeds"), 5);
  EXPECT_GE(replay_directory(fuzz_dir / "kif_corpus"), 10);
}

TEST(KifFuzzRegression, RealFilesKeepTheRecordValid) {
  const std::filesystem::path corpus = test_support::corpus_path("kif");
  HALVANE_SKIP_WITHOUT_CORPUS(corpus);
  EXPECT_GE(replay_directory(corpus), 30);
}

}  // namespace
