// The player's move by clicks: selecting and reselecting, refusing, the promotion question and forced
// promotion, the drop rules, captures into the hand, taking over the computer's side, the record it
// leaves, and no limit to the record's length.
#include <cstring>

#include "app/record_play.h"
#include "play_fixture.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct MoveInput : PlayTest {
  // A started game, the computer held by the pause so that a move stays unanswered.
  void SetUp() override {
    if (gs->flags.think_thread.joinable()) stop_computer(*gs, *e);
    PlayTest::SetUp();
    start(true);
    command(CMD_PAUSE);
    scripted_ui().boxes.clear();
  }
  // Only the two kings and the given pieces on the board.
  void bare_position() {
    clear_position();
    at(4, 8) = KING;
    at(8, 0) = GOTE_KING;   // out of every piece's way: no move below captures it
  }
};

}  // namespace

TEST_F(MoveInput, SelectingPiecesAndHandCells) {
  click(2, 6);
  EXPECT_EQ(gs->input.selection, 1) << "the player's pawn is selected";
  EXPECT_EQ(gs->input.sel_piece, PAWN);
  EXPECT_TRUE(gs->input.target_map[gs_index(2, 5)]);
  click(2, 6);
  EXPECT_EQ(gs->input.selection, 0) << "a second click on the selected square deselects";

  const int before = repaints();
  click(4, 4);
  EXPECT_EQ(gs->input.selection, 0) << "an empty square selects nothing";
  click(4, 0);
  EXPECT_EQ(gs->input.selection, 0) << "the computer's king selects nothing";
  click_hand_cell(10, 3);
  EXPECT_EQ(gs->input.selection, 0) << "nor does its hand";
  EXPECT_EQ(repaints(), before) << "nothing selected, nothing repainted";

  click_hand(KNIGHT);
  EXPECT_EQ(gs->input.selection, 0) << "no knight in hand: the knight's cell selects nothing";
  hand(0, KNIGHT) = 1;
  hand(0, PAWN) = 2;
  set_up_position();
  click_hand(KNIGHT);
  EXPECT_EQ(gs->input.selection, 2);
  EXPECT_EQ(gs->input.sel_piece, KNIGHT);
  EXPECT_EQ(gs->input.hand_cell_col, 12);
  EXPECT_EQ(gs->input.hand_cell_row, 6);
  EXPECT_EQ(gs->input.sel_col, -1);
  click_hand(KNIGHT);
  EXPECT_EQ(gs->input.selection, 0) << "a click in the hand grid with a piece selected deselects";

  click(7, 7);
  on_left_button_up(*gs, *e, 380, 100);
  EXPECT_EQ(gs->input.selection, 0) << "a click off the board deselects";

  on_left_button_up(*gs, *e, 13 * 40 + 39, 5 * 40 + 1);
  EXPECT_EQ(gs->input.selection, 2) << "both halves of the first hand row hold pawns";
  EXPECT_EQ(gs->input.sel_piece, PAWN);
  gs->input.selection = 0;

  // Another of the player's own pieces, while one is selected, takes the selection over.
  struct Step {
    const char* why;
    bool hand;
    Square at;   // a board square, or (kind, 0) for a hand kind
    int selection, sel_piece;
  };
  const Step steps[] = {
      {"a pawn", false, {2, 6}, 1, PAWN},
      {"then the rook", false, {7, 7}, 1, ROOK},
      {"then a pawn in hand", true, {PAWN, 0}, 2, PAWN},
      {"then the knight in hand", true, {KNIGHT, 0}, 2, KNIGHT},
      {"then the king on the board", false, {4, 8}, 1, KING},
  };
  for (const Step& s : steps) {
    if (s.hand) click_hand(s.at.col); else click(s.at);
    EXPECT_EQ(gs->input.selection, s.selection) << s.why;
    EXPECT_EQ(gs->input.sel_piece, s.sel_piece) << s.why;
    if (!s.hand) {
      EXPECT_EQ(gs->input.sel_col * 10 + gs->input.sel_row, s.at.col * 10 + s.at.row) << s.why;
    }
  }
  EXPECT_TRUE(player_to_move(*gs)) << "no move was made";
}

