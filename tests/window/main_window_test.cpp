// The main window on Qt's offscreen platform: title per program, the six buttons' captions and places,
// the menus and their command ids, the about box by its keys and menu item, the paint that shows the back
// buffer, events posted from worker threads run on the window thread, the message boxes and file
// dialogs the game uses, and the position editor's controls.
#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QSpinBox>
#include <QToolButton>
#include <QTemporaryDir>
#include <atomic>
#include <thread>
#include <tuple>
#include <vector>

#include "app/commands.h"
#include "app/turn_flow.h"
#include "app/ui.h"
#include "platform/settings.h"
#include "platform/window_program.h"
#include "tests/window/window_fixture.h"

using namespace halvane;

namespace {

// The file dialogs' filters: KIF records by both extensions, and any file.
const QStringList OPEN_FILTERS = {"棋譜ファイル (*.kif *.kifu *.ki2 *.csa *.sfen *.usi)", "すべてのファイル (*)"};
const QStringList SAVE_FILTERS = {"KIF (*.kif)", "KIF UTF-8 (*.kifu)", "KI2 (*.ki2)", "CSA (*.csa)", "SFEN (*.sfen)", "USI (*.usi)"};

// Types a name into the dialog's file name box and presses its Open or Save button.
void choose(QFileDialog* dialog, const QString& name) {
  QLineEdit* box = dialog->findChild<QLineEdit*>("fileNameEdit");
  if (box) box->setText(name);
  static_cast<QDialog*>(dialog)->accept();
}

// An empty file at `path` for the dialogs to find; closed when the QFile goes.
bool create_empty(const QString& path) { return QFile(path).open(QIODevice::WriteOnly); }

bool japanese_gothic(const QFont& font) {
  const QString family = QFontInfo(font).family();
  return family.contains("Gothic") || family.contains("CJK JP");
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

  MainWindow* window_ = nullptr;

 private slots:
  void initTestCase() {
    window_ = open_test_window(STRENGTH_CHUUKARA);
    QVERIFY(window_);
    QCOMPARE(main_window(), window_);
  }

  void applicationNameAndFonts() {
    QCOMPARE(QCoreApplication::applicationName(), QString("HALVANE"));
    QVERIFY2(japanese_gothic(QApplication::font()), qPrintable(QFontInfo(QApplication::font()).family()));
    QVERIFY2(japanese_gothic(picture_text_font()), qPrintable(QFontInfo(picture_text_font()).family()));
    QVERIFY(!window_->windowIcon().isNull());
  }

  void titlePerProgram() {
    struct Row { const Strength* strength; const char16_t* title; } rows[] = {
        {&STRENGTH_CHUUKARA, u"ハルベイン（中辛）"},
        {&STRENGTH_KARAKUCHI, u"ハルベイン（辛口）"},
        {&STRENGTH_GEKIKARA, u"ハルベイン（激辛）"}};
    for (const Row& row : rows) {
      MainWindow window(g_game, *g_engine_handle, *row.strength);
      QCOMPARE(window.windowTitle(), text(row.title));
    }
    QCOMPARE(window_->windowTitle(), text(u"ハルベイン（中辛）"));
  }

  void sixButtonsInTheClientArea() {
    struct Row { int id; const char16_t* caption; QRect place; } rows[] = {
        {0, u"開始", {300, 370, 80, 20}}, {1, u"<<", {400, 179, 32, 20}}, {2, u"<", {432, 179, 32, 20}},
        {5, u"ll", {464, 179, 32, 20}},  {3, u">", {496, 179, 32, 20}},  {4, u">>", {528, 179, 32, 20}},
        {CMD_TAKE_BACK, u"待った", {560, 179, 40, 20}}};
    const auto buttons = window_->view()->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly);
    QCOMPARE(buttons.size(), 7);
    for (const Row& row : rows) {
      QPushButton* button = window_->button(row.id);
      QVERIFY(button);
      QCOMPARE(button->text(), text(row.caption));
      QCOMPARE(button->geometry(), row.place.translated(VIEW_ORIGIN_X, VIEW_ORIGIN_Y));
      QCOMPARE(button->parentWidget(), window_->view());
      QVERIFY(button->isVisible());
    }
    // The client area starts below the menu bar, and the window shows the whole view at its default size.
    const QPoint origin = window_->view()->mapTo(window_, QPoint(0, 0));
    QVERIFY(origin.y() >= window_->menuBar()->geometry().bottom());
    QVERIFY(window_->view()->width() >= 560);
    QVERIFY(window_->view()->height() >= 410);
  }

