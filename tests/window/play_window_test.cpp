// A move pair on the real window: the start button and its dialog, a pawn clicked and moved with the
// mouse on the board view, and the computer's reply appearing on the view and in the record, all through
// the widgets with the real think on its thread, its answer an event of the window's; then a variation
// played and chosen back in the alternatives under the move list.
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "app/commands.h"
#include "app/image.h"
#include "app/turn_flow.h"
#include "platform/window_program.h"
#include "tests/window/window_fixture.h"

using namespace halvane;

namespace {

// What the window shows at a view pixel, as 0xRRGGBB.
uint32_t shown(QWidget* view, int x, int y) { return view->grab().toImage().pixel(x, y) & 0xFFFFFF; }

// Just inside a square's black outline, where no piece picture reaches.
// View pixels: the board lies below the band of file numerals.
QPoint square_corner(int col, int row) { return {col * 40 + 2 + VIEW_ORIGIN_X, row * 40 + 2 + VIEW_ORIGIN_Y}; }
QPoint square_centre(int col, int row) { return {col * 40 + 20 + VIEW_ORIGIN_X, row * 40 + 20 + VIEW_ORIGIN_Y}; }

}  // namespace

class PlayWindowTest : public QObject {
  Q_OBJECT

  MainWindow* window_ = nullptr;

 private slots:
  void initTestCase() {
    window_ = open_test_window(STRENGTH_CHUUKARA);
    QVERIFY(window_);
  }

  void pawnMoveAndTheComputersReply() {
    BoardView* view = window_->view();

    // 1. Start: the new-game dialog, preset to the even game with the player first, accepted.
    QString caption;
    auto answer = on_next_modal<QDialog>([&](QDialog* dialog) {
      caption = dialog->windowTitle();
      dialog->accept();
    });
    QTest::mouseClick(window_->button(CMD_START), Qt::LeftButton);
    QCOMPARE(caption, text(u"新規対局"));
    QCOMPARE(window_->button(CMD_START)->text(), text(u"初期化"));
    QVERIFY(g_game.flags.started);
    QVERIFY(player_to_move(g_game));
    QTRY_COMPARE(QString::fromUtf16(g_game.view.status_text), text(u"プレイヤーの手番です。"));

    // 2. The pawn on the third file from the left: selected in blue, its square ahead green.
    QTest::mouseClick(view, Qt::LeftButton, {}, square_centre(2, 6));
    QCOMPARE(g_game.input.selection, 1);
    QTRY_COMPARE(shown(view, square_corner(2, 6).x(), square_corner(2, 6).y()), RGB_BLUE);
    QCOMPARE(shown(view, square_corner(2, 5).x(), square_corner(2, 5).y()), RGB_GREEN);

    // 3. Its destination: the move is recorded and the computer answers.
    QTest::mouseClick(view, Qt::LeftButton, {}, square_centre(2, 5));
    QCOMPARE(g_game.screen.board[gs_index(2, 5)], PAWN);
    QTRY_VERIFY_WITH_TIMEOUT(player_to_move(g_game) && !g_game.flags.thinking, 120000);
    QCOMPARE(shown_moves(g_game), 2);
    QCOMPARE(cursor_ply(g_game), 2);
    QVERIFY(!game_over(g_game));

    const MoveRecord m = g_game.view.last_move;
    QVERIFY(is_gote_piece(m.piece_after));
    QCOMPARE(g_game.screen.board[gs_index(m.to_col, m.to_row)], m.piece_after);
    if (!m.is_drop()) QCOMPARE(g_game.screen.board[gs_index(m.from_col, m.from_row)], int(SQ_EMPTY));

    // 4. The view shows the reply: the red last-move square under the computer's piece picture.
    const QPoint corner = square_corner(m.to_col, m.to_row);
    QTRY_COMPARE(shown(view, corner.x(), corner.y()), RGB_RED);
    const Image* picture = g_game.view.piece_images[m.piece_after];
    QVERIFY(picture);
    const QImage frame = view->grab().toImage();
    int compared = 0;
    for (int j = 0; j < 32; ++j)
      for (int i = 0; i < 32; ++i) {
        const uint32_t rgb = image_pixel(picture, i, j);
        if (rgb == RGB_WHITE) continue;   // transparent
        QCOMPARE(frame.pixel(square_corner(m.to_col, m.to_row).x() + 2 + i, square_corner(m.to_col, m.to_row).y() + 2 + j) & 0xFFFFFF, rgb);
        ++compared;
      }
    QVERIFY(compared > 0);
    // A book reply has no evaluation to show.
    QVERIFY(QString::fromUtf16(g_game.view.status_text).startsWith(text(u"プレイヤーの手番です。")));
    // The move list follows: the start, the player's move, the reply, the reply highlighted.
    QTRY_COMPARE(view->move_list()->count(), 3);
    QCOMPARE(view->move_list()->item(1)->text(), text(u"1 ▲７六歩"));
    QCOMPARE(view->move_list()->currentRow(), 2);
    QVERIFY2(!view->alternatives()->isEnabled(), "no alternatives yet");

    // 5. Back to the start (the list's first line), the pause lifted: another first move makes a
    // variation, marked in the list; the alternatives switch back to the first line.
    QTest::mouseClick(view->move_list()->viewport(), Qt::LeftButton, {},
                      view->move_list()->visualItemRect(view->move_list()->item(0)).center());
    QCOMPARE(cursor_ply(g_game), 0);
    QTest::mouseClick(window_->button(CMD_PAUSE), Qt::LeftButton);
    QTest::mouseClick(view, Qt::LeftButton, {}, square_centre(7, 6));
    QTest::mouseClick(view, Qt::LeftButton, {}, square_centre(7, 5));
    QTRY_VERIFY_WITH_TIMEOUT(player_to_move(g_game) && !g_game.flags.thinking, 120000);
    QTRY_COMPARE(view->move_list()->item(1)->text(), text(u"1 ▲２六歩+"));
    QCOMPARE(view->alternatives()->count(), 0);   // the move on the board has none
    QTest::mouseClick(view->move_list()->viewport(), Qt::LeftButton, {},
                      view->move_list()->visualItemRect(view->move_list()->item(1)).center());
    QTRY_COMPARE(view->alternatives()->count(), 2);
    QVERIFY(view->alternatives()->isEnabled());
    QCOMPARE(view->alternatives()->itemText(1), text(u"1 ▲７六歩 (変化)"));
    view->alternatives()->activated(1);
    QTRY_COMPARE(view->move_list()->item(1)->text(), text(u"1 ▲７六歩+"));
    QCOMPARE(view->move_list()->count(), 3);
    QCOMPARE(variation_count(g_game.game.record), 1);
  }
};

int main(int argc, char** argv) {
  start_application(argc, argv);
  PlayWindowTest test;
  const int failures = QTest::qExec(&test, argc, argv);
  // The turn threads never end: leave without tearing anything down under them.
  std::fflush(nullptr);
  std::_Exit(failures == 0 ? 0 : 1);
}

#include "play_window_test.moc"
