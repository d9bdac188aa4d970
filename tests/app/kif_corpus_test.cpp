// KIF files written by other shogi programs, read by path from the shared corpus: every file, whatever its
// start (handicaps and board diagrams too), loads through the menu with the expected main line move for
// move and the expected final position, and saved and loaded again it is the same record, every line,
// comment and header kept; a malformed file the reader refuses leaves the game as it was. Every file,
// and every input the reader's fuzzer was given or found, keeps the property it checks.
#include <gtest/gtest.h>

#include <map>

#include "fuzz/kif_input_check.h"
#include "kif_test_util.h"
#include "support/corpus.h"

using namespace halvane;
using namespace halvane::kif_test;

namespace {

const std::filesystem::path CORPUS = test_support::corpus_path("kif");

// The fuzzer's property on one file's bytes: "" when it holds, else what went wrong.
std::string fuzz_problem(const std::filesystem::path& path) {
  GameRecord read, again;
  return fuzz::check_kif_input(read, again, read_file(path.string()));
}

TEST(KifFuzzRegression, SeedsAndFoundInputsKeepTheRecordValid) {
  const std::filesystem::path fuzz_dir = std::filesystem::path(HALVANE_SOURCE_DIR) / "tests" / "fuzz";
  for (const auto& [dir, least] : {std::pair{"seeds", 5}, std::pair{"kif_corpus", 10}}) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(fuzz_dir / dir)) {
      EXPECT_EQ(fuzz_problem(entry.path()), "") << entry.path();
      ++files;
    }
    EXPECT_GE(files, least) << dir;
  }
}

std::vector<std::vector<std::string>> read_tsv(const std::filesystem::path& path) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(read_file(path.string()));
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream split(line);
    while (std::getline(split, field, '\t')) fields.push_back(field);
    rows.push_back(fields);
  }
  return rows;
}

struct CorpusTest : KifFixture {
  void SetUp() override {
    HALVANE_SKIP_WITHOUT_CORPUS(CORPUS / "manifest.tsv");
  }
  // Loads the file through the menu command, after checking the fuzzer's property on its bytes.
  void load(const std::string& file) {
    EXPECT_EQ(fuzz_problem(CORPUS / file), "") << file;
    load_path((CORPUS / file).string());
  }
  // Board, side and hands at the end of the line shown, as the first three SFEN fields.
  std::string final_position() {
    SfenPosition pos = position_at(gs->game.record, gs->game.line_tip);
    pos.move_number = 1;
    return format_sfen(pos);
  }
  // Saved through the menu and loaded again: the same record as loaded.
  ::testing::AssertionResult saves_and_loads_again(const std::string& file) {
    const GameRecord loaded = gs->game.record;
    // The menu saves three moves or more; a shorter record is written as the menu's writer would.
    const std::string bytes = main_line_moves(*gs) < KIF_SAVE_MIN_MOVES ? kif_bytes(loaded) : save_to("again-" + file);
    if (bytes.empty()) return ::testing::AssertionFailure() << "not saved";
    load_bytes(bytes, "again-" + file);
    if (last_kif_load().status != KIF_READ_OK) return ::testing::AssertionFailure() << last_kif_load().message;
    return same_record(gs->game.record, loaded);
  }
};

TEST_F(CorpusTest, MainLinesOfRealFiles) {
  std::map<std::string, std::string> mainline;
  for (const auto& row : read_tsv(CORPUS / "mainline_usi.tsv"))
    if (row.size() >= 1 && row[0] != "file") mainline[row[0]] = row.size() > 1 ? row[1] : "";
  int files = 0, other_starts = 0;
  for (const auto& row : read_tsv(CORPUS / "manifest.tsv")) {
    if (row.size() < 10 || row[0] == "file") continue;
    const std::string& file = row[0];
    ++files;
    other_starts += row[7] != "true";
    load(file);
    ASSERT_EQ(last_kif_load().status, KIF_READ_OK) << file << ": " << last_kif_load().message;
    EXPECT_EQ(format_sfen(gs->game.record.start), row[8]) << file;
    EXPECT_EQ(shown_moves(*gs), std::stoi(row[3])) << file;
    EXPECT_EQ(usi_moves(), mainline[file]) << file;
    EXPECT_EQ(final_position(), row[9].substr(0, row[9].rfind(' ')) + " 1") << file;
    EXPECT_EQ(variation_count(gs->game.record) > 0, row[5] == "true") << file;
    EXPECT_TRUE(saves_and_loads_again(file)) << file;
    // A finished record is no position to play on at its end (an adjourned one is); a foul keeps its end.
    go_to_node(*gs, gs->game.line_tip);
    EXPECT_EQ(game_over(*gs), row[4] != "中断" && row[4] != "封じ手" && row[4] != "(none)") << file;
    if (row[4] == "反則勝ち") EXPECT_EQ(end_here(*gs), GAME_END_FOUL_WIN) << file;
  }
  EXPECT_GE(files, 26);
  EXPECT_GE(other_starts, 6);
}

// A malformed file the reader takes loads as any other; one it refuses leaves the game as it was.
TEST_F(CorpusTest, MalformedFilesLoadWholeOrLeaveTheGame) {
  int seen = 0, refused_seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(CORPUS)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("bad-", 0) != 0) continue;
    ++seen;
    fresh_record({"2g2f"});
    const GameRecord before = gs->game.record;
    load(name);
    if (last_kif_load().status == KIF_READ_OK) {
      EXPECT_EQ(fuzz::replays_legally(gs->game.record), "") << name;
      EXPECT_TRUE(saves_and_loads_again(name)) << name;
    } else {
      ++refused_seen;
      EXPECT_TRUE(same_record(gs->game.record, before)) << name;
      EXPECT_TRUE(format_error_shown()) << name;
    }
  }
  EXPECT_GE(seen, 7);
  EXPECT_GE(refused_seen, 4);
  // A long comment line is one line, however long.
  load("bad-long-line-20k.kif");
  EXPECT_EQ(usi_moves(), "7g7f 3c3d");
  load("bad-single-line-20k.kif");
  EXPECT_EQ(shown_moves(*gs), 0);
}

}  // namespace
