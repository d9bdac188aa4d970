// The drawn view, checked pixel by pixel on in-memory pictures: areas and grid, pieces with white
// transparent, the hand piles, highlights only while the player may move, the progress strip, the texts.
#include <gtest/gtest.h>

#include <memory>

#include "app/game_state.h"
#include "app/render.h"
#include "search/engine.h"
#include "think/think.h"
#include "app/image.h"
#include "support/memory_image.h"
#include "support/scripted_ui.h"

using namespace halvane;

namespace {

struct RenderTest : ::testing::Test {
  std::unique_ptr<GameState> gs = std::make_unique<GameState>();
  EngineHandle e = new_engine(STRENGTH_CHUUKARA);
  Image* buffer = nullptr;

  void SetUp() override {
    game_construct(*gs);
    game_reset_for_window(*gs);
    load_back_buffer();
    buffer = back_buffer();
    // Piece pictures: a white square with a coloured 2 x 2 mark at (1, 1) whose colour names the code.
    for (int code = 0; code < 32; ++code) {
      gs->view.piece_images[code] = image_create(32, 32, RGB_WHITE);
      for (int j = 1; j < 3; ++j)
        for (int i = 1; i < 3; ++i) image_set_pixel(gs->view.piece_images[code], i, j, 0x100 + code);
    }
  }
  void TearDown() override {
    for (auto& image : gs->view.piece_images) image_free(image);
  }
  // A pixel at design coordinates: the design lies below the band of the file numerals.
  uint32_t at(int x, int y) const { return image_pixel(buffer, x + VIEW_ORIGIN_X, y + VIEW_ORIGIN_Y); }
};

}  // namespace

TEST_F(RenderTest, AreasGridAndPiecesWithWhiteTransparent) {
  repaint(*gs, *e);
  EXPECT_EQ(at(20, 60), RGB_YELLOW) << "inside a board square, away from pieces";
  EXPECT_EQ(at(480, 100), RGB_YELLOW) << "computer's hand area";
  EXPECT_EQ(at(480, 300), RGB_YELLOW) << "player's hand area";
  for (int d = 0; d <= 360; d += 40) {
    EXPECT_EQ(at(d, 125), RGB_BLACK) << "vertical grid line " << d;
    EXPECT_EQ(at(125, d), RGB_BLACK) << "horizontal grid line " << d;
  }
  EXPECT_NE(at(395, 100), RGB_YELLOW) << "the wallpaper shows between the areas";
  // The player's pawn on (2, 6): its mark at (40*2 + 4 + 1, 40*6 + 4 + 1); the white around it is transparent.
  EXPECT_EQ(at(85, 245), 0x100u + 0);
  EXPECT_EQ(at(84, 244), RGB_YELLOW);
  EXPECT_EQ(at(4 * 40 + 4 + 1, 4 + 1), 0x100u + GOTE_KING) << "the computer's king on (4, 0)";
  EXPECT_GT(test_support::scripted_ui().repaint_requests.load(), 0) << "the window is asked to show the buffer";
}

// Each kind in a hand is drawn once at its pile's origin, its count beside it when more than one; the
// coordinates stand above and beside the board, rotated with the view.
TEST_F(RenderTest, CountedHandsAndCoordinates) {
  gs->screen.hands[0][PAWN] = 18;
  gs->screen.hands[0][BISHOP] = 1;
  gs->screen.hands[1][BISHOP] = 2;
  gs->screen.hands[1][KING] = 1;       // a captured king is never drawn
  repaint(*gs, *e);
  EXPECT_EQ(at(404 + 1, 204 + 1), 0x100u + PAWN);
  EXPECT_EQ(at(410 + 1, 204 + 1), RGB_YELLOW) << "one pawn drawn, not a pile";
  EXPECT_EQ(test_support::last_text_at(buffer, 400 + 38, 200 + 12), u"18");
  EXPECT_EQ(at(404 + 1, 324 + 1), 0x100u + BISHOP);
  EXPECT_EQ(at(404 + 1, 4 + 1), 0x100u + GOTE_BIT + BISHOP);
  EXPECT_EQ(test_support::last_text_at(buffer, 400 + 38, 0 + 12), u"2");
  EXPECT_EQ(at(520 + 4 + 1, 4 + 1), RGB_YELLOW) << "no king in the computer's hand pile";
  for (int gote = 0; gote < 2; ++gote) {
    gs->screen.rotated = gote;   // gote at the bottom
    repaint(*gs, *e);
    EXPECT_EQ(test_support::last_text_at(buffer, 11, -21), gote ? u"１" : u"９") << "leftmost file, gote " << gote;
    EXPECT_EQ(test_support::last_text_at(buffer, 371, 8 * 40 + 11), gote ? u"一" : u"九") << "bottom rank";
  }
}