TEST_F(MoveInput, ClicksAreTakenOnlyWhenThePlayerMayMove) {
  struct Row {
    const char* why;
    bool started, over, thinking, input_busy;
  };
  const Row rows[] = {
      {"before the start", false, false, false, false},
      {"after the game's end", true, true, false, false},
      {"while the computer thinks", true, false, true, false},
      {"while another click is handled", true, false, false, true},
  };
  for (const Row& r : rows) {
    gs->flags.started = r.started;
    gs->game.record.nodes[gs->game.cursor].end = r.over ? GAME_END_RESIGNED : GAME_END_NONE;
    gs->flags.thinking = r.thinking;
    gs->flags.input_busy = r.input_busy;
    gs->input.selection = 0;
    click(2, 6);
    EXPECT_EQ(gs->input.selection, 0) << r.why;
    EXPECT_EQ(gs->flags.input_busy, r.input_busy) << r.why << ": the guard is left as it was";
  }
  gs->flags.thinking = gs->flags.input_busy = false;
}

// The computer's side to move, held by the pause: a move of its piece makes the player that side, and
// the board stays as it stands on the screen.
TEST_F(MoveInput, AMoveOfTheComputersSideTakesItOver) {
  click(2, 6);
  click(2, 5);
  ASSERT_FALSE(player_to_move(*gs));
  int board[GS_CELLS];
  std::memcpy(board, gs->screen.board, sizeof board);
  click(6, 2);
  EXPECT_EQ(gs->input.selection, 1) << "the computer's pawn, its side to move, paused";
  EXPECT_TRUE(gs->input.target_map[gs_index(6, 3)]) << "it moves down the screen";
  click(6, 3);
  EXPECT_EQ(gs->game.player_side, WHITE);
  EXPECT_TRUE(gs->game.view_flipped) << "the board is not turned under the player's hand";
  EXPECT_EQ(at(6, 3), GOTE_BIT + PAWN);
  EXPECT_EQ(at(2, 5), PAWN);
  EXPECT_TRUE(legal_move_by(*gs, 2, SENTE)) << "move 2 is now the player's";
  EXPECT_TRUE(legal_move_by(*gs, 1, GOTE));
  EXPECT_EQ(status(), u"コンピュータの手番ですが一時停止中です。");
}

TEST_F(MoveInput, BoardMoveIsAppliedRecordedAndHandsTheTurnOver) {
  command(CMD_PAUSE);   // the computer answers this one
  click(2, 6);
  click(2, 4);
  EXPECT_EQ(gs->input.selection, 1) << "a square out of reach is refused and the selection stays";
  EXPECT_EQ(at(2, 6), PAWN);
  EXPECT_EQ(shown_moves(*gs), 0);
  click(2, 5);
  EXPECT_EQ(gs->input.selection, 0);
  EXPECT_EQ(at(2, 6), SQ_EMPTY);
  EXPECT_EQ(at(2, 5), PAWN);
  EXPECT_TRUE(board_at_ply(*gs, 1));
  EXPECT_EQ(shown_moves(*gs), 1);
  EXPECT_TRUE(legal_move_by(*gs, 1, SENTE));
  EXPECT_FALSE(player_to_move(*gs)) << "the computer's turn";
  EXPECT_TRUE(gs->flags.thinking) << "and its think has started";
  EXPECT_FALSE(gs->flags.input_busy);
  EXPECT_TRUE(boxes().empty()) << "no promotion question outside the zone";
  run_computer_turn();
  EXPECT_TRUE(legal_move_by(*gs, 2, GOTE));
}

TEST_F(MoveInput, CaptureEntersTheHandDemoted) {
  bare_position();
  at(4, 5) = ROOK;
  at(4, 2) = GOTE_BIT + HORSE;
  set_up_position();
  click(4, 5);
  scripted_ui().answers.push_back(ANSWER_NO);
  click(4, 2);
  EXPECT_EQ(hand(0, BISHOP), 1) << "a captured horse is a bishop in hand";
  EXPECT_EQ(at(4, 2), ROOK) << "promotion declined";
  EXPECT_EQ(at(4, 5), SQ_EMPTY);
  EXPECT_TRUE(legal_move_by(*gs, 1, SENTE));
}

