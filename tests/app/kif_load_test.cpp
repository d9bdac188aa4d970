// Loading KIF files through the menu command: save-then-load, the state a load leaves, refusals before
// reading, non-records and refused records, and the move cap; what the reader makes of each kind of line
// is tests/kif's.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/record_check.h"
#include "app/utf8.h"
#include "kif/file_bytes.h"
#include "kif_test_util.h"

using namespace halvane;
using namespace halvane::kif_test;
using test_support::caption_of;
using test_support::reset_scripted_ui;
using test_support::scripted_ui;
using test_support::boxes_shown;
using test_support::utf8;

namespace {

using KifLoadTest = KifFixture;

TEST_F(KifLoadTest, SaveThenLoadRestoresEverySlotAndHand) {
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
    auto original = make_state();
    std::mt19937 rng(seed);
    play_random(*original, rng, 40 + 60 * seed);
    scripted_ui().save_paths.push_back(temp_path("roundtrip.kif"));
    save_kif(*original, *e);
    load_bytes(read_file(temp_path("roundtrip.kif")));
    EXPECT_TRUE(same_record(*gs, *original)) << "seed " << seed;
    std::string problem;
    EXPECT_TRUE(record_valid(*gs, problem)) << problem;
  }
}

TEST_F(KifLoadTest, PlayerGoteGameLoadsAsTheSameGameFromSente) {
  auto original = make_state();
  std::mt19937 rng(11);
  play_random(*original, rng, 50);
  rotate_record(original->record);   // the player now gote; the record seen from that side
  scripted_ui().save_paths.push_back(temp_path("gote.kif"));
  save_kif(*original, *e);
  load_bytes(read_file(temp_path("gote.kif")));
  rotate_record(original->record);   // back to the player as sente: what a load must show
  EXPECT_TRUE(same_record(*gs, *original));
}

TEST_F(KifLoadTest, StateAfterALoad) {
  gs->flags.thinking = false;
  gs->flags.game_over = true;
  gs->flags.input_busy = true;
  gs->record.player_is_gote = 1;
  gs->flags.player_to_move = false;
  gs->input.selection = 2;
  gs->view.show_last_move = 1;
  gs->view.refresh_count = 7;
  gs->record.current = 5;
  load_bytes(kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "3 投了"}));
  EXPECT_TRUE(boxes_shown({{u"棋譜ファイルを開けました。", u"成功"}}));
  EXPECT_EQ(gs->record.length, 2);
  EXPECT_EQ(gs->record.current, 0);
  EXPECT_TRUE(gs->flags.started);
  EXPECT_TRUE(gs->flags.paused);
  EXPECT_TRUE(gs->flags.player_to_move);
  EXPECT_FALSE(gs->flags.game_over);
  EXPECT_FALSE(gs->flags.thinking);
  EXPECT_FALSE(gs->flags.input_busy);
  EXPECT_EQ(gs->record.player_is_gote, 0);
  EXPECT_EQ(gs->input.selection, 0);
  EXPECT_EQ(gs->view.show_last_move, 0);
  EXPECT_EQ(gs->view.refresh_count, 0);
  EXPECT_EQ(utf8(caption_of(0)), "初期化");
  EXPECT_EQ(utf8(caption_of(5)), "■");
  EXPECT_EQ(0, std::memcmp(gs->record.board, gs->record.initial_board, sizeof gs->record.board));
  EXPECT_EQ(usi_moves(), "7g7f 3c3d");
}

TEST_F(KifLoadTest, RefusalsBeforeReading) {
  // While the computer thinks: a status line, the dialog is not even opened.
  gs->flags.thinking = true;
  scripted_ui().open_paths.push_back(temp_path("never.kif"));
  load_kif(*gs, *e);
  EXPECT_EQ(utf8(gs->view.status_text), "コンピュータの思考中は棋譜を読み込めません。");
  EXPECT_EQ(scripted_ui().open_paths.size(), 1u);
  EXPECT_TRUE(scripted_ui().boxes.empty());
  gs->flags.thinking = false;

  reset_scripted_ui();
  load_kif(*gs, *e);
  EXPECT_TRUE(boxes_shown({{u"棋譜ファイルを開きませんでした。", u"失敗"}}));

  // Files that cannot be read, refused kinds of file (a FIFO would hold the window until someone wrote to
  // it, a device would never end) and files over the limit: the reason under the message, the path as the
  // caption, and nothing changed. A file of exactly the limit is read (and is no record).
  const std::string fifo = temp_path("fifo.kif"), over = temp_path("over.kif"), limit = temp_path("limit.kif");
  std::filesystem::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  write_file(over, ""), write_file(limit, "");   // sparse: no disk space taken
  std::filesystem::resize_file(over, FILE_BYTE_LIMIT + 1), std::filesystem::resize_file(limit, FILE_BYTE_LIMIT);
  const struct {
    std::string path;
    std::u16string text;
  } rows[] = {
      {temp_path("missing/none.kif"), u"棋譜ファイルを開けませんでした。\nファイルが見つかりません。"},
      {std::filesystem::path(fifo).parent_path().string(), u"棋譜ファイルを開けませんでした。\n通常のファイルではありません。"},
      {fifo, u"棋譜ファイルを開けませんでした。\n通常のファイルではありません。"},
      {"/dev/zero", u"棋譜ファイルを開けませんでした。\n通常のファイルではありません。"},
      {"/dev/urandom", u"棋譜ファイルを開けませんでした。\n通常のファイルではありません。"},
      {over, u"棋譜ファイルを開けませんでした。\nファイルが大きすぎます（上限は 16 MiB です）。"},
      {limit, u"棋譜ファイルのフォーマットが合いません。\nnot text in CP932 or UTF-8"},
  };
  for (const auto& row : rows) {
    reset_scripted_ui();
    scripted_ui().open_paths.push_back(row.path);
    load_kif(*gs, *e);
    const std::u16string caption = row.path == limit ? u"棋譜読み込みエラー" : utf16_from_utf8(row.path);
    EXPECT_TRUE(boxes_shown({{row.text, caption}})) << row.path;
    EXPECT_FALSE(gs->flags.started) << row.path;
  }
}

