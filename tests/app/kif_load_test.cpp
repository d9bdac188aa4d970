// Loading KIF files through the menu command: save-then-load, the state a load leaves, line ends and
// encodings, 同 moves, clock fields, the move cap, end words, and every kind of line that is refused.
#include <gtest/gtest.h>

#include "app/record_check.h"
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
  turn_record(original->record);   // the player now gote; the record seen from that side
  scripted_ui().save_paths.push_back(temp_path("gote.kif"));
  save_kif(*original, *e);
  load_bytes(read_file(temp_path("gote.kif")));
  turn_record(original->record);   // back to the player as sente: what a load must show
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

  reset_scripted_ui();
  const std::string missing = temp_path("missing/none.kif");
  scripted_ui().open_paths.push_back(missing);
  load_kif(*gs, *e);
  EXPECT_TRUE(boxes_shown({{u"棋譜ファイルを開けませんでした。", std::u16string(missing.begin(), missing.end())}}));
  EXPECT_FALSE(gs->flags.started);   // nothing changed

  // Opened but unreadable (a directory): reported, never taken for an empty record.
  reset_scripted_ui();
  const std::string directory = std::filesystem::path(temp_path("x")).parent_path().string();
  scripted_ui().open_paths.push_back(directory);
  load_kif(*gs, *e);
  EXPECT_TRUE(boxes_shown({{u"棋譜ファイルを開けませんでした。", std::u16string(directory.begin(), directory.end())}}));
  EXPECT_FALSE(gs->flags.started);
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
    EXPECT_TRUE(boxes_shown({{u"棋譜ファイルのフォーマットが合いません。", u"棋譜読み込みエラー"}})) << row.what;
    EXPECT_EQ(last_kif_load().status, KIF_NOT_A_RECORD) << row.what;
    EXPECT_TRUE(same_record(*gs, *before)) << row.what;
    EXPECT_EQ(gs->record.current, 1) << row.what;
    EXPECT_EQ(0, std::memcmp(gs->record.board, gs->record.record_boards[1], sizeof gs->record.board)) << row.what;
    EXPECT_TRUE(gs->flags.game_over) << row.what;
    EXPECT_EQ(gs->flags.end_reason, GAME_END_RESIGNED) << row.what;
  }
}

TEST_F(KifLoadTest, LineEndsAreAllTheSame) {
  const std::vector<std::string> moves = {"   1 ７六歩(77)   ( 0:01/00:00:01)", "   2 ３四歩(33)   ( 0:02/00:00:02)",
                                          "   3 ２二角成(88) ( 0:01/00:00:02)", "   4 同　銀(31)   ( 0:03/00:00:05)"};
  for (const std::string end : {"\n", "\r\n"}) {
    load_bytes(kif_file(moves, end));
    EXPECT_EQ(usi_moves(), "7g7f 3c3d 8h2b+ 3a2b") << "line end " << (end.size() == 2 ? "CR LF" : "LF");
    std::string no_final = kif_file(moves, end);
    no_final.resize(no_final.size() - end.size());
    load_bytes(no_final);
    EXPECT_EQ(usi_moves(), "7g7f 3c3d 8h2b+ 3a2b") << "no final line end";
  }
}

TEST_F(KifLoadTest, SameSquareAndClockFields) {
  // Move 12 "同　歩(23)" takes on the destination of move 11; clock fields with parentheses of their own.
  load_bytes(kif_file({"1 ２六歩(27)   ( 0:01/00:00:01)", "2 ８四歩(83)   ( 0:01/00:00:01)",
                       "3 ２五歩(26)   ( 0:01/00:00:02)", "4 ８五歩(84)   ( 0:00/00:00:01)",
                       "5 ７八金(69)   (00:00 / 00:00:00)", "6 ３二金(41)", "7 ２四歩(25)   ( 0:01/00:00:04)+",
                       "8 同　歩(23)   ( 0:00/00:00:02)", "9 同　飛(28)   ( 0:01/00:00:05)",
                       "10 ２三歩打    ( 0:05/00:00:07)", "11 中断 ( 0:01/00:00:06)"}),
             "same.kif");
  EXPECT_EQ(usi_moves(), "2g2f 8c8d 2f2e 8d8e 6i7h 4a3b 2e2d 2c2d 2h2d P*2c");

  load_bytes(kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "3 ２二角成(88)", "4 同　銀(31)", "5 ５五角打",
                       "6 ７七角打", "7 同　桂(89)", "8 同　銀(22)", "9 投了"}));
  EXPECT_EQ(usi_moves(), "7g7f 3c3d 8h2b+ 3a2b B*5e B*7g 8i7g 2b7g");
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

