// KIF files written by other shogi programs, read by path from the shared corpus: every file that starts
// from the initial position must give the expected main line move for move and the expected final
// position; handicap and board-diagram files are refused; the malformed files never leave a bad record.
// Every file, and every input the reader's fuzzer was given or found, keeps the property it checks.
#include <gtest/gtest.h>

#include <map>

#include "app/record_check.h"
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
  // Board, side and hands of the last slot, as the first three SFEN fields.
  std::string final_position() {
    SfenPosition pos = slot_position(*gs, gs->record.length);
    pos.move_number = 1;
    return format_sfen(pos);
  }
};

TEST_F(CorpusTest, MainLinesOfRealFiles) {
  std::map<std::string, std::string> mainline;
  for (const auto& row : read_tsv(CORPUS / "mainline_usi.tsv"))
    if (row.size() >= 1 && row[0] != "file") mainline[row[0]] = row.size() > 1 ? row[1] : "";
  int standard = 0, refused = 0;
  for (const auto& row : read_tsv(CORPUS / "manifest.tsv")) {
    if (row.size() < 10 || row[0] == "file") continue;
    const std::string& file = row[0];
    // The reader alone: every file's start, main line and final position, handicaps and diagrams too.
    GameRecord record;
    const KifReadResult read = read_kif(read_file((CORPUS / file).string()), record);
    EXPECT_EQ(read.status, KIF_READ_OK) << file << ": " << read.message;
    const std::vector<int> line = line_from(record, 0);
    std::string moves;
    for (size_t k = 1; k < line.size(); ++k) moves += (k > 1 ? " " : "") + move_to_usi(record.nodes[line[k]].move);
    EXPECT_EQ(moves, mainline[file]) << file;
    EXPECT_EQ(format_sfen(record.start), row[8]) << file;
    SfenPosition last = position_at(record, line.back());
    EXPECT_EQ(format_sfen(last).substr(0, format_sfen(last).rfind(' ')), row[9].substr(0, row[9].rfind(' '))) << file;
    load(file);
    std::string problem;
    EXPECT_TRUE(record_valid(*gs, problem)) << file << ": " << problem;
    if (row[7] == "true") {
      ++standard;
      EXPECT_EQ(last_kif_load().status, KIF_READ_OK) << file << ": " << last_kif_load().message;
      EXPECT_EQ(gs->record.length, std::stoi(row[3])) << file;
      EXPECT_EQ(usi_moves(), mainline[file]) << file;
      const std::string expected_final = row[9].substr(0, row[9].rfind(' '));
      EXPECT_EQ(final_position(), expected_final + " 1") << file;
    } else {
      ++refused;
      EXPECT_EQ(last_kif_load().status, KIF_BAD_RECORD) << file << " starts elsewhere and must be refused";
      EXPECT_EQ(gs->record.length, -1) << file;
    }
  }
  EXPECT_GE(standard, 20);
  EXPECT_GE(refused, 6);
}

TEST_F(CorpusTest, MalformedFilesLeaveAValidRecord) {
  int seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(CORPUS)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("bad-", 0) != 0) continue;
    ++seen;
    load(name);
    std::string problem;
    EXPECT_TRUE(record_valid(*gs, problem)) << name << ": " << problem;
    EXPECT_GE(gs->record.length, -1) << name;
    EXPECT_EQ(0, std::memcmp(gs->record.board, gs->record.initial_board, sizeof gs->record.board)) << name;
  }
  EXPECT_GE(seen, 7);
  // The files built around a wrong move are refused as a whole.
  for (const char* refused : {"bad-doh-first-move.kif", "bad-drop-not-in-hand.kif", "bad-origin-digits.kif",
                              "bad-garbage-bytes.kif"}) {
    load(refused);
    EXPECT_EQ(gs->record.length, -1) << refused;
  }
  // A long comment line is one line, however long.
  load("bad-long-line-20k.kif");
  EXPECT_EQ(usi_moves(), "7g7f 3c3d");
  load("bad-single-line-20k.kif");
  EXPECT_EQ(gs->record.length, 0);
}

}  // namespace