TEST_F(MoveInput, PromotionIsOfferedWhereItApplies) {
  struct Row {
    const char* why;
    int code;
    Square from, to;
    bool offered;
    bool forced = false;
  };
  const Row rows[] = {
      {"pawn from row 3 to row 2", PAWN, {4, 3}, {4, 2}, true},
      {"pawn from row 4 to row 3", PAWN, {4, 4}, {4, 3}, false},
      {"pawn to the last row promotes unasked", PAWN, {4, 1}, {4, 0}, false, true},
      {"lance to the last row promotes unasked", LANCE, {0, 5}, {0, 0}, false, true},
      {"knight to the last row promotes unasked", KNIGHT, {3, 2}, {2, 0}, false, true},
      {"knight to the second row promotes unasked", KNIGHT, {3, 3}, {2, 1}, false, true},
      {"silver leaving the zone from row 2 to row 3", SILVER, {3, 2}, {2, 3}, true},
      {"silver inside the zone", SILVER, {3, 2}, {3, 1}, true},
      {"silver outside the zone", SILVER, {3, 5}, {3, 4}, false},
      {"knight into the zone", KNIGHT, {3, 4}, {2, 2}, true},
      {"lance from row 5 to row 1", LANCE, {0, 5}, {0, 1}, true},
      {"rook along row 1", ROOK, {1, 1}, {6, 1}, true},
      {"bishop out of the zone", BISHOP, {2, 2}, {5, 5}, true},
      {"gold never", GOLD, {4, 3}, {4, 2}, false},
      {"king never", KING, {2, 3}, {2, 2}, false},
      {"horse is not offered again", HORSE, {2, 3}, {3, 2}, false},
      {"tokin is not offered again", PRO_PAWN, {5, 3}, {5, 2}, false},
  };
  for (const bool accept : {true, false}) {
    for (const Row& r : rows) {
      SetUp();
      bare_position();
      if (r.code == KING) at(4, 8) = SQ_EMPTY;
      at(r.from.col, r.from.row) = r.code;
      set_up_position();
      scripted_ui().boxes.clear();
      scripted_ui().answers.push_back(accept ? ANSWER_YES : ANSWER_NO);
      click(r.from);
      click(r.to);
      ASSERT_EQ(at(r.to.col, r.to.row) & 15, (r.offered && accept) || r.forced ? r.code + 8 : r.code) << r.why;
      if (r.offered) {
        EXPECT_TRUE(boxes_shown({{u"成りますか？", u"成り・不成の選択", BOX_QUESTION, BOX_YES_NO}})) << r.why;
      } else {
        EXPECT_TRUE(boxes().empty()) << r.why;
        scripted_ui().answers.clear();
      }
      EXPECT_TRUE(board_at_ply(*gs, 1)) << r.why;
    }
  }
}

TEST_F(MoveInput, DropRules) {
  struct Row {
    const char* why;
    int kind;
    std::vector<std::pair<Square, int>> column;   // pieces put on the board first
    Square to;
    bool allowed;
    const char16_t* refusal = nullptr;   // told in the status line (the selection then goes)
  };
  const Row rows[] = {
      {"pawn into a column with the player's tokin", PAWN, {{{3, 6}, PRO_PAWN}}, {3, 4}, true},
      {"pawn into a column with the player's pawn", PAWN, {{{3, 6}, PAWN}}, {3, 4}, false, u"二歩は指せません。"},
      {"pawn into a column with the computer's pawn", PAWN, {{{3, 2}, GOTE_BIT + PAWN}}, {3, 4}, true},
      {"pawn onto the last row, where it could never move", PAWN, {}, {6, 0}, false},
      {"knight into a pawn's column", KNIGHT, {{{3, 6}, PAWN}}, {3, 4}, true},
      {"onto a computer's piece", SILVER, {{{3, 4}, GOTE_BIT + PAWN}}, {3, 4}, false},
      {"onto the player's own piece, which takes the selection", GOLD, {{{3, 4}, LANCE}}, {3, 4}, false},
  };
  for (const Row& r : rows) {
    SetUp();
    bare_position();
    for (const auto& [sq, code] : r.column) at(sq.col, sq.row) = code;
    hand(0, r.kind) = 2;
    set_up_position();
    set_status(gs->view, u"");
    const int before = at(r.to.col, r.to.row);
    click_hand(r.kind);
    ASSERT_EQ(gs->input.selection, 2) << r.why;
    click(r.to);
    if (r.allowed) {
      EXPECT_EQ(at(r.to.col, r.to.row), r.kind) << r.why;
      EXPECT_EQ(hand(0, r.kind), 1) << r.why;
      EXPECT_EQ(shown_moves(*gs), 1) << r.why;
      EXPECT_TRUE(legal_move_by(*gs, 1, SENTE)) << r.why;
      EXPECT_FALSE(player_to_move(*gs)) << r.why;
    } else {
      EXPECT_EQ(at(r.to.col, r.to.row), before) << r.why;
      EXPECT_EQ(hand(0, r.kind), 2) << r.why;
      const int selection = r.refusal ? 0 : is_sente_piece(before) ? 1 : 2;
      EXPECT_EQ(gs->input.selection, selection) << r.why << ": a silent refusal keeps the selection";
      EXPECT_EQ(status(), r.refusal ? r.refusal : u"") << r.why;
      EXPECT_EQ(shown_moves(*gs), 0) << r.why;
      EXPECT_TRUE(player_to_move(*gs)) << r.why;
    }
    EXPECT_TRUE(boxes().empty()) << r.why << ": drops are never asked about promotion";
  }
}

