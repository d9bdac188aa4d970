// Whole games against the weakest program, through the window's entry points: the player's moves are
// clicks chosen at random among the squares the board offers, the computer's come from the real think
// by the turn monitor's passes, and the record is checked after every move until the game ends.
#include <chrono>
#include <cstdlib>
#include <random>
#include <thread>

#include "app/turn_flow.h"
#include "app/game_end.h"
#include "play_fixture.h"

using namespace halvane;
using namespace halvane::test_support;

namespace {

struct Choice {
  Square from;   // col -1: a drop of `kind`
  int kind;
  Square to;
};

struct WholeGame : PlayTest {
  // Every move the board accepts from the player (as offered by the clicks' own target maps), except
  // taking the computer's king, which would leave the engine a position without one.
  std::vector<Choice> player_moves() {
    std::vector<Choice> out;
    for (int row = 0; row < 9; ++row)
      for (int col = 0; col < 9; ++col) {
        if (!is_sente_piece(at(col, row))) continue;
        click(col, row);
        EXPECT_EQ(gs->input.selection, 1);
        for (int r = 0; r < 9; ++r)
          for (int c = 0; c < 9; ++c)
            if (gs->input.target_map[gs_index(c, r)] && at(c, r) != GOTE_KING) out.push_back({{col, row}, 0, {c, r}});
        click(col, row);   // deselect
      }
    for (int k = 0; k < 7; ++k) {
      if (gs->record.hands[0][k] == 0) continue;
      for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 9; ++c)
          if (at(c, r) == SQ_EMPTY) out.push_back({{-1, -1}, k, {c, r}});
    }
    return out;
  }

  // Plays one random game; returns the number of moves played.
  void play(unsigned seed, bool as_sente) {
    std::mt19937 rng(seed);
    start(as_sente);
    gs->flags.allow_illegal = true;   // the random player's every move is played, fouls too
    int kings = 2;
    for (int move = 0; move < 400 && !gs->flags.game_over; ++move) {
      if (gs->flags.player_to_move) {
        std::vector<Choice> moves = player_moves();
        ASSERT_FALSE(moves.empty());
        // Prefer captures half the time, so that games also reach positions rich in pieces in hand.
        std::vector<Choice> captures;
        for (const Choice& m : moves)
          if (m.from.col >= 0 && is_gote_piece(at(m.to.col, m.to.row))) captures.push_back(m);
        const std::vector<Choice>& pool = !captures.empty() && rng() % 2 ? captures : moves;
        const Choice m = pool[rng() % pool.size()];
        const int length = gs->record.length;
        scripted_ui().answers.push_back(rng() % 4 ? ANSWER_YES : ANSWER_NO);
        if (m.from.col < 0) {
          click_hand(m.kind);
          // A pawn into a column with the player's pawn is refused: a refusal keeps the selection.
          click(m.to);
          if (gs->input.selection == 2) {
            click_hand(m.kind);
            ASSERT_EQ(gs->input.selection, 0);
            scripted_ui().answers.clear();
            continue;
          }
        } else {
          click(m.from);
          click(m.to);
        }
        scripted_ui().answers.clear();
        ASSERT_FALSE(gs->flags.player_to_move) << "seed " << seed << " move " << move;
        ASSERT_EQ(gs->record.length, length + 1);
        ASSERT_EQ(gs->record.current, gs->record.length);
        ASSERT_TRUE(slot_matches_screen(*gs, gs->record.current));
        ASSERT_TRUE(one_move_apart(*gs, gs->record.current, SENTE)) << "seed " << seed;
        ASSERT_TRUE(material_conserved(*gs, kings)) << "seed " << seed << " after the player's move " << move;
      } else {
        const int length = gs->record.length;
        run_computer_turn();
        ASSERT_TRUE(gs->flags.player_to_move);
        ASSERT_FALSE(gs->flags.thinking);
        if (gs->flags.game_over) break;
        ASSERT_EQ(gs->record.length, length + 1) << "seed " << seed;
        ASSERT_EQ(gs->record.current, gs->record.length);
        ASSERT_TRUE(slot_matches_screen(*gs, gs->record.current));
        ASSERT_TRUE(one_move_apart(*gs, gs->record.current, GOTE)) << "seed " << seed << " computer's move " << move;
        ASSERT_TRUE(material_conserved(*gs, kings)) << "seed " << seed << " after the computer's move " << move;
        const MoveRecord& r = gs->view.last_move;
        ASSERT_EQ(at(r.to_col, r.to_row), r.piece_after) << "the board shows the think's move";
        ASSERT_TRUE(is_gote_piece(r.piece_after));
      }
    }
    ASSERT_TRUE(gs->flags.game_over) << "seed " << seed << ": the game did not end";
    const std::u16string end = status();
    if (end == u"王手放置の反則負けです。試合終了です。") {
      EXPECT_EQ(gs->flags.end_reason, GAME_END_FOUL);
      EXPECT_EQ(gs->record.current, gs->record.length);
      EXPECT_EQ(gs->view.last_move.captured, KING);
      EXPECT_TRUE(material_conserved(*gs, 1)) << "one king left on the board";
    } else if (end == u"打ち歩詰めの反則負けです。試合終了です。") {
      EXPECT_EQ(gs->flags.end_reason, GAME_END_FOUL);
      EXPECT_TRUE(material_conserved(*gs, 2));
    } else if (end == TEXT_MATED) {
      EXPECT_TRUE(slot_matches_screen(*gs, gs->record.length)) << "the mating move is recorded";
      EXPECT_TRUE(material_conserved(*gs, 2));
    } else {
      EXPECT_EQ(end, u"コンピュータが投了しました。試合終了です。") << utf8(end);
      EXPECT_TRUE(material_conserved(*gs, 2));
    }
    // One box tells the end and who won: the player only when the computer gave up.
    int end_boxes = 0;
    for (const auto& box : boxes()) end_boxes += box.caption == GAME_END_CAPTION;
    EXPECT_EQ(end_boxes, 1) << "seed " << seed;
    const bool player_won = end == u"コンピュータが投了しました。試合終了です。";
    EXPECT_NE(boxes().back().text.find(player_won ? u"あなたの勝ちです。" : u"コンピュータの勝ちです。"), std::u16string::npos);
    // The whole record reads as alternating moves from the initial position.
    const int first_mover = as_sente ? SENTE : GOTE;
    for (int k = 1; k <= gs->record.length; ++k)
      EXPECT_TRUE(one_move_apart(*gs, k, k % 2 ? first_mover : 1 - first_mover)) << "seed " << seed << " slot " << k;
  }
};

}  // namespace

