// The buttons and menu commands by id: start and its dialog, reset, pause, navigation with its refusal
// texts, the change of sides and the view's flip, and 詰み探索 with its answers.
#include <cstring>

#include "app/game_end.h"
#include "app/mate_search.h"
#include "app/record_play.h"
#include "app/strength_choice.h"
#include "core/initial_position.h"
#include "core/legality.h"
#include "kif/kif_start.h"
#include "core/rotation.h"
#include "play_fixture.h"
#include "search/engine.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct Commands : PlayTest {
  // A player's move by clicks; the computer answers it.
  void player_moves(Square from, Square to) {
    click(from);
    click(to);
    ASSERT_FALSE(player_to_move(*gs)) << "the player's move was taken";
    run_computer_turn();
  }
  // Four moves: the player's pawn, the computer's answer, the player's pawn, the computer's answer.
  void four_moves() {
    start(true);
    player_moves({2, 6}, {2, 5});
    player_moves({7, 6}, {7, 5});
  }
  bool initial_board() const {
    for (int row = 0; row < 9; ++row)
      for (int col = 0; col < 9; ++col)
        if (gs->screen.board[gs_index(col, row)] != INITIAL_POSITION[row][col]) return false;
    return true;
  }
};

}  // namespace

// 開始 opens the new-game dialog, preset to the even game with the player first; cancelled, nothing starts.
TEST_F(Commands, StartAsksWhoMovesFirst) {
  scripted_ui().new_game_answers.push_back(std::nullopt);
  command(CMD_START);
  EXPECT_TRUE(!gs->flags.started && caption_of(CMD_START).empty() && status() == TEXT_PRESS_START);
  for (const bool sente : {true, false}) {
    TearDown();
    SetUp();
    start(sente);
    ASSERT_EQ(scripted_ui().new_game_dialogs.size(), 1u);
    EXPECT_TRUE(scripted_ui().new_game_dialogs[0].handicap == 0 && scripted_ui().new_game_dialogs[0].player_side == 0);
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(gs->flags.started);
    EXPECT_EQ(gs->game.player_side, sente ? BLACK : WHITE);
    EXPECT_EQ(player_to_move(*gs), sente) << "as gote the computer moves first";
    EXPECT_EQ(gs->flags.thinking, !sente) << "and its think starts at once";
    EXPECT_EQ(caption_of(CMD_START), u"初期化");
  }
}

// 新規対局's dialog: preset with 平手, the player first and the level played; cancelled, the game stays.
// A level chosen names the window and reaches the Engine before its next think. A handicap starts from
// its position, 上手 (gote, the side without the pieces) moving first; the computer's first move there
// is thought, not the even game's book.
TEST_F(Commands, NewGameDialog) {
  // start: the start position's SFEN; null: the dialog was cancelled.
  const struct { std::optional<NewGameChoice> answer; const char* start; bool computer_first; } rows[] = {
      {std::nullopt, nullptr, false},
      {NewGameChoice{0, 0, 1}, "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1", false},
      {NewGameChoice{1, 0, -1}, HANDICAPS[1].sfen, true},
      {NewGameChoice{4, 1, -1}, HANDICAPS[4].sfen, false},
  };
  for (const auto& row : rows) {
    TearDown(), SetUp();
    choose_strength(*gs, STRENGTH_CHUUKARA);
    scripted_ui().new_game_answers.push_back(row.answer);
    command(CMD_NEW_GAME);
    const std::string what = row.start ? row.start : "cancelled";
    ASSERT_EQ(scripted_ui().new_game_dialogs.size(), 1u) << what;
    const NewGameChoice shown = scripted_ui().new_game_dialogs[0];
    EXPECT_TRUE(shown.handicap == 0 && shown.player_side == 0 && shown.level == 0 && boxes().empty()) << what;
    EXPECT_EQ(gs->flags.started, row.start != nullptr) << what;
    if (!row.start) continue;
    EXPECT_EQ(format_sfen(gs->game.record.start), row.start) << what;
    EXPECT_EQ(gs->game.player_side, row.answer->player_side) << what;
    const Strength& level = row.answer->level < 0 ? STRENGTH_CHUUKARA : *STRENGTHS[row.answer->level];
    EXPECT_TRUE(scripted_ui().title == level.title && e->base_depth == level.base_depth) << what;
    EXPECT_EQ(gs->flags.thinking, row.computer_first) << what;
    if (!row.computer_first) continue;
    run_computer_turn();
    EXPECT_TRUE(legal_move_by(*gs, 1, GOTE)) << what;
    EXPECT_NE(gs->view.score_shown, NO_SCORE) << what << ": a handicap's first move is no book move";
  }
}