// Where the rules are kept, a selected piece offers only its legal destinations: a king is never offered
// a square the computer attacks.
TEST_F(MoveInput, OnlyLegalDestinationsAreOffered) {
  for (const bool allow_illegal : {false, true}) {
    SetUp();
    gs->flags.allow_illegal = allow_illegal;
    bare_position();
    at(3, 0) = GOTE_BIT + ROOK;   // attacks the 4th column from the left
    set_up_position();
    click(4, 8);
    EXPECT_EQ(gs->input.target_map[gs_index(3, 8)] != 0, allow_illegal) << allow_illegal;
    EXPECT_EQ(gs->input.target_map[gs_index(3, 7)] != 0, allow_illegal) << allow_illegal;
    EXPECT_TRUE(gs->input.target_map[gs_index(5, 7)]) << allow_illegal;
  }
}

// With 変化を残す off, a move at an earlier position drops the later record, as the design does.
TEST_F(MoveInput, AMoveFromAnEarlierPositionDropsTheLaterRecordWithoutVariations) {
  gs->flags.keep_variations = false;
  for (const Square& s : {Square{2, 6}, Square{7, 6}, Square{0, 6}, Square{8, 6}, Square{4, 6}}) {
    play_move(*gs, MoveRecord{s.col, s.row, PAWN, s.col, s.row - 1, PAWN, SQ_EMPTY});
    play_move(*gs, MoveRecord{8 - s.col, 8 - s.row, GOTE_BIT + PAWN, 8 - s.col, 9 - s.row, GOTE_BIT + PAWN, SQ_EMPTY});
  }
  ASSERT_EQ(shown_moves(*gs), 10);
  for (int k = 0; k < 6; ++k) command(CMD_BACK);
  click(6, 6);
  click(6, 5);
  EXPECT_TRUE(board_at_ply(*gs, 5));
  EXPECT_EQ(shown_moves(*gs), 5) << "moves 5..10 are gone";
  EXPECT_EQ(gs->game.record.nodes.size(), 6u);
}

// The record has no length limit: a game of several hundred moves still takes the player's move.
TEST_F(MoveInput, NoLimitToTheRecord) {
  const Square shuttle[4] = {{4, 8}, {4, 7}, {4, 0}, {4, 1}};
  for (int k = 0; k < 600; ++k) {
    const Square from = shuttle[(k % 2) * 2 + (k / 2) % 2], to = shuttle[(k % 2) * 2 + 1 - (k / 2) % 2];
    play_move(*gs, MoveRecord{from.col, from.row, k % 2 ? GOTE_KING : KING, to.col, to.row, k % 2 ? GOTE_KING : KING, SQ_EMPTY});
  }
  ASSERT_EQ(shown_moves(*gs), 600);
  click(2, 6);
  click(2, 5);
  EXPECT_EQ(shown_moves(*gs), 601);
  EXPECT_EQ(at(2, 5), PAWN);
  EXPECT_FALSE(gs->flags.input_busy);
}
