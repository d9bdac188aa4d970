// Saving a record as a KIF file through the menu command: the exact bytes, the player-gote orientation,
// the refusals and message boxes, and the header: the game's start date, the players of a game begun
// here, a loaded record's own.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/utf8.h"
#include "kif/file_bytes.h"

#include "app/commands.h"
#include "app/game_end.h"
#include "app/strength_choice.h"
#include "kif_test_util.h"

using namespace halvane;
using namespace halvane::kif_test;
using test_support::reset_scripted_ui;
using test_support::scripted_ui;
using test_support::boxes_shown;
using test_support::utf8;

namespace {

KifDate fixed_date() { return {2024, 3, 9, 7, 5, 2}; }

struct KifSaveTest : KifFixture {
  void SetUp() override {
    KifFixture::SetUp();
    kif_clock = fixed_date;
  }
  void TearDown() override { kif_clock = local_kif_date; }
};

const std::vector<std::string> HEADER_UTF8 = {
    "開始日時：2024/03/09 (07:05:02)", "棋戦：ハルベイン", "手合割：平手", "先手：あなた", "後手：ハルベイン",
    "手数----指手---------消費時間--"};

TEST_F(KifSaveTest, ThreeMoveGameByteForByte) {
  play_usi(*gs, {"7g7f", "3c3d", "8h2b+"});
  std::vector<std::string> lines = HEADER_UTF8;
  for (const char* l : {"1 ７六歩(77)", "2 ３四歩(33)", "3 ２二角成(88)", "4 中断", "まで3手で中断"}) lines.push_back(l);
  std::vector<std::string> cp;
  for (const auto& l : lines) cp.push_back(cp932(l));
  const std::string expected = join(cp, "\r\n", true);

  const std::string file = save_to("three.kif");
  EXPECT_EQ(file, expected);
  EXPECT_TRUE(boxes_shown({{u"棋譜ファイルを保存しました。", u"成功"}}));
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(file.back(), '\n');   // the closing remark ends with its line end
}

// The closing line says how the game ended, and reading the file back brings the end with it (a line
// without an end is read as 中断, as it is written); a move recorded after the end means the game goes on.
TEST_F(KifSaveTest, TheClosingWordTellsHowTheGameEnded) {
  const struct {
    GameEnd end;
    const char* word;
    const char* remark;   // gote, to move after three moves, lost
    GameEnd read_back;
  } rows[] = {
      {GAME_END_NONE, "4 中断", "まで3手で中断", GAME_END_SUSPENDED},
      {GAME_END_RESIGNED, "4 投了", "まで3手で先手の勝ち", GAME_END_RESIGNED},
      {GAME_END_KING_CAPTURED, "4 投了", "まで3手で先手の勝ち", GAME_END_RESIGNED},
      {GAME_END_MATED, "4 詰み", "まで3手で詰み", GAME_END_MATED},
  };
  for (const auto& row : rows) {
    fresh_record({"7g7f", "3c3d", "8h2b+"});
    if (row.end != GAME_END_NONE) end_game(*gs, row.end);
    const std::string file = save_to("end.kif");
    EXPECT_TRUE(file.ends_with("\r\n" + cp932(row.word) + "\r\n" + cp932(row.remark) + "\r\n")) << row.word;
    load_bytes(file);
    EXPECT_EQ(gs->game.record.nodes[gs->game.line_tip].end, row.read_back) << row.word;
    EXPECT_EQ(usi_moves(), "7g7f 3c3d 8h2b+") << row.word;
  }
  go_to_node(*gs, gs->game.line_tip);
  play_usi(*gs, {"3a2b"});
  EXPECT_EQ(gs->game.record.nodes[gs->game.line_tip].end, GAME_END_NONE);
  EXPECT_EQ(gs->game.record.nodes[gs->game.record.nodes[gs->game.line_tip].parent].end, GAME_END_NONE);
}

TEST_F(KifSaveTest, DropsCapturesAndPromotionsAreNamed) {
  // Bishops exchanged, then dropped; a recapture and a silver that does not promote.
  play_usi(*gs, {"7g7f", "3c3d", "8h2b+", "3a2b", "B*5e", "B*3c", "5e1a+", "2b1a"});
  std::vector<std::string> lines;
  for (const auto& l : HEADER_UTF8) lines.push_back(cp932(l));
  for (const char* l : {"1 ７六歩(77)", "2 ３四歩(33)", "3 ２二角成(88)", "4 ２二銀(31)", "5 ５五角打",
                        "6 ３三角打", "7 １一角成(55)", "8 １一銀(22)", "9 中断", "まで8手で中断"})
    lines.push_back(cp932(l));
  EXPECT_EQ(save_to("drops.kif"), join(lines, "\r\n", true));
}

TEST_F(KifSaveTest, PlayerGoteWritesTheSameFileAndKeepsTheRecord) {
  std::mt19937 rng(7);
  play_random(*gs, rng, 60);
  const std::string as_sente = save_to("sente.kif");

  // The same game with the player on the other side.
  gs->game.player_side = WHITE;
  show_position(*gs);
  const GameRecord before = gs->game.record;

  reset_scripted_ui();
  // The same moves; the players' names change places.
  std::string expected = as_sente;
  const std::string names = cp932("先手：あなた\r\n後手：ハルベイン");
  expected.replace(expected.find(names), names.size(), cp932("先手：ハルベイン\r\n後手：あなた"));
  EXPECT_EQ(save_to("gote.kif"), expected);
  EXPECT_TRUE(same_record(gs->game.record, before));
  EXPECT_EQ(gs->game.player_side, WHITE);

  // The level chosen in the window names the computer.
  reset_scripted_ui();
  choose_strength(*gs, STRENGTH_KARAKUCHI);
  expected.replace(expected.find(cp932("先手：ハルベイン")), cp932("先手：ハルベイン").size(), cp932("先手：ハルベイン（辛口）"));
  EXPECT_EQ(save_to("karakuchi.kif"), expected);
}

TEST_F(KifSaveTest, RefusalsAndFailures) {
  // While the computer thinks: a status line, no dialog.
  play_usi(*gs, {"7g7f", "3c3d", "2g2f"});
  gs->flags.thinking = true;
  scripted_ui().save_paths.push_back(temp_path("never.kif"));
  save_kif(*gs, *e);
  EXPECT_EQ(utf8(gs->view.status_text), "コンピュータの思考中は棋譜を保存できません。");
  EXPECT_TRUE(scripted_ui().boxes.empty());
  EXPECT_EQ(scripted_ui().save_paths.size(), 1u);
  EXPECT_GE(scripted_ui().repaint_requests.load(), 1);
  gs->flags.thinking = false;
  scripted_ui().save_paths.clear();

  // Cancelled dialog.
  save_kif(*gs, *e);
  EXPECT_TRUE(boxes_shown({{u"棋譜ファイルを開けませんでした。", u"失敗"}}));

  // A file that cannot be created: the reason, and the path as the caption.
  reset_scripted_ui();
  const std::string bad = temp_path("no-such-dir/game.kif");
  scripted_ui().save_paths.push_back(bad);
  save_kif(*gs, *e);
  EXPECT_TRUE(boxes_shown({{u"棋譜ファイルを保存できませんでした。\n保存先のフォルダがありません。",
                            std::u16string(bad.begin(), bad.end())}}));
}

int failing_error;   // the errno the broken system call answers with

// The system calls of a save with the one of `step` broken. A broken write takes half of what it is given
// until one byte is left, as a disk that fills up does.
FileOps broken(FileStep step) {
  FileOps ops = SYSTEM_FILE_OPS;
  if (step == FILE_STEP_CREATE) ops.open = [](const char*, int, mode_t) { return errno = failing_error, -1; };
  if (step == FILE_STEP_WRITE)
    ops.write = [](int fd, const void* data, size_t n) { return n > 1 ? ::write(fd, data, n / 2) : (errno = failing_error, -1); };
  if (step == FILE_STEP_SYNC) ops.fsync = [](int) { return errno = failing_error, -1; };
  if (step == FILE_STEP_RENAME) ops.rename = [](const char*, const char*) { return errno = failing_error, -1; };
  return ops;
}

// A save that fails at any step leaves the file that was there byte for byte with its permissions, creates
// none where there was none, leaves no temporary file behind and says why.
TEST_F(KifSaveTest, AFailedSaveKeepsTheOldFile) {
  const struct {
    FileStep step;
    int error;
    std::u16string reason;
  } rows[] = {
      {FILE_STEP_CREATE, EACCES, u"書き込み権限がありません。"},
      {FILE_STEP_CREATE, EROFS, u"読み取り専用の場所には書き込めません。"},
      {FILE_STEP_WRITE, ENOSPC, u"ディスクの容量不足です。"},
      {FILE_STEP_WRITE, EDQUOT, u"ディスクの使用量の上限に達したため容量不足です。"},
      {FILE_STEP_SYNC, EIO, u"ディスクの入出力エラーです。"},
      {FILE_STEP_RENAME, EPERM, u"書き込み権限がありません。"},
      {FILE_STEP_RENAME, EXDEV, u"書き込みに失敗しました（" + utf16_from_utf8(std::strerror(EXDEV)) + u"）。"},
  };
  play_usi(*gs, {"7g7f", "3c3d", "2g2f"});
  const std::filesystem::path folder = temp_path("failing");
  const std::string old_bytes = "an old record\r\n", old_file = (folder / "old.kif").string();
  const auto files = [&] { return std::distance(std::filesystem::directory_iterator(folder), {}); };
  for (const auto& row : rows) {
    for (const char* name : {"old.kif", "new.kif"}) {
      std::filesystem::remove_all(folder);
      std::filesystem::create_directories(folder);
      write_file(old_file, old_bytes);
      ::chmod(old_file.c_str(), 0640);
      const std::string path = (folder / name).string(), why = name + (" " + std::to_string(row.error));
      reset_scripted_ui();
      scripted_ui().save_paths.push_back(path);
      failing_error = row.error;
      file_ops = broken(row.step);
      EXPECT_FALSE(save_kif(*gs, *e)) << why;
      file_ops = SYSTEM_FILE_OPS;
      EXPECT_TRUE(boxes_shown({{u"棋譜ファイルを保存できませんでした。\n" + row.reason, utf16_from_utf8(path)}})) << why;
      EXPECT_TRUE(read_file(old_file) == old_bytes && files() == 1) << why << ": the old file alone, as it was";
      EXPECT_EQ(std::filesystem::status(old_file).permissions(), std::filesystem::perms(0640)) << why;
    }
  }
  // A save through a symbolic link replaces the file it names, with its permissions, and the link stays.
  std::filesystem::create_symlink("old.kif", folder / "link.kif");
  scripted_ui().save_paths.push_back((folder / "link.kif").string());
  ASSERT_TRUE(save_kif(*gs, *e));
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.kif") && read_file(old_file) != old_bytes && files() == 2);
  EXPECT_EQ(std::filesystem::status(old_file).permissions(), std::filesystem::perms(0640));
}

TEST_F(KifSaveTest, TooShortRecordsAreNotSaved) {
  for (int moves : {0, 1, 2}) {
    const std::vector<std::string> all = {"7g7f", "3c3d"};
    fresh_record(std::vector<std::string>(all.begin(), all.begin() + moves));
    const int repaints = scripted_ui().repaint_requests;
    scripted_ui().save_paths.push_back(temp_path("short.kif"));
    save_kif(*gs, *e);
    EXPECT_TRUE(boxes_shown({{u"保存する棋譜の手数が足りません。", u"失敗"}}));
    EXPECT_GT(scripted_ui().repaint_requests.load(), repaints) << moves << " moves";
    EXPECT_EQ(scripted_ui().save_paths.size(), 1u) << "no dialog for " << moves << " moves";
  }
}

// 開始日時 is when the game began, not when it was saved; a loaded record keeps its own header (date, event,
// players, comments) when saved again, also after moves played on it; only a game begun here names the
// players あなた and the program.
TEST_F(KifSaveTest, TheHeaderOfAGameAndOfALoadedRecord) {
  test_support::scripted_ui().answers.push_back(ANSWER_YES);
  on_command(*gs, *e, CMD_START);   // begun at the fixed clock
  on_command(*gs, *e, CMD_PAUSE);
  play_usi(*gs, {"7g7f", "3c3d", "2g2f"});
  kif_clock = [] { return KifDate{2025, 12, 31, 23, 59, 59}; };
  EXPECT_EQ(save_to("begun.kif").substr(0, cp932(HEADER_UTF8[0]).size()), cp932(HEADER_UTF8[0]));

  const std::string header = cp932("開始日時：2014/10/16 03:21:41\r\n棋戦：名人戦\r\n手合割：平手\r\n先手：羽生善治\r\n"
                                   "後手：谷川浩司\r\n手数----指手---------消費時間--\r\n*名局\r\n");
  load_bytes(header + cp932("1 ７六歩(77)\r\n2 ３四歩(33)\r\n3 ２六歩(27)\r\n4 中断\r\nまで3手で中断\r\n"));
  ASSERT_EQ(last_kif_load().status, KIF_READ_OK) << last_kif_load().message;
  go_to_node(*gs, gs->game.line_tip);
  play_usi(*gs, {"8c8d"});
  const std::string again = save_to("loaded.kif");
  EXPECT_EQ(again.substr(0, header.size()), header);
  EXPECT_NE(again.find(cp932("4 ８四歩(83)")), std::string::npos);
}

// 不成 is written where the move could promote and did not, as the move list names it.
TEST_F(KifSaveTest, ANonPromotionIsWrittenAsSuch) {
  play_usi(*gs, {"7g7f", "3c3d", "8h2b"});
  EXPECT_NE(save_to("narazu.kif").find(cp932("3 ２二角不成(88)\r\n")), std::string::npos);
}

}  // namespace