TEST_F(RenderTest, HighlightsOnlyOnThePlayersTurn) {
  gs->view.last_move.to_col = 6;
  gs->view.last_move.to_row = 3;
  gs->view.show_last_move = 1;
  gs->input.selection = 1;
  gs->input.sel_col = 7;
  gs->input.sel_row = 7;
  gs->input.target_map[gs_index(7, 6)] = 1;
  gs->flags.thinking = true;   // the computer's turn
  repaint(*gs, *e);
  EXPECT_EQ(at(6 * 40 + 20, 3 * 40 + 20), RGB_YELLOW) << "no last-move mark on the computer's turn";
  EXPECT_EQ(at(7 * 40 + 20, 7 * 40 + 20), RGB_YELLOW) << "no selection on the computer's turn";
  gs->flags.thinking = false;
  repaint(*gs, *e);
  EXPECT_EQ(at(6 * 40 + 20, 3 * 40 + 20), RGB_RED);
  EXPECT_EQ(at(6 * 40, 3 * 40 + 20), RGB_BLACK) << "one-pixel black outline";
  EXPECT_EQ(at(7 * 40 + 20, 7 * 40 + 20), RGB_BLUE);
  EXPECT_EQ(at(7 * 40 + 20, 6 * 40 + 20), RGB_GREEN);
  gs->view.last_move.to_col = -1;   // what navigation does: the mark disappears
  gs->input.selection = 2;
  gs->input.hand_cell_col = 12;
  gs->input.hand_cell_row = 6;
  repaint(*gs, *e);
  EXPECT_EQ(at(6 * 40 + 20, 3 * 40 + 20), RGB_YELLOW);
  EXPECT_EQ(at(12 * 40 + 20, 6 * 40 + 20), RGB_BLUE) << "the hand cell of the selected piece";
}

TEST_F(RenderTest, ProgressStripDrawsEachNewValueOnce) {
  gs->flags.thinking = true;
  e->root_progress = 3;
  repaint(*gs, *e);
  EXPECT_EQ(at(0, 364), RGB_RED);
  EXPECT_EQ(at(159, 367), RGB_RED);
  EXPECT_EQ(at(160, 365), RGB_WHITE);
  EXPECT_EQ(gs->view.progress_drawn, 3);
  repaint(*gs, *e);
  EXPECT_EQ(at(0, 364), RGB_WHITE) << "an unchanged value leaves the strip white";
  gs->flags.thinking = false;
  repaint(*gs, *e);
  EXPECT_EQ(gs->view.progress_drawn, 0);
}

TEST_F(RenderTest, StatusLineAndVersionLabel) {
  set_status(gs->view, u"コンピュータの思考中です");
  repaint(*gs, *e);
  EXPECT_EQ(test_support::last_text_at(buffer, 0, 390), u"コンピュータの思考中です");
  EXPECT_EQ(test_support::last_text_at(buffer, 400, 360), u"Halvane ver" HALVANE_VERSION);
  // The status is written over 25 full-width spaces first, so a shorter text leaves nothing behind.
  const auto& texts = test_support::texts_on(buffer);
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[texts.size() - 3].text, std::u16string(25, u'　'));
}
