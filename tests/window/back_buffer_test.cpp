// The back buffer as Qt draws it, with the shipped wallpaper and piece pictures: the areas and the grid
// with their exact edges, every piece at (40*col + 4 + i, 40*row + 4 + j) with white transparent, the hand
// piles' step, the highlights, the progress strip and the texts on their white background.
#include <QImage>
#include <QTest>
#include <memory>

#include "app/data_files.h"
#include "app/game_state.h"
#include "app/render.h"
#include "search/engine.h"
#include "think/think.h"
#include "platform/image_qt.h"
#include "tests/window/window_fixture.h"

using namespace halvane;

namespace {

constexpr QRgb YELLOW = 0xFFFF00, RED = 0xFF0000, GREEN = 0x00FF00,
               BLUE = 0x0000FF;

// Picture file of each piece kind; 12 and 15 do not exist.
const char* const FILE_NAME[16] = {"hu",    "kyo",  "kei",  "gin",  "kin", "kaku", "hi",  "gyoku",
                                   "tokin", "nkyo", "nkei", "ngin", "",    "uma",  "ryu", ""};

QImage picture_of(int code) {
  const std::string name =
      std::string("koma/") + FILE_NAME[code & 15] + ((code & GOTE_BIT) ? "2.gif" : "1.gif");
  return QImage(QString::fromStdString(find_data_file(name))).convertToFormat(QImage::Format_RGB32);
}

QRgb rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

bool dark(QRgb c) { return qRed(c) + qGreen(c) + qBlue(c) < 3 * 100; }

}  // namespace

class BackBufferTest : public QObject {
  Q_OBJECT

  std::unique_ptr<GameState> gs_ = std::make_unique<GameState>();
  EngineHandle e_ = new_engine(STRENGTH_GEKIKARA);
  QImage wallpaper_;

  // What the window would copy: the buffer, read under the drawing lock.
  QImage shown() {
    return back_buffer_copy(QRect(VIEW_ORIGIN_X, VIEW_ORIGIN_Y, 700, 500));   // in design pixels
  }
  // The wallpaper under design pixel (x, y).
  QRgb wall(int x, int y) const { return rgb(wallpaper_, x + VIEW_ORIGIN_X, y + VIEW_ORIGIN_Y); }
  void set_progress(int column) { e_->root_progress = column; }

  QImage draw() {
    repaint(*gs_, *e_);
    return shown();
  }
  // Every non-white pixel of the piece's picture at (x, y), and the background colour elsewhere.
  int mismatches(const QImage& view, int code, int x, int y, QRgb background) {
    const QImage picture = picture_of(code);
    int wrong = 0;
    for (int j = 0; j < 32; ++j)
      for (int i = 0; i < 32; ++i) {
        const QRgb want = rgb(picture, i, j) == RGB_WHITE ? background : rgb(picture, i, j);
        if (rgb(view, x + i, y + j) != want) ++wrong;
      }
    return wrong;
  }

 private slots:
  void initTestCase() {
    game_construct(*gs_);
    QVERIFY2(load_back_buffer(), "the shipped wallpaper is found beside the test programs");
    wallpaper_ = QImage(QString::fromStdString(find_data_file("wallpaper.jpg"))).convertToFormat(QImage::Format_RGB32);
    QVERIFY(!wallpaper_.isNull());
  }

  void init() {
    game_reset_for_window(*gs_);
    load_piece_images(*gs_);
    gs_->view.last_move.to_col = gs_->view.last_move.to_row = -1;
  }

  void wallpaperIsTheSurface() {
    QVERIFY(back_buffer()->pixels.width() >= VIEW_WIDTH && back_buffer()->pixels.height() >= VIEW_HEIGHT);
    const QImage view = draw();
    const QImage& full = back_buffer()->pixels;
    for (QPoint p : {QPoint(395, 100), QPoint(650, 50), QPoint(600, 450)})
      QCOMPARE(rgb(view, p.x(), p.y()), wall(p.x(), p.y()));
    QCOMPARE(rgb(full, 1900, 1190), rgb(wallpaper_, 1900, 1190));
  }