  void menusAndTheirIds() {
    struct Item { const char16_t* text; int id; };
    struct Menu { const char16_t* title; std::vector<Item> items; } menus[] = {
        {u"ファイル(&F)",
         {{u"棋譜を読み込む", 10001}, {u"棋譜を保存する", 10002}, {u"盤を反転させる", 10003},
          {u"盤面を反転表示", CMD_FLIP_VIEW}, {u"終了する(&X)", 105}}},
        {u"編集(&E)", {{u"局面をコピー", CMD_COPY_POSITION}, {u"棋譜をコピー", CMD_COPY_RECORD}, {u"貼り付け", CMD_PASTE}}},
        {u"対局(&G)", {{u"待った", CMD_TAKE_BACK}, {u"新規対局", CMD_NEW_GAME}, {u"投了", CMD_RESIGN},
                      {u"局面編集", CMD_EDIT_POSITION}, {u"ヒント", CMD_HINT}}},
        {u"検討(&K)",
         {{u"検討開始", CMD_STUDY_START}, {u"検討終了", CMD_STUDY_STOP}, {u"棋譜解析", CMD_ANALYSE_RECORD},
          {u"詰み探索", CMD_MATE_SEARCH}, {u"候補手の数", 0}}},
        {u"ヘルプ(&H)", {{u"遊び方", CMD_HELP}, {u"バージョン情報(&A)...", 104}}}};
    const auto bar = window_->menuBar()->actions();
    QCOMPARE(bar.size(), 6);
    QCOMPARE(bar[4]->text(), text(u"設定(&S)"));
    const int places[] = {0, 1, 2, 3, 5};
    for (int m = 0; m < 5; ++m) {
      QCOMPARE(bar[places[m]]->text(), text(menus[m].title));
      const auto items = bar[places[m]]->menu()->actions();
      QCOMPARE(items.size(), qsizetype(menus[m].items.size()));
      for (size_t i = 0; i < menus[m].items.size(); ++i) {
        QCOMPARE(items[i]->text(), text(menus[m].items[i].text));
        QCOMPARE(items[i]->data().toInt(), menus[m].items[i].id);
      }
    }
    const auto game_items = bar[2]->menu()->actions();
    QCOMPARE(game_items[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(game_items[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    const auto edit_items = bar[1]->menu()->actions();
    QCOMPARE(edit_items[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    QCOMPARE(edit_items[1]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    QCOMPARE(edit_items[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
    QCOMPARE(bar[3]->menu()->actions()[0]->shortcut(), QKeySequence(Qt::Key_F2));
  }

  // 設定: the time limits checked one at a time, 30秒, 先読み and 変化を残す at first, 反則手も指せる off; a
  // choice reaches the game and is remembered for the next run.
  void settingsMenuReachesTheGameAndIsRemembered() {
    QMenu* settings_menu = window_->menuBar()->actions()[4]->menu();
    const auto items = settings_menu->actions();
    QCOMPARE(items.size(), 6);
    QCOMPARE(items[0]->text() + items[1]->text() + items[2]->text() + items[3]->text() + items[4]->text() +
                 items[5]->text(),
             text(u"思考時間の上限先読み反則手も指せる変化を残す強さエンジン設定…"));
    QVERIFY(items[3]->isCheckable() && items[3]->isChecked() && g_game.flags.keep_variations);
    QVERIFY(items[1]->isCheckable() && items[1]->isChecked());
    QVERIFY(items[2]->isCheckable() && !items[2]->isChecked() && !g_game.flags.allow_illegal);
    const auto limits = items[0]->menu()->actions();
    const char16_t* names[] = {u"無制限", u"60秒", u"30秒", u"10秒", u"5秒"};
    const int ms[] = {0, 60000, 30000, 10000, 5000};
    QCOMPARE(limits.size(), 5);
    for (int i = 0; i < 5; ++i) QVERIFY(limits[i]->text() == text(names[i]) && limits[i]->isChecked() == (i == 2));
    QCOMPARE(g_game.flags.think_limit_ms, 30000);
    for (int i : {3, 1, 0, 4}) {
      limits[i]->trigger();
      QVERIFY(g_game.flags.think_limit_ms == ms[i] && saved_settings().think_limit_ms == ms[i]);
      for (int j = 0; j < 5; ++j) QCOMPARE(limits[j]->isChecked(), j == i);
    }
    items[1]->trigger();
    QVERIFY(!g_game.flags.think_ahead && !saved_settings().think_ahead);
    items[1]->trigger();
    QVERIFY(g_game.flags.think_ahead && saved_settings().think_ahead);
    items[2]->trigger();
    QVERIFY(g_game.flags.allow_illegal && saved_settings().allow_illegal);
    items[3]->trigger();
    QVERIFY(!g_game.flags.keep_variations && !saved_settings().keep_variations);
    items[3]->trigger();
    QVERIFY(g_game.flags.keep_variations && saved_settings().keep_variations);
    // 強さ: the program's own level checked; another names the window and is remembered for this program.
    const auto levels = items[4]->menu()->actions();
    QVERIFY(levels.size() == 3 && levels[0]->isChecked() && !levels[2]->isChecked());
    levels[2]->trigger();
    QVERIFY(levels[2]->isChecked() && !levels[0]->isChecked() && saved_settings().chosen_levels[0] == 2);
    QCOMPARE(window_->windowTitle(), text(u"ハルベイン（激辛）"));
    levels[0]->trigger();
    QCOMPARE(window_->windowTitle(), text(u"ハルベイン（中辛）"));
    // Back to no limit, so that the game below thinks as it always did.
    limits[0]->trigger();
    QCOMPARE(saved_settings().think_limit_ms, 0);
    // A change that cannot be saved says why, and the file keeps what it had.
    std::string before, after;
    QVERIFY(read_file_bytes(settings_path(), before).ok());
    file_ops.fsync = [](int) { return errno = ENOSPC, -1; };
    QString said;
    auto watch = on_next_modal<QMessageBox>([&](QMessageBox* box) { said = box->text(), box->accept(); });
    limits[4]->trigger();
    file_ops = SYSTEM_FILE_OPS;
    QCOMPARE(said, text(u"設定を保存できませんでした。\nディスクの容量不足です。"));
    QVERIFY(read_file_bytes(settings_path(), after).ok() && after == before);
    limits[0]->trigger();
  }

  void aboutBoxByKeysAndMenu_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Alt+?") << int(Qt::Key_Question) << int(Qt::AltModifier);
    QTest::newRow("Alt+Shift+? as typed") << int(Qt::Key_Question) << int(Qt::AltModifier | Qt::ShiftModifier);
    QTest::newRow("Alt+/") << int(Qt::Key_Slash) << int(Qt::AltModifier);
    QTest::newRow("menu item") << 0 << 0;
  }
  void aboutBoxByKeysAndMenu() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    struct Seen { QString title, text; bool icon = false, ok_default = false, owned = false, gothic = false;
                  int result = -1; } seen;
    auto watch = on_next_modal<QDialog>([&](QDialog* box) {
      seen.title = box->windowTitle();
      seen.owned = box->parentWidget() == window_;
      seen.gothic = japanese_gothic(box->font());
      for (QLabel* label : box->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) seen.text = label->text();
        if (!label->pixmap().isNull()) seen.icon = true;
      }
      QPushButton* ok = nullptr;
      for (QPushButton* button : box->findChildren<QPushButton*>())
        if (button->text() == "OK") ok = button;
      if (!ok) return box->done(0);
      seen.ok_default = ok->isDefault();
      QObject::connect(box, &QDialog::finished, [&seen](int result) { seen.result = result; });
      QTest::mouseClick(ok, Qt::LeftButton);
    });
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    if (key) {
      QTest::keyClick(window_, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    } else {
      window_->menuBar()->actions()[5]->menu()->actions()[1]->trigger();
    }
    QCOMPARE(seen.title, text(u"バージョン情報 Halvane"));
    QCOMPARE(seen.text, QString("Halvane, version " HALVANE_VERSION));
    QVERIFY(seen.icon);
    QVERIFY(seen.ok_default);
    QVERIFY(seen.owned);
    QVERIFY(seen.gothic);
    QCOMPARE(seen.result, 1);
    QVERIFY(!QApplication::activeModalWidget());
  }

  void paintShowsTheBackBuffer() {
    // The turn threads may draw between the two reads; the comparison settles as soon as they pause.
    auto differing = [this] {
      const QImage painted =
          window_->view()->grab(QRect(0, 0, 600, 410)).toImage().convertToFormat(QImage::Format_RGB32);
      const QImage buffer = back_buffer_copy(QRect(0, 0, 600, 410));
      int count = 0;
      for (int y = 0; y < 410; ++y)
        for (int x = 0; x < 600; ++x) {
          bool on_button = false;
          for (QWidget* child : window_->view()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            on_button = on_button || child->geometry().contains(x, y);
          if (!on_button && painted.pixel(x, y) != buffer.pixel(x, y)) ++count;
        }
      return count;
    };
    QTRY_COMPARE(differing(), 0);
  }

  // What a worker thread posts (the computer's answer) runs on the window thread, in order, and what it
  // draws is painted there.
  void eventsFromWorkerThreadsRunOnTheWindowThread() {
    struct Watch : QObject {
      std::atomic<int> paints{0};
      std::atomic<bool> off_thread{false};
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
          ++paints;
          if (QThread::currentThread() != qApp->thread()) off_thread = true;
        }
        return false;
      }
    } watch;
    QTest::qWait(50);
    window_->view()->installEventFilter(&watch);
    std::vector<int> ran;
    bool elsewhere = false;
    std::thread worker([&] {
      for (int i = 0; i < 5; ++i)
        post_to_window([&, i] {
          elsewhere |= QThread::currentThread() != qApp->thread();
          ran.push_back(i);
          repaint(g_game, *g_engine_handle);
        });
    });
    worker.join();
    QTRY_COMPARE(ran.size(), size_t(5));
    QCOMPARE(ran, (std::vector<int>{0, 1, 2, 3, 4}));
    QVERIFY(!elsewhere);
    QTRY_VERIFY(watch.paints > 0);
    window_->view()->removeEventFilter(&watch);
    QVERIFY(!watch.off_thread);
  }

  void buttonCaptions() {
    set_button_caption(CMD_PAUSE, u"■");
    QCOMPARE(window_->button(CMD_PAUSE)->text(), text(u"■"));
    set_button_caption(CMD_START, u"初期化");
    QCOMPARE(window_->button(CMD_START)->text(), text(u"初期化"));
    set_button_caption(CMD_PAUSE, u"ll");
    set_button_caption(CMD_START, u"開始");
    QCOMPARE(window_->button(CMD_PAUSE)->text(), QString("ll"));
  }

  void messageBoxes_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("answer");
    QTest::newRow("OK box") << int(BOX_INFORMATION) << int(BOX_OK) << int(QMessageBox::Ok) << int(ANSWER_OK);
    QTest::newRow("question, Yes") << int(BOX_QUESTION) << int(BOX_YES_NO) << int(QMessageBox::Yes) << int(ANSWER_YES);
    QTest::newRow("question, No") << int(BOX_QUESTION) << int(BOX_YES_NO) << int(QMessageBox::No) << int(ANSWER_NO);
    QTest::newRow("warning") << int(BOX_WARNING) << int(BOX_OK) << int(QMessageBox::Ok) << int(ANSWER_OK);
    QTest::newRow("error") << int(BOX_ERROR) << int(BOX_OK) << int(QMessageBox::Ok) << int(ANSWER_OK);
    for (auto [name, press, answer] : {std::tuple{"save", QMessageBox::Save, ANSWER_YES},
                                       std::tuple{"discard", QMessageBox::Discard, ANSWER_NO},
                                       std::tuple{"cancel", QMessageBox::Cancel, ANSWER_CANCEL}})
      QTest::newRow(name) << int(BOX_QUESTION) << int(BOX_SAVE_DISCARD_CANCEL) << int(press) << int(answer);
  }
  void messageBoxes() {
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(int, answer);
    static constexpr QMessageBox::Icon QT_ICON[] = {QMessageBox::Information, QMessageBox::Question,
                                                   QMessageBox::Warning, QMessageBox::Critical};
    struct Seen { QString text, caption; QMessageBox::Icon icon{}; QMessageBox::StandardButtons buttons; bool owned = false; } seen;
    auto watch = on_next_modal<QMessageBox>([&](QMessageBox* box) {
      seen = {box->text(), box->windowTitle(), box->icon(), box->standardButtons(), box->parentWidget() == window_};
      if (box->standardButtons() & QMessageBox::Save)   // the question's own words on its buttons
        QVERIFY(box->button(QMessageBox::Save)->text() + box->button(QMessageBox::Discard)->text() +
                    box->button(QMessageBox::Cancel)->text() == text(u"保存保存しないキャンセル"));
      QTest::mouseClick(box->button(QMessageBox::StandardButton(press)), Qt::LeftButton);
    });
    const BoxAnswer got = message_box(u"成りますか？", u"成り・不成の選択", BoxIcon(icon), BoxButtons(buttons));
    QCOMPARE(int(got), answer);
    QCOMPARE(seen.text, text(u"成りますか？"));
    QCOMPARE(seen.caption, text(u"成り・不成の選択"));
    QCOMPARE(seen.icon, QT_ICON[icon]);
    const QMessageBox::StandardButtons expected[] = {QMessageBox::Ok, QMessageBox::Yes | QMessageBox::No,
                                                     QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel};
    QCOMPARE(seen.buttons, expected[buttons]);
    QVERIFY(seen.owned);
  }

  // 新規対局's time control: 0分 + 10秒, the second mover 5分 of its own; the choice reaches the game's
  // settings and the settings file, and the dialog opens with it again.
  void newGameDialogTakesATimeControlAndRemembersIt() {
    const auto spin = [](QDialog* d, const char* name) { return d->findChild<QSpinBox*>(name); };
    auto watch = on_next_modal<QDialog>([&](QDialog* dialog) {
      dialog->findChild<QComboBox*>("time_kind")->setCurrentIndex(1);
      spin(dialog, "first_minutes")->setValue(0);
      spin(dialog, "first_seconds")->setValue(10);
      dialog->findChild<QCheckBox*>("each_side")->setChecked(true);
      spin(dialog, "second_minutes")->setValue(5);
      spin(dialog, "second_seconds")->setValue(10);
      dialog->accept();
    });
    NewGameChoice choice;
    QVERIFY(new_game_dialog(choice));
    const ClockSettings expected{true, {{0, 10000, 0}, {300000, 10000, 0}}};
    QVERIFY(choice.clock == expected);
    QVERIFY(saved_settings().clock == expected);
    int shown[4] = {};
    auto again = on_next_modal<QDialog>([&](QDialog* dialog) {
      const char* names[4] = {"first_minutes", "first_seconds", "second_minutes", "second_seconds"};
      for (int i = 0; i < 4; ++i) shown[i] = spin(dialog, names[i])->value();
      dialog->reject();
    });
    QVERIFY(!new_game_dialog(choice));
    QCOMPARE(std::vector<int>(shown, shown + 4), std::vector<int>({0, 10, 5, 10}));
  }

  void openDialogTakesExistingKifFiles() {
    QTemporaryDir dir;
    const QString existing = dir.filePath("game.kif");
    QVERIFY(create_empty(existing));
    struct Seen {
      QStringList filters;
      QFileDialog::FileMode mode{};
      QFileDialog::AcceptMode accept{};
      QString shown_filter;
    } seen;
    auto watch = on_next_modal<QFileDialog>([&](QFileDialog* dialog) {
      seen = {dialog->nameFilters(), dialog->fileMode(), dialog->acceptMode(), {}};
      // What the user reads: the filter's own text, its pattern not repeated after it.
      if (auto* types = dialog->findChild<QComboBox*>("fileTypeCombo")) seen.shown_filter = types->itemText(0);
      choose(dialog, existing);
    });
    std::string path;
    QVERIFY(open_file_dialog(path));
    QCOMPARE(QString::fromStdString(path), existing);
    QCOMPARE(seen.filters, OPEN_FILTERS);
    QCOMPARE(seen.shown_filter, OPEN_FILTERS.first());
    QCOMPARE(seen.mode, QFileDialog::ExistingFile);
    QCOMPARE(seen.accept, QFileDialog::AcceptOpen);

    // Cancelled: nothing chosen.
    auto cancel = on_next_modal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    path.clear();
    QVERIFY(!open_file_dialog(path));
    QVERIFY(path.empty());
  }

  void saveDialogAsksBeforeReplacingAFile() {
    QTemporaryDir dir;
    const QString existing = dir.filePath("old.kif");
    QVERIFY(create_empty(existing));
    struct Seen { QStringList filters; QString suffix; bool asked = false; QString folder; } seen;
    auto watch = on_next_modal<QFileDialog>([&](QFileDialog* dialog) {
      seen.filters = dialog->nameFilters();
      seen.suffix = dialog->defaultSuffix();
      // The overwrite question comes up inside accept(); answer it Yes.
      auto answer = on_next_modal<QMessageBox>([&](QMessageBox* question) {
        seen.asked = true;
        question->button(QMessageBox::Yes)->click();
      });
      choose(dialog, existing);
    });
    std::string path;
    QVERIFY(save_file_dialog(path));
    QCOMPARE(QString::fromStdString(path), existing);
    QVERIFY(seen.asked);
    QCOMPARE(seen.filters, SAVE_FILTERS);
    QCOMPARE(seen.suffix, QString("kif"));

    // A new name without an extension is saved as a KIF file, without a question; the dialog opens in
    // the folder used last.
    const QString fresh = dir.filePath("record");
    seen.asked = false;
    auto fresh_watch = on_next_modal<QFileDialog>([&](QFileDialog* dialog) {
      seen.folder = dialog->directory().absolutePath();
      choose(dialog, fresh);
    });
    QVERIFY(save_file_dialog(path));
    QCOMPARE(QString::fromStdString(path), fresh + ".kif");
    QVERIFY(!seen.asked);
    QCOMPARE(seen.folder, QDir(dir.path()).absolutePath());

    // With another filter chosen, a name without an extension gets that filter's: the format saved.
    auto csa_watch = on_next_modal<QFileDialog>([&](QFileDialog* dialog) {
      dialog->selectNameFilter(SAVE_FILTERS[3]);
      emit dialog->filterSelected(SAVE_FILTERS[3]);
      choose(dialog, fresh);
    });
    QVERIFY(save_file_dialog(path));
    QCOMPARE(QString::fromStdString(path), fresh + ".csa");
  }

  // 局面編集 from its menu item: its controls stand in the record's place and the game's buttons are held;
  // the palette, a click on the board, a hand's count and 詰将棋 reach the position edited; キャンセル
  // brings the record back.
  void positionEditorControls() {
    window_->menuBar()->actions()[2]->menu()->actions()[3]->trigger();
    PositionEditorPanel* panel = window_->view()->editor_panel();
    QVERIFY(panel->isVisible() && !window_->view()->move_list()->isVisible());
    QVERIFY(!window_->button(CMD_START)->isEnabled());
    panel->findChildren<QToolButton*>()[7]->click();   // sente's pawn, the palette's upper row's last
    QTest::mouseClick(window_->view(), Qt::LeftButton, {}, QPoint(4 * 40 + 20, 4 * 40 + 20 + VIEW_ORIGIN_Y));
    QCOMPARE(int(g_game.edit.position.board[4 * 9 + 4]), int(PAWN));
    panel->findChild<QSpinBox*>("hand_0_4")->setValue(1);
    QCOMPARE(int(g_game.edit.position.hand[BLACK][GOLD]), 1);
    for (QPushButton* button : panel->findChildren<QPushButton*>())
      if (button->property("command_id").toInt() == CMD_EDIT_MATE) button->click();
    QVERIFY(!panel->findChild<QSpinBox*>("hand_1_4")->isEnabled());
    QCOMPARE(panel->findChild<QSpinBox*>("hand_1_4")->value(), 0);   // the set's four golds are out
    for (QPushButton* button : panel->findChildren<QPushButton*>())
      if (button->property("command_id").toInt() == CMD_EDIT_CANCEL) button->click();
    QVERIFY(!panel->isVisible() && window_->view()->move_list()->isVisible());
    QVERIFY(window_->button(CMD_START)->isEnabled() && !editing(g_game));
  }

  // Last, because it starts a game: the buttons, a menu item and clicks in the board view reach the game.
  void buttonsMenuAndClicksReachTheGame() {
    QPushButton* pause = window_->button(CMD_PAUSE);
    QTest::mouseClick(pause, Qt::LeftButton);
    QCOMPARE(pause->text(), text(u"■"));
    QVERIFY(g_game.flags.paused);
    QTest::mouseClick(pause, Qt::LeftButton);
    QCOMPARE(pause->text(), QString("||"));
    QVERIFY(!g_game.flags.paused);

    // Changing sides needs three moves in the record; the game says so in a box.
    QString said, caption;
    {
      auto watch = on_next_modal<QMessageBox>([&](QMessageBox* box) {
        said = box->text();
        caption = box->windowTitle();
        box->button(QMessageBox::Ok)->click();
      });
      window_->menuBar()->actions()[0]->menu()->actions()[2]->trigger();
    }
    QCOMPARE(said, text(u"反転させるには棋譜の手数が足りません。"));
    QCOMPARE(caption, text(u"失敗"));

    // Start, moving first: the new-game dialog accepted as it opens.
    {
      auto watch = on_next_modal<QDialog>([&](QDialog* dialog) {
        said = dialog->windowTitle();
        dialog->accept();
      });
      QTest::mouseClick(window_->button(CMD_START), Qt::LeftButton);
    }
    QCOMPARE(said, text(u"新規対局"));
    QCOMPARE(window_->button(CMD_START)->text(), text(u"初期化"));
    QVERIFY(g_game.flags.started && player_to_move(g_game));

    // Clicks in the view's own coordinates: the pawn on (2, 6), then the square in front of it.
    QTest::mouseClick(window_->view(), Qt::LeftButton, {}, QPoint(2 * 40 + 20, 6 * 40 + 20 + VIEW_ORIGIN_Y));
    QCOMPARE(g_game.input.selection, 1);
    QCOMPARE(g_game.input.sel_col, 2);
    QCOMPARE(g_game.input.sel_row, 6);
    // The selected square is drawn blue in what the window shows; a second click on it lets go.
    QCOMPARE(back_buffer_copy(QRect(2 * 40 + 1, 6 * 40 + 1 + VIEW_ORIGIN_Y, 1, 1)).pixel(0, 0) & 0xFFFFFF, uint32_t(RGB_BLUE));
    QTest::mouseClick(window_->view(), Qt::LeftButton, {}, QPoint(2 * 40 + 20, 6 * 40 + 20 + VIEW_ORIGIN_Y));
    QCOMPARE(g_game.input.selection, 0);

    // Twice the size: everything drawn twice as large, and clicks land on the squares drawn under them,
    // also a pixel inside a square's edge.
    const QSize opened = window_->size();
    window_->resize(opened + QSize(VIEW_DEFAULT_WIDTH, VIEW_DEFAULT_HEIGHT));
    QTRY_COMPARE(window_->view()->scale(), 2.0);
    QCOMPARE(window_->button(0)->geometry(), QRect(600, 740 + 2 * VIEW_ORIGIN_Y, 160, 40));
    const QPoint origin(2 * VIEW_ORIGIN_X, 2 * VIEW_ORIGIN_Y);
    struct Click { QPoint at; int col, row; } clicks[] = {{{6 * 80 + 40, 6 * 80 + 40}, 6, 6}, {{7 * 80 + 1, 6 * 80 + 79}, 7, 6}};
    for (const Click& c : clicks) {
      QTest::mouseClick(window_->view(), Qt::LeftButton, {}, c.at + origin);
      QCOMPARE(g_game.input.selection, 1);
      QCOMPARE(g_game.input.sel_col, c.col);
      QCOMPARE(g_game.input.sel_row, c.row);
      const QImage shown = window_->view()->grab().toImage();
      QCOMPARE(shown.pixel(origin.x() + c.col * 80 + 3, origin.y() + c.row * 80 + 3) & 0xFFFFFF, uint32_t(RGB_BLUE));
      QCOMPARE(shown.pixel(origin.x() + c.col * 80 + 3, origin.y() + (c.row - 1) * 80 + 3) & 0xFFFFFF, uint32_t(RGB_GREEN));
    }
    QTest::mouseClick(window_->view(), Qt::LeftButton, {}, QPoint(7 * 80 + 40, 6 * 80 + 40) + origin);
    QCOMPARE(g_game.input.selection, 0);
    // Never smaller than the whole design.
    window_->resize(100, 100);
    QTRY_COMPARE(window_->view()->size(), QSize(VIEW_DEFAULT_WIDTH, VIEW_DEFAULT_HEIGHT));
    QCOMPARE(window_->view()->scale(), 1.0);

    // Reset: back to the start, and the button says so.
    QTest::mouseClick(window_->button(CMD_START), Qt::LeftButton);
    QCOMPARE(window_->button(CMD_START)->text(), text(u"開始"));
    QVERIFY(!g_game.flags.started);
    QCOMPARE(g_game.game.cursor, 0);
  }
};

int main(int argc, char** argv) {
  // The dialogs remember their folder in the user's settings: here in a folder of the test's own.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
  start_application(argc, argv);
  MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