TEST_F(Commands, ResetRestoresTheStartingState) {
  four_moves();
  gs->flags.paused = true;
  gs->view.score_shown = 1234;
  command(CMD_START);
  EXPECT_FALSE(gs->flags.started);
  EXPECT_EQ(gs->game.cursor, 0);
  EXPECT_EQ(gs->game.record.nodes.size(), 1u) << "an empty record";
  EXPECT_TRUE(initial_board());
  EXPECT_EQ(gs->screen.hands[1][PAWN], 0);
  EXPECT_EQ(caption_of(CMD_START), u"開始");
  EXPECT_EQ(status(), TEXT_PRESS_START);
  EXPECT_FALSE(gs->flags.paused);
  EXPECT_TRUE(player_to_move(*gs));
  EXPECT_EQ(gs->view.score_shown, NO_SCORE) << "no evaluation of the last game is left";
  EXPECT_EQ(gs->view.last_move.to_col, -1);
  EXPECT_EQ(gs->view.last_move.piece_after, SQ_EMPTY);
}

TEST_F(Commands, RefusalsWhileTheComputerThinks) {
  struct Row {
    int id;
    const char16_t* text;
  };
  const Row rows[] = {
      {CMD_START, u"コンピュータの思考中は戻せません。"},
      {CMD_FIRST, u"コンピュータの思考中は最初に戻せません。"},
      {CMD_BACK, u"コンピュータの思考中は１手戻せません。"},
      {CMD_FORWARD, u"コンピュータの思考中は１手進められません。"},
      {CMD_LAST, u"コンピュータの思考中は最後まで進められません。"},
  };
  four_moves();
  gs->flags.thinking = true;   // as if the computer's think ran
  const int cursor = gs->game.cursor;
  const unsigned revision = gs->game.revision;
  for (const Row& r : rows) {
    const int before = repaints();
    command(r.id);
    EXPECT_EQ(status(), r.text) << "command " << r.id;
    EXPECT_GT(repaints(), before) << "command " << r.id << " shows its refusal";
    EXPECT_EQ(gs->game.cursor, cursor) << "command " << r.id;
    EXPECT_EQ(gs->game.revision, revision) << "command " << r.id;
    EXPECT_TRUE(gs->flags.started) << "command " << r.id;
    // The refusal is told until the think's next progress is drawn, which says again that it thinks.
    e->root_progress = gs->view.progress_drawn + 1;
    EXPECT_TRUE(progress_tick(*gs, *e)) << "command " << r.id;
    EXPECT_EQ(status(), std::u16string(TEXT_THINKING)) << "command " << r.id;
  }
  gs->flags.thinking = false;
}

TEST_F(Commands, NavigationThroughTheRecord) {
  start(true);
  set_status(gs->view, u"");
  command(CMD_BACK);
  EXPECT_EQ(status(), u"今は１手戻せません。") << "at the initial position";
  command(CMD_FORWARD);
  EXPECT_EQ(status(), u"今は１手進められません。") << "with an empty record";

  command(CMD_PAUSE);   // the computer held: the player's move stays unanswered
  click(2, 6);
  click(2, 5);
  command(CMD_LAST);
  EXPECT_EQ(status(), u"今は最後まで進められません。") << "\">>\" needs two moves";
  command(CMD_BACK);
  EXPECT_EQ(cursor_ply(*gs), 0);
  command(CMD_FORWARD);
  EXPECT_TRUE(board_at_ply(*gs, 1)) << "\">\" reaches move 1";
  EXPECT_EQ(at(2, 5), PAWN);
  EXPECT_FALSE(player_to_move(*gs)) << "move 1 is the computer's turn when the player is sente";

  // Longer record: step to each end and back.
  command(CMD_PAUSE);   // lifted: the computer answers
  run_computer_turn();
  click(7, 6);
  click(7, 5);
  run_computer_turn();
  ASSERT_EQ(shown_moves(*gs), 4);
  command(CMD_BACK);
  EXPECT_TRUE(board_at_ply(*gs, 3));
  EXPECT_EQ(at(7, 5), PAWN);
  EXPECT_EQ(gs->view.last_move.to_col, 7) << "the move that led to the position shown is marked";
  EXPECT_EQ(gs->view.last_move.to_row, 5);
  EXPECT_EQ(gs->view.show_last_move, 1);
  EXPECT_TRUE(gs->flags.paused);
  EXPECT_EQ(caption_of(CMD_PAUSE), u"■");
  EXPECT_FALSE(player_to_move(*gs));
  EXPECT_FALSE(gs->flags.thinking) << "a step holds the computer";

  command(CMD_FIRST);
  EXPECT_EQ(gs->game.cursor, 0);
  EXPECT_TRUE(initial_board());
  EXPECT_TRUE(player_to_move(*gs));
  command(CMD_LAST);
  EXPECT_TRUE(board_at_ply(*gs, 4));
  EXPECT_TRUE(player_to_move(*gs));
  command(CMD_FORWARD);
  EXPECT_EQ(status(), u"今は１手進められません。") << "at the end of the record";
  EXPECT_EQ(shown_moves(*gs), 4) << "navigation never changes the record";
}