TEST_F(KifLoadTest, EndWordsAndVariationsEndTheMainLine) {
  const std::vector<std::string> words = {"投了", "中断", "詰み", "千日手", "持将棋", "切れ負け", "反則勝ち",
                                          "反則負け", "入玉勝ち", "不戦勝", "不戦敗", "封じ手", "不詰"};
  for (const auto& word : words) {
    load_bytes(kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "3 " + word + "   ( 0:01/00:00:01)", "4 ２六歩(27)"}));
    EXPECT_EQ(gs->record.length, 2) << word;
    EXPECT_FALSE(format_error_shown()) << word;
  }
  // A variation after a main line without an end word; the variation's moves are not played.
  load_bytes(kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "", "変化：2手", "2 ８四歩(83)", "3 ２六歩(27)"}));
  EXPECT_EQ(usi_moves(), "7g7f 3c3d");
  // The summary line "まで…" after the last move.
  load_bytes(kif_file({"1 ７六歩(77)", "2 ３四歩(33)", "まで2手で中断"}));
  EXPECT_EQ(usi_moves(), "7g7f 3c3d");
  EXPECT_FALSE(format_error_shown());
}

TEST_F(KifLoadTest, CommentsBookmarksAndBlankLinesAreSkipped) {
  load_bytes(kif_file({"*開始局面のコメント", "&栞", "   1 ７六歩(77)", "", "   ", "#注釈", "**評価値 120",
                       "   2 ３四歩(33)", "\t", "   3 投了"}));
  EXPECT_EQ(usi_moves(), "7g7f 3c3d");
  EXPECT_FALSE(format_error_shown());
}

TEST_F(KifLoadTest, Utf8FilesAreDecidedByTheirBytes) {
  const std::string utf8_text =
      "#KIF version=2.0 encoding=UTF-8\n手合割：平手　　\n手数----指手---------消費時間--\n"
      "1 ７六歩(77) ( 0:01/00:00:01)\n2 ３四歩(33)\n3 ２二角成(88)\n4 同　銀(31)\n5 ４五角打\n6 投了\n";
  const std::string expected = "7g7f 3c3d 8h2b+ 3a2b B*4e";
  load_bytes(utf8_text, "plain.kifu");
  EXPECT_EQ(usi_moves(), expected) << "UTF-8";
  load_bytes("\xef\xbb\xbf" + utf8_text, "bom.kif");
  EXPECT_EQ(usi_moves(), expected) << "UTF-8 with a byte-order mark";
  // A CP932 file whose header claims UTF-8 is still CP932.
  load_bytes(cp932(utf8_text), "claims.kif");
  EXPECT_EQ(usi_moves(), expected) << "CP932 claiming UTF-8";
  // A character CP932 lacks, in a comment, does not spoil the file.
  load_bytes("手数----指手\n*🙂 ok\n1 ７六歩(77)\n", "emoji.kifu");
  EXPECT_EQ(usi_moves(), "7g7f");
}

TEST_F(KifLoadTest, LongLinesAreReadSafely) {
  // A comment of 20000 bytes between moves, and a move line with 20000 blanks after its clock field.
  const std::string comment = "*" + std::string(20000, 'x') + "(55)";
  const std::string long_move = "   3 ２六歩(27)" + std::string(20000, ' ') + "x";
  load_bytes(kif_file({"   1 ７六歩(77)", comment, "   2 ３四歩(33)", long_move, "4 投了"}));
  EXPECT_EQ(usi_moves(), "7g7f 3c3d 2g2f");
  // One line of 30000 bytes and no line end: the heading, nothing after it.
  std::string one_line = cp932("手数----指手");
  while (one_line.size() < 30000) one_line += cp932(" ７六歩(77)");
  load_bytes(one_line);
  EXPECT_EQ(gs->record.length, 0);
  EXPECT_FALSE(format_error_shown());
}