// Files that are no game record at all: one format error box, and the game on screen stays as it was.
TEST_F(KifLoadTest, NonRecordsAreRefusedAndTheGameKept) {
  std::mt19937 rng(5);
  std::string random_bytes(4096, '\0');
  for (char& c : random_bytes) c = static_cast<char>(rng());
  const struct {
    const char* what;
    std::string bytes;
  } rows[] = {
      {"a picture", read_file(std::string(HALVANE_SOURCE_DIR) + "/res/icons/halvane-32.png")},
      {"an empty file", ""},
      {"a text without a moves heading", cp932("開始日時：2024/01/01\n手合割：平手\n   1 ７六歩(77)\n")},
      {"random bytes", random_bytes},
      {"UTF-16 text", std::string("\xff\xfe\x4b\x62\x70\x65\x0a\x00", 8)},
      {"a NUL inside the moves", kif_file({"1 ７六歩(77)"}) + std::string(1, '\0') + "\n"},
  };
  ASSERT_GT(rows[0].bytes.size(), 100u) << "the picture is missing";
  for (const auto& row : rows) {
    fresh_record({"7g7f", "3c3d", "2g2f"});
    gs->record.current = 1;
    show_slot(gs->record, 1);
    gs->flags.started = true;
    end_game(*gs, GAME_END_RESIGNED);
    auto before = make_state();
    std::memcpy(before->record.record_boards, gs->record.record_boards, sizeof gs->record.record_boards);
    std::memcpy(before->record.record_hands, gs->record.record_hands, sizeof gs->record.record_hands);
    before->record.length = gs->record.length;
    load_bytes(row.bytes, "not-a-record.kif");
    EXPECT_TRUE(format_error_shown() && scripted_ui().boxes.size() == 1) << row.what;
    EXPECT_EQ(last_kif_load().status, KIF_NOT_A_RECORD) << row.what;
    EXPECT_TRUE(same_record(*gs, *before)) << row.what;
    EXPECT_EQ(gs->record.current, 1) << row.what;
    EXPECT_EQ(0, std::memcmp(gs->record.board, gs->record.record_boards[1], sizeof gs->record.board)) << row.what;
    EXPECT_TRUE(gs->flags.game_over) << row.what;
    EXPECT_EQ(gs->flags.end_reason, GAME_END_RESIGNED) << row.what;
  }
}

TEST_F(KifLoadTest, AtMost498MovesAreRead) {
  // Kings shuttle back and forth: 600 moves.
  std::vector<std::string> lines;
  const char* sente[2] = {"５八玉(59)", "５九玉(58)"};
  const char* gote[2] = {"５二玉(51)", "５一玉(52)"};
  for (int n = 1; n <= 600; ++n) lines.push_back(std::to_string(n) + " " + (n % 2 ? sente : gote)[(n - 1) / 2 % 2]);
  load_bytes(kif_file(lines));
  EXPECT_EQ(gs->record.length, 498) << last_kif_load().message;
  EXPECT_FALSE(format_error_shown());
  std::string problem;
  EXPECT_TRUE(record_valid(*gs, problem)) << problem;
  // After 248 moves each both kings are home again; after 249 each, one step out.
  EXPECT_EQ(0, std::memcmp(gs->record.record_boards[496], gs->record.initial_board, sizeof gs->record.board));
  EXPECT_EQ(0, std::memcmp(gs->record.record_boards[498], gs->record.record_boards[2], sizeof gs->record.board));
}

// A file the reader refuses (an impossible position, or a line that is no move; every such line is the
// reader's test): one format error box, and an empty record that is still valid.
TEST_F(KifLoadTest, BadLinesAreFormatErrors) {
  for (const std::vector<std::string>& moves : {std::vector<std::string>{"1 ５五角打"}, {"1 ７六歩(77)", "おしまい"}}) {
    play_usi(*gs, {"2g2f"});   // something to lose
    load_bytes(kif_file(moves));
    EXPECT_TRUE(format_error_shown()) << moves[0];
    EXPECT_EQ(scripted_ui().boxes.size(), 1u) << moves[0] << ": the error alone, no success before it";
    EXPECT_TRUE(gs->record.length == -1 && last_kif_load().status == KIF_BAD_RECORD && gs->flags.paused) << moves[0];
    EXPECT_EQ(0, std::memcmp(gs->record.board, gs->record.initial_board, sizeof gs->record.board)) << moves[0];
    EXPECT_EQ(0, std::memcmp(gs->record.record_boards[0], gs->record.initial_board, sizeof gs->record.board)) << moves[0];
    std::string problem;
    EXPECT_TRUE(record_valid(*gs, problem)) << moves[0] << ": " << problem;
  }
}

}  // namespace