  void piecePicturesLoadIntoTheirSlots() {
    for (int code = 0; code < 32; ++code) {
      const bool exists = (code & 15) != 12 && (code & 15) != 15;
      QVERIFY2((gs_->view.piece_images[code] != nullptr) == exists, qPrintable(QString("slot %1").arg(code)));
      if (exists) QCOMPARE(gs_->view.piece_images[code]->pixels.width(), 32);
    }
    // The computer's pictures are the player's rotated 180 degrees.
    const QImage mine = picture_of(KING), theirs = picture_of(GOTE_BIT | PAWN), my_pawn = picture_of(PAWN);
    QCOMPARE(theirs, my_pawn.mirrored(true, true));
    QVERIFY(mine != picture_of(GOTE_BIT | KING));
  }

  void areasAndGridHaveExactEdges() {
    const QImage view = draw();
    // Inside the three areas, away from pieces.
    QCOMPARE(rgb(view, 20, 60), YELLOW);
    QCOMPARE(rgb(view, 480, 100), YELLOW);
    QCOMPARE(rgb(view, 480, 300), YELLOW);
    // Grid lines at every 40 pixels, in the margins that pieces leave free.
    for (int d = 0; d <= 360; d += 40) {
      QVERIFY2(rgb(view, d, 2) == RGB_BLACK, qPrintable(QString("vertical line %1").arg(d)));
      QVERIFY2(rgb(view, 2, d) == RGB_BLACK, qPrintable(QString("horizontal line %1").arg(d)));
    }
    // Outlines end one pixel inside the right and bottom edges; lines stop short of their end point.
    QCOMPARE(rgb(view, 559, 50), RGB_BLACK);
    QCOMPARE(rgb(view, 560, 50), wall(560, 50));
    QCOMPARE(rgb(view, 480, 159), RGB_BLACK);
    QCOMPARE(rgb(view, 480, 160), wall(480, 160));
    QCOMPARE(rgb(view, 360, 359), RGB_BLACK);
    QCOMPARE(rgb(view, 360, 360), wall(360, 360));
    QCOMPARE(rgb(view, 395, 100), wall(395, 100));   // between the rank numerals and the hands
  }

  void everyPieceAtItsSquareWithWhiteTransparent() {
    const QImage view = draw();
    int pieces = 0;
    for (int row = 0; row < 9; ++row)
      for (int col = 0; col < 9; ++col) {
        const int code = gs_->screen.board[gs_index(col, row)];
        if (code == SQ_EMPTY) continue;
        ++pieces;
        QVERIFY2(mismatches(view, code, 40 * col + 4, 40 * row + 4, YELLOW) == 0,
                 qPrintable(QString("piece %1 on (%2, %3)").arg(code).arg(col).arg(row)));
      }
    QCOMPARE(pieces, 40);
    // A promoted piece and the computer's king on otherwise empty squares.
    gs_->screen.board[gs_index(4, 4)] = DRAGON;
    gs_->screen.board[gs_index(0, 4)] = GOTE_BIT | HORSE;
    const QImage again = draw();
    QCOMPARE(mismatches(again, DRAGON, 164, 164, YELLOW), 0);
    QCOMPARE(mismatches(again, GOTE_BIT | HORSE, 4, 164, YELLOW), 0);
  }

  void handPilesStepAndPlaces() {
    gs_->screen.hands[0][PAWN] = 18;
    gs_->screen.hands[0][BISHOP] = 1;
    gs_->screen.hands[1][BISHOP] = 1;
    const QImage view = draw();
    QCOMPARE(mismatches(view, BISHOP, 404, 324, YELLOW), 0);
    QCOMPARE(mismatches(view, GOTE_BIT | BISHOP, 404, 4, YELLOW), 0);
    // 18 pawns: one picture with its count beside it, dark glyphs on the yellow, and nothing further right
    // up to the clock that stands beside the hand from x 480 on.
    int count_pixels = 0;
    for (int y = 212; y < 232; ++y)
      for (int x = 438; x < 470; ++x) count_pixels += dark(rgb(view, x, y));
    QVERIFY(count_pixels > 10);
    for (int x = 470; x < 480; ++x) QCOMPARE(rgb(view, x, 220), YELLOW);
    QCOMPARE(mismatches(view, PAWN, 404, 204, YELLOW), 0);
  }