// Files that would leave an impossible position, or that cannot be read as moves.
TEST_F(KifLoadTest, BadLinesAreFormatErrors) {
  const struct {
    const char* what;
    std::vector<std::string> moves;
  } rows[] = {
      {"drop of a kind not in hand", {"1 ５五角打"}},
      {"drop of a king", {"1 ７六歩(77)", "2 ３四歩(33)", "3 ２二角成(88)", "4 同　銀(31)", "5 ５五玉打"}},
      {"drop of a promoted name", {"1 ７六歩(77)", "2 ３四歩(33)", "3 ２二角成(88)", "4 同　銀(31)", "5 ５五馬打"}},
      {"drop of an unknown name", {"1 ７六歩(77)", "2 ３四歩(33)", "3 ２二角成(88)", "4 同　銀(31)", "5 ５五X打"}},
      {"drop onto a piece", {"1 ７六歩(77)", "2 ３四歩(33)", "3 ２二角成(88)", "4 同　銀(31)", "5 ７六角打"}},
      {"origin empty", {"1 ７五歩(76)"}},
      {"origin holds the other side's piece", {"1 ７四歩(73)"}},
      {"destination holds an own piece", {"1 ７七角(88)"}},
      {"origin equals destination", {"1 ７七歩(77)"}},
      {"promotion of a gold", {"1 ５八金成(69)"}},
      {"promotion of a promoted piece", {"1 ７六歩(77)", "2 ３四歩(33)", "3 ２二角成(88)", "4 ４二飛(82)",
                                          "5 ２一馬成(22)"}},
      {"same square first", {"1 同　歩(77)"}},
      {"unknown destination", {"1 ０六歩(77)"}},
      {"destination cut short", {"1 ７"}},
      {"origin not digits", {"1 ７六歩(7x)"}},
      {"origin digit zero", {"1 ７六歩(07)"}},
      {"no origin", {"1 ７六歩"}},
      {"text after the moves", {"1 ７六歩(77)", "おしまい"}},
      {"move number too long", {"1234567890 ７六歩(77)"}},
  };
  for (const auto& row : rows) {
    play_usi(*gs, {"2g2f"});   // something to lose
    load_bytes(kif_file(row.moves));
    EXPECT_TRUE(format_error_shown()) << row.what;
    EXPECT_EQ(scripted_ui().boxes.size(), 1u) << row.what << ": the error alone, no success before it";
    EXPECT_EQ(gs->record.length, -1) << row.what;
    EXPECT_EQ(last_kif_load().status, KIF_BAD_RECORD) << row.what;
    EXPECT_EQ(0, std::memcmp(gs->record.board, gs->record.initial_board, sizeof gs->record.board)) << row.what;
    EXPECT_EQ(0, std::memcmp(gs->record.record_boards[0], gs->record.initial_board, sizeof gs->record.board)) << row.what;
    EXPECT_TRUE(gs->flags.paused) << row.what;
    std::string problem;
    EXPECT_TRUE(record_valid(*gs, problem)) << row.what << ": " << problem;
  }
}

TEST_F(KifLoadTest, HandicapsAndDiagramsAreRefused) {
  const std::string moves = "手数----指手---------消費時間--\n1 ７六歩(77)\n";
  for (const char* header : {"手合割：香落ち\n", "手合割：角落ち　\n", "手合割：八枚落ち\n"}) {
    load_bytes(cp932(header + moves));
    EXPECT_TRUE(format_error_shown()) << header;
    EXPECT_EQ(gs->record.length, -1) << header;
  }
  load_bytes(cp932("後手の持駒：なし\n  ９ ８ ７ ６ ５ ４ ３ ２ １\n+---------------------------+\n"
                   "| ・ ・ ・v銀v玉v銀 ・ ・ ・|一\n" + moves));
  EXPECT_TRUE(format_error_shown()) << "board diagram";
  // An even game with blanks after its name is an even game.
  load_bytes(cp932("手合割：平手　　\n" + moves));
  EXPECT_FALSE(format_error_shown());
  EXPECT_EQ(gs->record.length, 1);
}

}  // namespace