// After the end, play goes on from an earlier position: the new move's line is the main line, the old
// one stays as its variation.
TEST_F(Commands, PlayContinuesFromAnEarlierPositionAfterTheEnd) {
  four_moves();
  const int old_second = gs->game.record.nodes[0].children[0];
  end_game(*gs, GAME_END_RESIGNED);   // say the player resigned here
  ASSERT_TRUE(game_over(*gs));
  command(CMD_BACK);
  command(CMD_BACK);
  ASSERT_EQ(cursor_ply(*gs), 2);
  EXPECT_FALSE(game_over(*gs));
  EXPECT_TRUE(player_to_move(*gs));
  click(0, 6);
  click(0, 5);
  EXPECT_TRUE(board_at_ply(*gs, 3));
  EXPECT_EQ(shown_moves(*gs), 3) << "the line shown is the new one";
  EXPECT_EQ(at(0, 5), PAWN);
  EXPECT_EQ(at(7, 6), PAWN) << "the abandoned third move is not on the board";
  EXPECT_TRUE(legal_move_by(*gs, 3, SENTE));
  EXPECT_EQ(gs->game.record.nodes[0].children[0], old_second);
  EXPECT_EQ(variation_count(gs->game.record), 1) << "the old third and fourth moves are a variation";
}

TEST_F(Commands, PauseToggles) {
  const int before = repaints();
  command(CMD_PAUSE);
  EXPECT_TRUE(gs->flags.paused);
  EXPECT_EQ(caption_of(CMD_PAUSE), u"■");
  command(CMD_PAUSE);
  EXPECT_FALSE(gs->flags.paused);
  EXPECT_EQ(caption_of(CMD_PAUSE), u"||");
  EXPECT_EQ(repaints(), before) << "the pause button repaints nothing";
  // Pressed while the computer thinks: the think goes on, and the status line says what ■ means.
  start(true);
  click(2, 6);
  click(2, 5);
  ASSERT_TRUE(gs->flags.thinking);
  command(CMD_PAUSE);
  EXPECT_EQ(status(), TEXT_PAUSE_AFTER_THINK);
  EXPECT_TRUE(gs->flags.thinking);
  run_computer_turn();
  EXPECT_EQ(shown_moves(*gs), 2) << "the think played";
  EXPECT_TRUE(player_to_move(*gs));
  click(7, 6);
  click(7, 5);
  EXPECT_FALSE(gs->flags.thinking) << "the computer's next turn is held";
  EXPECT_EQ(status(), u"コンピュータの手番ですが一時停止中です。");
}

// 盤を反転させる: the player takes the other side at the position shown; 盤面を反転表示 turns the view only.
TEST_F(Commands, ChangeOfSidesAndTheViewFlip) {
  start(true);
  command(CMD_PAUSE);
  click(2, 6);
  click(2, 5);
  command(CMD_PAUSE);   // lifted: the computer answers
  run_computer_turn();
  scripted_ui().boxes.clear();
  command(CMD_CHANGE_SIDES);
  EXPECT_TRUE(boxes_shown({{u"反転させるには棋譜の手数が足りません。", u"失敗", -1, BOX_OK}})) << "2 moves";
  EXPECT_EQ(gs->game.player_side, BLACK) << "nothing else changes";
  EXPECT_EQ(cursor_ply(*gs), 2);
  EXPECT_FALSE(gs->flags.paused);

  click(7, 6);
  click(7, 5);
  ASSERT_TRUE(gs->flags.thinking);
  command(CMD_CHANGE_SIDES);
  EXPECT_EQ(boxes().size(), 1u) << "ignored on the computer's turn";
  EXPECT_EQ(gs->game.player_side, BLACK);
  run_computer_turn();

  int before[GS_CELLS];
  std::memcpy(before, gs->screen.board, sizeof before);
  const GameRecord record = gs->game.record;
  command(CMD_CHANGE_SIDES);
  EXPECT_EQ(boxes().size(), 1u) << "four moves turn without a box";
  EXPECT_EQ(gs->game.player_side, WHITE);
  EXPECT_TRUE(board_at_ply(*gs, 4)) << "the position shown stays";
  EXPECT_EQ(gs->game.record.nodes.size(), record.nodes.size());
  EXPECT_TRUE(gs->flags.paused);
  EXPECT_EQ(caption_of(CMD_PAUSE), u"■");
  EXPECT_FALSE(player_to_move(*gs)) << "after move 4 it is sente's turn, and the player is now gote";
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col)
      EXPECT_EQ(at(col, row), rotated_code(before[gs_index(8 - col, 8 - row)])) << "the player's pieces at the bottom";
  // The computer now plays the player's old moves: the record reads the same game from the other side.
  EXPECT_TRUE(legal_move_by(*gs, 1, GOTE));
  EXPECT_TRUE(legal_move_by(*gs, 2, SENTE));

  // The view's own flip: the board turns back, the game stays as it is.
  command(CMD_FLIP_VIEW);
  EXPECT_EQ(std::memcmp(before, gs->screen.board, sizeof before), 0);
  EXPECT_EQ(gs->game.player_side, WHITE);
  EXPECT_TRUE(board_at_ply(*gs, 4));
  command(CMD_FLIP_VIEW);
  EXPECT_EQ(at(0, 0), rotated_code(before[gs_index(8, 8)]));
}