  void highlightsOnlyOnThePlayersTurn() {
    gs_->input.selection = 1;
    gs_->input.sel_col = 2, gs_->input.sel_row = 6, gs_->input.sel_piece = PAWN;
    gs_->input.target_map[gs_index(2, 5)] = 1;
    gs_->view.show_last_move = 1;
    gs_->view.last_move.to_col = 4, gs_->view.last_move.to_row = 4;
    struct Row { bool player_to_move; QRgb last, selected, target; } rows[] = {
        {false, YELLOW, YELLOW, YELLOW}, {true, RED, BLUE, GREEN}};
    for (const Row& row : rows) {
      gs_->flags.thinking = !row.player_to_move;   // the computer's turn is its think
      const QImage view = draw();
      const char* turn = row.player_to_move ? "player's turn" : "computer's turn";
      QVERIFY2(rgb(view, 181, 181) == row.last, turn);
      QVERIFY2(rgb(view, 81, 241) == row.selected, turn);
      QVERIFY2(rgb(view, 81, 201) == row.target, turn);
    }
    // The last-move square: a black outline, red inside, from 160 to 199.
    const QImage view = shown();
    QCOMPARE(rgb(view, 160, 170), RGB_BLACK);
    QCOMPARE(rgb(view, 199, 170), RGB_BLACK);
    QCOMPARE(rgb(view, 161, 161), RED);
    QCOMPARE(rgb(view, 198, 198), RED);
    // The selected pawn is drawn over its blue square.
    QCOMPARE(mismatches(view, PAWN, 84, 244, BLUE), 0);
    // A hand piece's cell.
    gs_->input.selection = 2;
    gs_->input.hand_cell_col = 12, gs_->input.hand_cell_row = 6;
    QCOMPARE(rgb(draw(), 485, 245), BLUE);
  }

  void progressStrip() {
    gs_->flags.thinking = true;
    set_progress(3);
    gs_->view.progress_drawn = 0;
    QImage view = draw();
    for (int y = 364; y < 368; ++y) {
      QCOMPARE(rgb(view, 0, y), RED);
      QCOMPARE(rgb(view, 159, y), RED);
      QCOMPARE(rgb(view, 160, y), RGB_WHITE);
      QCOMPARE(rgb(view, 359, y), RGB_WHITE);
    }
    QCOMPARE(rgb(view, 100, 363), wall(100, 363));
    // The same value again is not drawn again.
    view = draw();
    QCOMPARE(rgb(view, 0, 365), RGB_WHITE);
    // Once the think is over the strip is white and the counter starts again.
    set_progress(5);
    gs_->flags.thinking = false;
    view = draw();
    QCOMPARE(rgb(view, 0, 365), RGB_WHITE);
    QCOMPARE(gs_->view.progress_drawn, 0);
  }

  void statusLineOverwritesTheOldOne() {
    set_status(gs_->view, u"コンピュータが投了しました。試合終了です。1234");
    QImage view = draw();
    auto dark_in = [&](int left, int right, int top, int bottom) {
      int n = 0;
      for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) n += dark(rgb(view, x, y));
      return n;
    };
    QVERIFY(dark_in(200, 330, 390, 408) > 20);
    set_status(gs_->view, u"先手");
    view = draw();
    QVERIFY(dark_in(0, 32, 390, 408) > 10);
    QCOMPARE(dark_in(40, 395, 390, 408), 0);
    // The erased line is opaque white, not the wallpaper.
    QCOMPARE(rgb(view, 390, 392), RGB_WHITE);
    // The version label, black on white.
    QVERIFY(dark_in(400, 540, 360, 378) > 20);
  }
};

QTEST_MAIN(BackBufferTest)
#include "back_buffer_test.moc"
