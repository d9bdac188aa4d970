// 局面編集 through the window's entry points: the positions it refuses with their reasons, the clicks and
// buttons that set a position out, and the game that starts from it, saved with its diagram.
#include "core/rotation.h"
#include "kif/kif_encoding.h"
#include "kif_test_util.h"
#include "play_fixture.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct PositionEditor : PlayTest {
  SfenPosition& edited() { return gs->edit.position; }
};

SfenPosition sfen(const char* text) {
  SfenPosition pos{};
  std::string error;
  EXPECT_TRUE(parse_sfen(text, pos, error)) << text << ": " << error;
  return pos;
}

}  // namespace

// Each impossible position stays in the editor, its reason in the status line and the game untouched;
// the last row is a mate problem the editor accepts.
TEST_F(PositionEditor, RefusesImpossiblePositionsWithTheirReasons) {
  // `added`: a sente piece more, dropped on 5e by a click, where a text could not hold it.
  const struct { const char* sfen; bool mate_problem; const char16_t* reason; int added = SQ_EMPTY; } rows[] = {
      {"4k4/9/9/9/9/9/9/9/9 b G 1", false, u"先手の玉がありません。"},
      {"9/9/9/9/9/9/9/9/4K4 b G 1", true, u"後手の玉がありません。"},
      {"4k4/9/9/9/9/9/9/9/4K4 b - 1", false, u"先手の玉が二枚あります。", KING},
      {"4k4/9/9/9/4P4/9/4P4/9/4K4 b - 1", false, u"二歩です（先手、５筋）。"},
      {"4k3P/9/9/9/9/9/9/9/4K4 b - 1", false, u"行き所のない駒があります（１一歩）。"},
      {"4k4/9/9/9/9/9/9/9/n3K4 w - 1", false, u"行き所のない駒があります（９九桂）。"},
      {"4k4/9/9/9/9/9/9/9/B3K4 b B 1", false, u"角が一組の駒の数より多くあります。", BISHOP},
      {"4k4/4R4/9/9/9/9/9/9/4K4 b - 1", false, u"手番でない後手の玉に王手がかかっています。"},
      {"4k4/9/9/9/9/9/9/9/9 b G 1", true, nullptr},
  };
  for (const auto& row : rows) {
    TearDown(), SetUp();
    command(CMD_EDIT_POSITION);
    ASSERT_TRUE(editing(*gs) && scripted_ui().editor_shown);
    edited() = sfen(row.sfen), gs->edit.mate_problem = row.mate_problem;
    if (row.added != SQ_EMPTY) edit_choose_piece(*gs, *e, row.added), click(4, 4);
    command(CMD_EDIT_DONE);
    EXPECT_EQ(utf8(status()), utf8(row.reason ? row.reason : u"プレイヤーの手番です。")) << row.sfen;
    EXPECT_EQ(editing(*gs), row.reason != nullptr) << row.sfen;
    EXPECT_EQ(gs->flags.started, row.reason == nullptr) << row.sfen;
    if (!row.reason) EXPECT_EQ(format_sfen(gs->game.record.start), row.sfen);
  }
}

// Entered at a position of a game (never during a think), the editor starts from it; clicks place the
// palette's piece and turn a piece round; 詰将棋 takes the attacker's king and gives the defender the
// rest; the game's commands wait; キャンセル shows the game as it was.
TEST_F(PositionEditor, ClicksAndButtonsSetThePositionOut) {
  start(false);
  command(CMD_EDIT_POSITION);
  EXPECT_EQ(status(), u"コンピュータの思考中は局面を編集できません。");
  run_computer_turn();
  const SfenPosition before = gs->game.position;
  auto numbered_one = [](SfenPosition pos) { return pos.move_number = 1, format_sfen(pos); };   // a new game's start
  command(CMD_EDIT_POSITION);
  EXPECT_EQ(format_sfen(edited()), numbered_one(before));
  // The player is gote: the screen is turned, and screen square (4, 4) is the record's (4, 4) as well.
  const int turn[] = {PAWN + PROMOTED_BIT, GOTE_BIT + PAWN, GOTE_BIT + PAWN + PROMOTED_BIT, SQ_EMPTY};
  click(4, 4);
  EXPECT_EQ(status(), u"置く駒を右の駒台から選んでください。") << "no piece chosen yet";
  edit_choose_piece(*gs, *e, PAWN);
  click(4, 4);
  EXPECT_EQ(edited().board[4 * 9 + 4], PAWN);
  for (const int next : turn) {
    click(4, 4);
    EXPECT_EQ(edited().board[4 * 9 + 4], next);
  }
  EXPECT_EQ(gs->screen.board[gs_index(0, 0)], rotated_code(edited().board[80])) << "the board shows the edit";
  command(CMD_LAST);
  EXPECT_TRUE(editing(*gs) && cursor_ply(*gs) == 1) << "a game command waits";
  command(CMD_EDIT_CLEAR);
  edit_choose_piece(*gs, *e, GOTE_KING), click(4, 4);
  edit_choose_piece(*gs, *e, KING), click(0, 0);
  edit_set_hand(*gs, *e, BLACK, GOLD, 1);
  command(CMD_EDIT_MATE);
  EXPECT_EQ(format_sfen(edited()), "9/9/9/9/4k4/9/9/9/9 b G2r2b3g4s4n4l18p 1");
  edit_set_side_to_move(*gs, *e, WHITE);
  EXPECT_EQ(format_sfen(edited()), "9/9/9/9/4k4/9/9/9/9 w 2R2B4G4S4N4L18P 1") << "gote attacks now";
  command(CMD_EDIT_CANCEL);
  EXPECT_TRUE(!editing(*gs) && !scripted_ui().editor_shown && cursor_ply(*gs) == 1);
  EXPECT_EQ(format_sfen(gs->game.position), format_sfen(before));
}

// A handicap laid out and played from: 上手 (gote) is to move, so the player takes it; the saved record
// names the start by its 手合割, a position without a name by its diagram, and both load back the same.
TEST_F(PositionEditor, TheGameStartsFromThePositionAndSavesIt) {
  for (const bool handicap : {true, false}) {
    TearDown(), SetUp();
    command(CMD_EDIT_POSITION);
    edit_set_start(*gs, *e, 3);
    if (!handicap) edit_set_hand(*gs, *e, WHITE, BISHOP, 1);
    command(CMD_EDIT_DONE);
    ASSERT_TRUE(gs->flags.started && !editing(*gs) && gs->game.player_side == WHITE);
    kif_test::play_usi(*gs, {"5a4b", "7g7f", "4b5a"});
    const std::string path = kif_test::temp_path(handicap ? "edited_handicap.kif" : "edited_diagram.kif");
    scripted_ui().save_paths.push_back(path), command(CMD_SAVE_KIF);
    const std::string saved = kif_to_utf8(kif_test::read_file(path));
    EXPECT_NE(saved.find(handicap ? "手合割：角落ち" : "後手の持駒：角"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("後手番") != std::string::npos, !handicap) << saved;
    EXPECT_NE(saved.find(handicap ? "上手：あなた" : "後手：あなた"), std::string::npos) << "the player named by the side";
    const GameRecord played = gs->game.record;
    scripted_ui().open_paths.push_back(path), command(CMD_LOAD_KIF);
    EXPECT_EQ(fuzz::same_tree(played, gs->game.record), "") << handicap;
  }
}
