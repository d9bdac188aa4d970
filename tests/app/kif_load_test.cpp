// Loading KIF files through the menu command: save-then-load, the state a load leaves, refusals before
// reading, files refused with their line and reason while the game stays, and records of any length and
// start; what the reader makes of each kind of line is tests/kif's.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/commands.h"
#include "app/utf8.h"
#include "kif/file_bytes.h"
#include "kif/kif_start.h"
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

TEST_F(KifLoadTest, SaveThenLoadRestoresTheRecord) {
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
    auto original = make_state();
    std::mt19937 rng(seed);
    play_random(*original, rng, 40 + 60 * seed);
    // A variation at move 20 with a comment, too.
    go_to_node(*original, node_at_ply(original->game.record, 0, 20));
    original->game.record.nodes[original->game.cursor].comments.push_back("ここで考えた");
    play_random(*original, rng, 5);
    scripted_ui().save_paths.push_back(temp_path("roundtrip.kif"));
    save_kif(*original, *e);
    load_bytes(read_file(temp_path("roundtrip.kif")));
    GameRecord saved = original->game.record;
    for (const char* key : {"開始日時", "棋戦", "先手", "後手"}) ASSERT_TRUE(header_value(gs->game.record, key)) << key;
    saved.headers = gs->game.record.headers;   // the game's own header is written at the save
    EXPECT_TRUE(same_record(gs->game.record, saved)) << "seed " << seed;
    EXPECT_EQ(variation_count(gs->game.record), 1) << "seed " << seed;
    EXPECT_EQ(fuzz::replays_legally(gs->game.record), "") << "seed " << seed;
  }
}

TEST_F(KifLoadTest, StateAfterALoad) {
  play_usi(*gs, {"2g2f"});
  gs->flags.input_busy = true;
  gs->game.player_side = WHITE;
  gs->game.view_flipped = true;
  gs->input.selection = 2;
  gs->view.show_last_move = 1;
  load_bytes(kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "3 投了"}));
  EXPECT_TRUE(boxes_shown({{u"棋譜ファイルを開けました。", u"成功"}}));
  EXPECT_EQ(shown_moves(*gs), 2);
  EXPECT_EQ(gs->game.cursor, 0);
  EXPECT_TRUE(gs->flags.started);
  EXPECT_TRUE(gs->flags.paused);
  EXPECT_TRUE(player_to_move(*gs));
  EXPECT_FALSE(game_over(*gs));
  EXPECT_FALSE(gs->flags.thinking);
  EXPECT_FALSE(gs->flags.input_busy);
  EXPECT_FALSE(gs->flags.unsaved);
  EXPECT_EQ(gs->game.player_side, BLACK);
  EXPECT_FALSE(gs->game.view_flipped);
  EXPECT_EQ(gs->input.selection, 0);
  EXPECT_EQ(gs->view.show_last_move, 0);
  EXPECT_EQ(utf8(caption_of(0)), "初期化");
  EXPECT_EQ(utf8(caption_of(5)), "■");
  EXPECT_EQ(format_sfen(gs->game.position), format_sfen(startpos()));
  EXPECT_EQ(usi_moves(), "7g7f 3c3d");
  EXPECT_EQ(gs->game.record.nodes[main_line_end(gs->game.record)].end, GAME_END_RESIGNED);
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
      {limit, u"棋譜ファイルのフォーマットが合いません。\n文字コードが CP932 でも UTF-8 でもありません。"},
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

// Files that are no game record at all, and records the reader refuses: one box that names the line and
// what is wrong there, and the game on screen stays as it was.
TEST_F(KifLoadTest, RefusedFilesSayWhyAndKeepTheGame) {
  std::mt19937 rng(5);
  std::string random_bytes(4096, '\0');
  for (char& c : random_bytes) c = static_cast<char>(rng());
  const struct {
    const char* what;
    std::string bytes;
    KifReadStatus status;
    const char16_t* reason;   // the box's second line
  } rows[] = {
      {"a picture", read_file(std::string(HALVANE_SOURCE_DIR) + "/res/icons/halvane-32.png"), KIF_NOT_A_RECORD,
       u"文字コードが CP932 でも UTF-8 でもありません。"},
      {"an empty file", "", KIF_NOT_A_RECORD, u"指し手の始まり（手数----指手----）の行がありません。"},
      {"a text without a moves heading", cp932("開始日時：2024/01/01\n手合割：平手\n   1 ７六歩(77)\n"), KIF_NOT_A_RECORD,
       u"指し手の始まり（手数----指手----）の行がありません。"},
      {"random bytes", random_bytes, KIF_NOT_A_RECORD, nullptr},
      {"UTF-16 text", std::string("\xff\xfe\x4b\x62\x70\x65\x0a\x00", 8), KIF_NOT_A_RECORD, nullptr},
      {"a NUL inside the moves", kif_file({"1 ７六歩(77)"}) + std::string(1, '\0') + "\n", KIF_NOT_A_RECORD, nullptr},
      {"a drop of a piece not in hand", kif_file({"1 ５五角打"}), KIF_BAD_RECORD, u"3行目：1手目 その駒がありません。"},
      {"a line that is no move", kif_file({"1 ７六歩(77)", "おしまい"}), KIF_BAD_RECORD, u"4行目：指し手の行ではありません。"},
      {"an unknown handicap", cp932("手合割：九枚落ち\n手数----指手---------消費時間--\n"), KIF_BAD_RECORD,
       u"1行目：手合割が分かりません。"},
  };
  ASSERT_GT(rows[0].bytes.size(), 100u) << "the picture is missing";
  for (const auto& row : rows) {
    fresh_record({"7g7f", "3c3d", "2g2f"});
    go_to_node(*gs, node_at_ply(gs->game.record, 0, 1));
    gs->flags.started = true;
    const GameRecord before = gs->game.record;
    load_bytes(row.bytes, "not-a-record.kif");
    EXPECT_TRUE(format_error_shown() && scripted_ui().boxes.size() == 1) << row.what;
    EXPECT_EQ(last_kif_load().status, row.status) << row.what << ": " << last_kif_load().message;
    if (row.reason && !scripted_ui().boxes.empty())
      EXPECT_EQ(utf8(scripted_ui().boxes[0].text), utf8(std::u16string(u"棋譜ファイルのフォーマットが合いません。\n") + row.reason))
          << row.what;
    EXPECT_TRUE(same_record(gs->game.record, before)) << row.what;
    EXPECT_EQ(cursor_ply(*gs), 1) << row.what;
    EXPECT_EQ(gs->screen.board[gs_index(2, 5)], PAWN) << row.what;
  }
}

