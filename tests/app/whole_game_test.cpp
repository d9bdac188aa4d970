// Whole games against the weakest program, through the window's entry points: the player's moves are
// clicks chosen at random among the squares the board offers, the computer's come from the real think
// on its thread, its answer run as the window's event, and the record is checked after every move until
// the game ends.
#include <cstdlib>
#include <random>

#include "app/game_end.h"
#include "app/turn_flow.h"
#include "fuzz/kif_input_check.h"
#include "kif/kif_start.h"
#include "kif_test_util.h"
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
      if (hand(0, k) == 0) continue;
      for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 9; ++c)
          if (at(c, r) == SQ_EMPTY) out.push_back({{-1, -1}, k, {c, r}});
    }
    return out;
  }

  // Plays one random game begun through the new-game dialog (the player sente, or gote in an even game).
  void play(unsigned seed, NewGameChoice choice) {
    std::mt19937 rng(seed);
    scripted_ui().new_game_answers.push_back(choice);
    command(CMD_START);
    gs->flags.allow_illegal = true;   // the random player's every move is played, fouls too
    int kings = 2;
    for (int move = 0; move < 400 && !game_over(*gs); ++move) {
      const int length = shown_moves(*gs);
      if (player_to_move(*gs)) {
        std::vector<Choice> moves = player_moves();
        ASSERT_FALSE(moves.empty());
        // Prefer captures half the time, so that games also reach positions rich in pieces in hand.
        std::vector<Choice> captures;
        for (const Choice& m : moves)
          if (m.from.col >= 0 && is_gote_piece(at(m.to.col, m.to.row))) captures.push_back(m);
        const std::vector<Choice>& pool = !captures.empty() && rng() % 2 ? captures : moves;
        const Choice m = pool[rng() % pool.size()];
        scripted_ui().answers.push_back(rng() % 4 ? ANSWER_YES : ANSWER_NO);
        if (m.from.col < 0) {
          click_hand(m.kind);
          click(m.to);
        } else {
          click(m.from);
          click(m.to);
        }
        scripted_ui().answers.clear();
        ASSERT_EQ(shown_moves(*gs), length + 1) << "seed " << seed << " move " << move;
        ASSERT_TRUE(board_at_ply(*gs, length + 1));
        ASSERT_TRUE(material_conserved(*gs, kings)) << "seed " << seed << " after the player's move " << move;
        if (game_over(*gs)) break;   // a foul, claimed at once
        ASSERT_FALSE(player_to_move(*gs)) << "seed " << seed << " move " << move;
        ASSERT_TRUE(legal_move_by(*gs, length + 1, SENTE)) << "seed " << seed;
      } else {
        run_computer_turn();
        ASSERT_FALSE(gs->flags.thinking);
        if (game_over(*gs)) break;
        ASSERT_TRUE(player_to_move(*gs));
        ASSERT_EQ(shown_moves(*gs), length + 1) << "seed " << seed;
        ASSERT_TRUE(board_at_ply(*gs, length + 1));
        ASSERT_TRUE(legal_move_by(*gs, length + 1, GOTE)) << "seed " << seed << " computer's move " << move;
        ASSERT_TRUE(material_conserved(*gs, kings)) << "seed " << seed << " after the computer's move " << move;
        const MoveRecord& r = gs->view.last_move;
        ASSERT_EQ(at(r.to_col, r.to_row), r.piece_after) << "the board shows the think's move";
        ASSERT_TRUE(is_gote_piece(r.piece_after));
      }
    }
    ASSERT_TRUE(game_over(*gs)) << "seed " << seed << ": the game did not end";
    const std::u16string end = status();
    if (end == u"王手放置の反則負けです。試合終了です。" || end == u"打ち歩詰めの反則負けです。試合終了です。" ||
        end == u"あなたの反則負けです。試合終了です。") {
      EXPECT_EQ(end_here(*gs), GAME_END_FOUL_WIN) << "the foul move ends the record";
      EXPECT_TRUE(material_conserved(*gs, 2));
    } else if (end == TEXT_MATED) {
      EXPECT_EQ(end_here(*gs), GAME_END_MATED) << "the mating move is recorded";
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
    // The whole record replays legally from the start, a foul only as its last move before 反則勝ち.
    EXPECT_EQ(fuzz::replays_legally(gs->game.record), "") << "seed " << seed;
  }
};

}  // namespace

TEST_F(WholeGame, AgainstTheWeakestProgramAsSente) { play(1, NewGameChoice{0, 0, -1}); }
TEST_F(WholeGame, AgainstTheWeakestProgramAsGote) { play(2, NewGameChoice{0, 1, -1}); }

// 角落ち with the computer as 上手, moving first from the handicap's start: played to its end, saved
// through the menu and loaded back the same.
TEST_F(WholeGame, HandicapGameSavedAndLoadedBack) {
  play(3, NewGameChoice{3, 0, -1});
  EXPECT_TRUE(legal_move_by(*gs, 1, GOTE)) << "上手 moved first";
  const std::string path = kif_test::temp_path("kakuochi_game.kif");
  std::filesystem::remove(path);
  scripted_ui().save_paths.push_back(path), scripted_ui().open_paths.push_back(path);
  command(CMD_SAVE_KIF);
  const GameRecord played = gs->game.record;
  command(CMD_LOAD_KIF);
  EXPECT_EQ(format_sfen(gs->game.record.start), HANDICAPS[3].sfen);
  EXPECT_EQ(fuzz::same_tree(played, gs->game.record), "");
}

// The think's thread in a child process: the player's move is answered through the window's event queue,
// and the process ends cleanly with exit code 0 while the computer is still thinking.
TEST(TurnThreads, AnswerTheMoveAndLetTheProcessExitDuringAThink) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        auto* gs = new GameState;   // like the program's, alive until the process ends
        Engine* e = new_engine(STRENGTH_CHUUKARA).release();
        game_construct(*gs);
        game_reset_for_window(*gs);
        load_back_buffer();
        on_command(*gs, *e, CMD_START);   // the new-game dialog accepted as preset: the player first
        on_left_button_up(*gs, *e, 2 * 40 + 20, 6 * 40 + 20);
        on_left_button_up(*gs, *e, 2 * 40 + 20, 5 * 40 + 20);
        if (!gs->flags.thinking) std::_Exit(4);   // the think did not start
        while (gs->flags.thinking) wait_for_window_event();
        if (game_over(*gs) || shown_moves(*gs) != 2 || !legal_move_by(*gs, 2, GOTE)) std::_Exit(3);
        // A second move, and the process leaves while the computer thinks about it.
        on_left_button_up(*gs, *e, 7 * 40 + 20, 6 * 40 + 20);
        on_left_button_up(*gs, *e, 7 * 40 + 20, 5 * 40 + 20);
        std::_Exit(gs->flags.thinking ? 0 : 5);
      },
      ::testing::ExitedWithCode(0), "");
}
