// The player's move by clicks: selecting and reselecting, refusing, the promotion question and forced
// promotion, the drop rules, captures into the hand, the record it leaves, and the record limit.
#include <cstring>

#include "play_fixture.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct MoveInput : PlayTest {
  void SetUp() override {
    PlayTest::SetUp();
    start(true);
    scripted_ui().boxes.clear();
  }
  // Only the two kings and the given pieces on the board; recorded as slot 0.
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
  EXPECT_EQ(repaints(), before) << "nothing selected, nothing repainted";

  click_hand(KNIGHT);
  EXPECT_EQ(gs->input.selection, 0) << "no knight in hand: the knight's cell selects nothing";
  gs->record.hands[0][KNIGHT] = 1;
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

  gs->record.hands[0][PAWN] = 2;
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
  EXPECT_TRUE(gs->flags.player_to_move) << "no move was made";
}

TEST_F(MoveInput, ClicksAreTakenOnlyOnThePlayersTurnOfARunningGame) {
  struct Row {
    const char* why;
    bool started, game_over, thinking, player_to_move, input_busy;
  };
  const Row rows[] = {
      {"before the start", false, false, false, true, false},
      {"after the game's end", true, true, false, true, false},
      {"while the computer thinks", true, false, true, true, false},
      {"on the computer's turn", true, false, false, false, false},
      {"while another click is handled", true, false, false, true, true},
  };
  for (const Row& r : rows) {
    gs->flags.started = r.started;
    gs->flags.game_over = r.game_over;
    gs->flags.thinking = r.thinking;
    gs->flags.player_to_move = r.player_to_move;
    gs->flags.input_busy = r.input_busy;
    gs->input.selection = 0;
    click(2, 6);
    EXPECT_EQ(gs->input.selection, 0) << r.why;
    EXPECT_EQ(gs->flags.input_busy.load(), r.input_busy) << r.why << ": the guard is left as it was";
  }
}

TEST_F(MoveInput, BoardMoveIsAppliedRecordedAndHandsTheTurnOver) {
  click(2, 6);
  click(2, 4);
  EXPECT_EQ(gs->input.selection, 1) << "a square out of reach is refused and the selection stays";
  EXPECT_EQ(at(2, 6), PAWN);
  EXPECT_EQ(gs->record.length, 0);
  click(2, 5);
  EXPECT_EQ(gs->input.selection, 0);
  EXPECT_EQ(at(2, 6), SQ_EMPTY);
  EXPECT_EQ(at(2, 5), PAWN);
  EXPECT_EQ(gs->record.current, 1);
  EXPECT_EQ(gs->record.length, 1);
  EXPECT_TRUE(slot_matches_screen(*gs, 1));
  EXPECT_TRUE(one_move_apart(*gs, 1, SENTE));
  EXPECT_FALSE(gs->flags.player_to_move) << "the computer's turn";
  EXPECT_FALSE(gs->flags.input_busy);
  EXPECT_TRUE(boxes().empty()) << "no promotion question outside the zone";
}

TEST_F(MoveInput, CaptureEntersTheHandDemoted) {
  bare_position();
  at(4, 5) = ROOK;
  at(4, 2) = GOTE_BIT + HORSE;
  record_position_as(0);
  click(4, 5);
  scripted_ui().answers.push_back(ANSWER_NO);
  click(4, 2);
  EXPECT_EQ(gs->record.hands[0][BISHOP], 1) << "a captured horse is a bishop in hand";
  EXPECT_EQ(at(4, 2), ROOK) << "promotion declined";
  EXPECT_EQ(at(4, 5), SQ_EMPTY);
  EXPECT_TRUE(one_move_apart(*gs, 1, SENTE));
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
      record_position_as(0);
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
      EXPECT_TRUE(slot_matches_screen(*gs, 1)) << r.why;
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
  };
  const Row rows[] = {
      {"pawn into a column with the player's tokin", PAWN, {{{3, 6}, PRO_PAWN}}, {3, 4}, true},
      {"pawn into a column with the player's pawn", PAWN, {{{3, 6}, PAWN}}, {3, 4}, false},
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
    gs->record.hands[0][r.kind] = 2;
    record_position_as(0);
    const int before = at(r.to.col, r.to.row);
    click_hand(r.kind);
    ASSERT_EQ(gs->input.selection, 2) << r.why;
    click(r.to);
    if (r.allowed) {
      EXPECT_EQ(at(r.to.col, r.to.row), r.kind) << r.why;
      EXPECT_EQ(gs->record.hands[0][r.kind], 1) << r.why;
      EXPECT_EQ(gs->record.length, 1) << r.why;
      EXPECT_TRUE(one_move_apart(*gs, 1, SENTE)) << r.why;
      EXPECT_FALSE(gs->flags.player_to_move) << r.why;
    } else {
      EXPECT_EQ(at(r.to.col, r.to.row), before) << r.why;
      EXPECT_EQ(gs->record.hands[0][r.kind], 2) << r.why;
      EXPECT_EQ(gs->input.selection, is_sente_piece(before) ? 1 : 2) << r.why << ": a refused drop keeps the selection";
      EXPECT_EQ(gs->record.length, 0) << r.why;
      EXPECT_TRUE(gs->flags.player_to_move) << r.why;
    }
    EXPECT_TRUE(boxes().empty()) << r.why << ": drops are never asked about promotion";
  }
}

TEST_F(MoveInput, AMoveFromAnEarlierPositionDropsTheLaterRecord) {
  gs->record.length = 10;
  gs->record.current = 3;
  gs->flags.player_to_move = true;   // as if the player were gote looking at move 3
  click(6, 6);
  click(6, 5);
  EXPECT_EQ(gs->record.current, 4);
  EXPECT_EQ(gs->record.length, 4) << "moves 5..10 are gone";
}

TEST_F(MoveInput, RecordLimitHoldsTheBoardUntilAReset) {
  record_position_as(PLAYER_MOVE_LIMIT);
  click(2, 6);
  click(2, 5);
  EXPECT_EQ(status(), TEXT_RECORD_FULL);
  EXPECT_EQ(at(2, 6), PAWN) << "the move is not made";
  EXPECT_EQ(gs->record.length, PLAYER_MOVE_LIMIT);
  EXPECT_TRUE(gs->flags.input_busy) << "the board takes no further click";
  gs->input.selection = 0;
  click(3, 6);
  EXPECT_EQ(gs->input.selection, 0);

  // The reset gives the board back, and a new game can be played.
  command(CMD_START);
  EXPECT_FALSE(gs->flags.input_busy);
  start(true);
  click(3, 6);
  click(3, 5);
  EXPECT_EQ(gs->record.length, 1);
  EXPECT_EQ(at(3, 5), PAWN);
}

TEST_F(MoveInput, TheLastMoveBeforeTheLimitIsStillTaken) {
  record_position_as(PLAYER_MOVE_LIMIT - 1);
  click(2, 6);
  click(2, 5);
  EXPECT_EQ(gs->record.length, PLAYER_MOVE_LIMIT);
  EXPECT_TRUE(slot_matches_screen(*gs, PLAYER_MOVE_LIMIT));
  EXPECT_FALSE(gs->flags.input_busy);
}