// Records load whole, however long, from any start a file states: a handicap, a board diagram.
TEST_F(KifLoadTest, AnyLengthAndAnyStart) {
  // Kings shuttle back and forth: 3000 moves.
  std::vector<std::string> lines;
  const char* sente[2] = {"５八玉(59)", "５九玉(58)"};
  const char* gote[2] = {"５二玉(51)", "５一玉(52)"};
  for (int n = 1; n <= 3000; ++n) lines.push_back(std::to_string(n) + " " + (n % 2 ? sente : gote)[(n - 1) / 2 % 2]);
  load_bytes(kif_file(lines));
  EXPECT_EQ(shown_moves(*gs), 3000) << last_kif_load().message;
  EXPECT_TRUE(boxes_shown({{u"棋譜ファイルを開けました。", u"成功"}}));
  go_to_node(*gs, gs->game.line_tip);
  EXPECT_EQ(format_sfen(gs->game.position), format_sfen(startpos()).replace(format_sfen(startpos()).rfind(' '), 2, " 3001"));

  // A handicap: gote moves first, and the board shows the handicap's start.
  load_bytes(cp932("手合割：飛車落ち\n手数----指手---------消費時間--\n1 ３四歩(33)\n2 ７六歩(77)\n"));
  ASSERT_EQ(last_kif_load().status, KIF_READ_OK) << last_kif_load().message;
  EXPECT_EQ(handicap_of(gs->game.record.start), handicap_by_name("飛車落ち"));
  EXPECT_EQ(side_to_move(*gs), WHITE);
  EXPECT_EQ(gs->screen.board[gs_index(1, 1)], SQ_EMPTY) << "no rook of gote's";
  EXPECT_EQ(usi_moves(), "3c3d 7g7f");
}

}  // namespace

// The clipboard: a position copied and pasted starts a game from it with the player to move; a record
// copied and pasted loads as its file would; text that is neither is told with its reason and changes
// nothing.
TEST_F(KifLoadTest, ThroughTheClipboard) {
  fresh_record({"7g7f", "3c3d", "2g2f"});
  on_command(*gs, *e, CMD_COPY_POSITION);
  const std::string position = scripted_ui().clipboard;
  on_command(*gs, *e, CMD_COPY_RECORD);
  const std::string record = scripted_ui().clipboard;
  // moves: in the record taken, -1 refused with the reason given.
  const struct { const char* what; std::string text; int moves; const char16_t* reason; } rows[] = {
      {"the position copied", position, 0, nullptr},
      {"the record copied", record, 3, nullptr},
      {"a USI line", "position startpos moves 7g7f 3c3d\n", 2, nullptr},
      {"a handicap's SFEN, gote to move", std::string(HANDICAPS[1].sfen) + "\n", 0, nullptr},
      {"nothing", " \n", -1, u"クリップボードに棋譜や局面の文字列がありません。"},
      {"a sentence", "こんにちは", -1, u"指し手の始まり（手数----指手----）の行がありません。"},
      {"an illegal USI move", "position startpos moves 7g7f 7f7e 3c3d 7e7d 3d3e 7d7c+ 8b7b 7c7b\n", -1, nullptr},
  };
  for (const auto& row : rows) {
    fresh_record({"2g2f"});
    const GameRecord before = gs->game.record;
    scripted_ui().clipboard = row.text;
    on_command(*gs, *e, CMD_PASTE);
    if (row.moves < 0) {
      EXPECT_TRUE(scripted_ui().boxes.size() == 1 && scripted_ui().boxes[0].caption == u"貼り付け") << row.what;
      if (row.reason && !scripted_ui().boxes.empty())
        EXPECT_TRUE(scripted_ui().boxes[0].text.ends_with(row.reason)) << row.what << ": " << utf8(scripted_ui().boxes[0].text);
      EXPECT_TRUE(same_record(gs->game.record, before)) << row.what;
      continue;
    }
    // A position is a game begun here from it, the player to move; a record waits, paused, at its start.
    const std::string sfen = format_sfen(gs->game.position);
    EXPECT_TRUE(row.moves > 0 || row.text.starts_with(sfen.substr(0, sfen.rfind(' ')))) << row.what;
    EXPECT_TRUE(main_line_moves(*gs) == row.moves && gs->flags.started && player_to_move(*gs)) << row.what;
    EXPECT_TRUE(gs->flags.paused == (row.moves > 0) && gs->game.own_game == (row.moves == 0)) << row.what;
  }
}