TEST_F(WholeGame, AgainstTheWeakestProgramAsSente) { play(1, true); }
TEST_F(WholeGame, AgainstTheWeakestProgramAsGote) { play(2, false); }

// The threads themselves, in a child process: they answer the player's move without any help, and the
// process ends cleanly with exit code 0 while the computer is still thinking.
TEST(TurnThreads, AnswerTheMoveAndLetTheProcessExitDuringAThink) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        auto* gs = new GameState;   // like the program's, alive until the process ends
        Engine* e = new_engine(STRENGTH_CHUUKARA).release();
        game_construct(*gs);
        game_reset_for_window(*gs);
        load_back_buffer();
        start_turn_threads(*gs, *e);
        scripted_ui().answers.push_back(ANSWER_YES);
        on_command(*gs, *e, CMD_START);
        on_left_button_up(*gs, *e, 2 * 40 + 20, 6 * 40 + 20);
        on_left_button_up(*gs, *e, 2 * 40 + 20, 5 * 40 + 20);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        auto wait_until = [&](auto done) {
          while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) std::exit(4);   // the threads did not act
            if (gs->flags.game_over) std::exit(5);   // an opening reply never ends the game
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
          }
        };
        wait_until([&] { return gs->flags.player_to_move && gs->record.length == 2; });
        if (gs->flags.game_over || !one_move_apart(*gs, 2, GOTE)) std::exit(3);
        // A second move, and the process leaves while the computer thinks about it.
        on_left_button_up(*gs, *e, 7 * 40 + 20, 6 * 40 + 20);
        on_left_button_up(*gs, *e, 7 * 40 + 20, 5 * 40 + 20);
        // (A think shorter than this thread's polling may already be over: the exit is then just as busy.)
        wait_until([&] { return gs->flags.thinking || gs->record.length == 4; });
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}