TEST_F(Commands, NotificationBitsOfTheIdAreIgnored) {
  command(CMD_PAUSE | (1 << 16));
  EXPECT_TRUE(gs->flags.paused);
  EXPECT_EQ(caption_of(CMD_PAUSE), u"■");
}

// 詰み探索 on the position on the board: a mate's line named and, on 棋譜に追加, kept as a variation the board
// then shows; a position without a mate said so; an answer to a position the board has left dropped.
TEST_F(Commands, MateSearchAnswersOnTheBoardsPosition) {
  const auto load = [this](const char* sfen) {
    GameRecord record;
    std::string error;
    ASSERT_TRUE(parse_sfen(sfen, record.start, error)) << error;
    take_record(*gs, record);
    play_move(*gs, legal_moves(gs->game.position).front());   // the problem is at move 1, with a move before it
    on_move_list_line(*gs, *e, 0);
  };
  // A mate in three of the mate-problem corpus.
  load("3sks3/9/4S4/9/9/8B/9/9/9 b S 1");
  const int node = gs->game.cursor;
  const size_t nodes_before = gs->game.record.nodes.size();
  scripted_ui().answers.push_back(ANSWER_YES);
  command(CMD_MATE_SEARCH);
  EXPECT_EQ(status(), u"詰みを探しています…");
  wait_for_window_event();
  ASSERT_EQ(boxes().size(), 1u);
  const ShownBox box = boxes()[0];
  EXPECT_EQ(box.buttons, BOX_ADD_TO_RECORD);
  EXPECT_EQ(box.text.rfind(u"3手詰みです。\n▲", 0), 0u) << utf8(box.text);
  EXPECT_EQ(box.text.substr(box.text.size() - 2), u"まで") << utf8(box.text);
  // Kept: a variation beside the move played, three moves long, the board on its first move.
  EXPECT_EQ(gs->game.record.nodes.size(), nodes_before + 3);
  EXPECT_EQ(gs->game.record.nodes[node].children.size(), 2u);
  EXPECT_EQ(gs->game.record.nodes[gs->game.cursor].parent, node);
  EXPECT_EQ(shown_moves(*gs), 3);
  EXPECT_TRUE(gs->flags.unsaved);

  // No mate: a lone gold cannot mate a king in the open.
  reset_scripted_ui();
  load("9/9/9/4k4/9/9/9/9/9 b G 1");
  command(CMD_MATE_SEARCH);
  wait_for_window_event();
  EXPECT_TRUE(boxes_shown({{u"詰みはありません。\n（11手までの詰みを調べました）", u"詰み探索", BOX_INFORMATION, BOX_OK}}));

  // Stepping away before the answer comes: it is of a position no longer shown.
  reset_scripted_ui();
  load("3sks3/9/4S4/9/9/8B/9/9/9 b S 1");
  command(CMD_MATE_SEARCH);
  command(CMD_FORWARD);
  wait_for_window_event();
  EXPECT_TRUE(boxes().empty());

  // The last position of a finished game: the line is told, but the record keeps its end.
  reset_scripted_ui();
  GameRecord finished;
  std::string error;
  ASSERT_TRUE(parse_sfen("3sks3/9/4S4/9/9/8B/9/9/9 b S 1", finished.start, error)) << error;
  finished.nodes[0].end = GAME_END_RESIGNED;
  take_record(*gs, finished);
  command(CMD_MATE_SEARCH);
  wait_for_window_event();
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].buttons, BOX_OK);
}
