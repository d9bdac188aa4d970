// The main window and its board view: widgets, menus, the about keys, the paint that copies the back
// buffer, the timer that shows a think's progress, and the routing of commands and clicks to the game.
// Everything here runs on the window thread, which owns the game.
#include "platform/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>

#include "app/commands.h"
#include "app/play_clock.h"
#include "app/render.h"
#include "app/strength_choice.h"
#include "app/study.h"
#include "app/turn_flow.h"
#include "platform/about_box.h"
#include "platform/engine_settings_dialog.h"
#include "platform/image_qt.h"
#include "platform/settings.h"
#include "think/think_ahead.h"

namespace halvane {

namespace {

std::atomic<MainWindow*> g_main_window{nullptr};

struct MenuItem {
  const char16_t* text;
  int id;
  QKeyCombination key = QKeyCombination();   // none when empty
};

constexpr MenuItem FILE_ITEMS[] = {
    {u"棋譜を読み込む", CMD_LOAD_KIF}, {u"棋譜を保存する", CMD_SAVE_KIF},
    {u"盤を反転させる", CMD_CHANGE_SIDES}, {u"盤面を反転表示", CMD_FLIP_VIEW}, {u"終了する(&X)", CMD_EXIT},
};
constexpr MenuItem EDIT_ITEMS[] = {
    {u"局面をコピー", CMD_COPY_POSITION, Qt::CTRL | Qt::SHIFT | Qt::Key_C},
    {u"棋譜をコピー", CMD_COPY_RECORD, Qt::CTRL | Qt::Key_C},
    {u"貼り付け", CMD_PASTE, Qt::CTRL | Qt::Key_V},
};
constexpr MenuItem GAME_ITEMS[] = {
    {u"待った", CMD_TAKE_BACK, Qt::CTRL | Qt::Key_Z},
    {u"新規対局", CMD_NEW_GAME, Qt::CTRL | Qt::Key_N},
    {u"投了", CMD_RESIGN},
    {u"局面編集", CMD_EDIT_POSITION},
    {u"ヒント", CMD_HINT},
};
constexpr MenuItem STUDY_ITEMS[] = {
    {u"検討開始", CMD_STUDY_START, QKeyCombination(Qt::Key_F2)},
    {u"検討終了", CMD_STUDY_STOP},
    {u"棋譜解析", CMD_ANALYSE_RECORD},
    {u"詰み探索", CMD_MATE_SEARCH},
};
constexpr MenuItem HELP_ITEMS[] = {{u"遊び方", CMD_HELP}, {u"バージョン情報(&A)...", CMD_ABOUT}};

// The move list's text height in design pixels, as the status line's; the editor's controls are smaller,
// to fit the same column, and the graph's labels smaller still.
constexpr int MOVE_LIST_TEXT_PIXELS = 16;
constexpr int EDITOR_TEXT_PIXELS = 12;
constexpr int EDITOR_PIECE_PIXELS = 20;
constexpr int GRAPH_TEXT_PIXELS = 11;

// The settings menu's time limits, in the order of THINK_LIMITS_MS.
constexpr const char16_t* THINK_LIMIT_TEXTS[5] = {u"無制限", u"60秒", u"30秒", u"10秒", u"5秒"};

// The keys that open the about box: Alt with "?" or "/". "?" is a shifted key on most layouts, so the
// combination with Shift is taken as well.
const QKeySequence ABOUT_KEYS[] = {
    QKeySequence(Qt::ALT | Qt::Key_Question), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_Question),
    QKeySequence(Qt::ALT | Qt::Key_Slash)};

QString text_of(const char16_t* text) { return QString::fromUtf16(text); }

}  // namespace

QIcon halvane_icon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/halvane-%1.png").arg(size), QSize(size, size));
  return icon;
}

BoardView::BoardView(GameState& gs, Engine& e, QWidget* parent) : QWidget(parent), gs_(gs), e_(e) {
  setObjectName(QStringLiteral("board_view"));
  // The paint covers every pixel itself: no erase before it.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Smaller, and the hands, the buttons or the status line would be cut off.
  setMinimumSize(VIEW_DEFAULT_WIDTH, VIEW_DEFAULT_HEIGHT);
}

QSize BoardView::sizeHint() const { return {VIEW_DEFAULT_WIDTH, VIEW_DEFAULT_HEIGHT}; }

void BoardView::rescale() {
  scale_ = std::min(width() / double(VIEW_DEFAULT_WIDTH), height() / double(VIEW_DEFAULT_HEIGHT));
  if (scale_ <= 0) scale_ = 1.0;
  drawn_ratio_ = devicePixelRatioF();
  // The buttons and the record's widgets keep their places and proportions in the design, their texts
  // scaled with them.
  auto at_x = [this](int v) { return int(std::lround((v + VIEW_ORIGIN_X) * scale_)); };
  auto at_y = [this](int v) { return int(std::lround((v + VIEW_ORIGIN_Y) * scale_)); };
  const struct {
    QWidget* widget;
    int x, y, width, height, text_pixels;
  } record_widgets[] = {
      {move_list_, MOVE_LIST_X, MOVE_LIST_Y, MOVE_LIST_WIDTH, MOVE_LIST_HEIGHT, MOVE_LIST_TEXT_PIXELS},
      {alternatives_, MOVE_LIST_X, ALTERNATIVES_Y, MOVE_LIST_WIDTH, ALTERNATIVES_HEIGHT, MOVE_LIST_TEXT_PIXELS},
      {comments_, MOVE_LIST_X, COMMENTS_Y, MOVE_LIST_WIDTH, COMMENTS_HEIGHT, MOVE_LIST_TEXT_PIXELS},
      {graph_, GRAPH_X, GRAPH_Y, GRAPH_WIDTH, GRAPH_HEIGHT, GRAPH_TEXT_PIXELS}};
  for (const auto& placed : record_widgets) {
    if (!placed.widget) continue;
    placed.widget->setGeometry(at_x(placed.x), at_y(placed.y), at_x(placed.x + placed.width) - at_x(placed.x),
                               at_y(placed.y + placed.height) - at_y(placed.y));
    QFont font = QApplication::font(placed.widget);
    font.setPixelSize(std::max(1, int(std::lround(placed.text_pixels * scale_))));
    placed.widget->setFont(font);
  }
  if (editor_panel_) {
    // The editor's column: where the list, the alternatives and the comments stand.
    const int left = at_x(MOVE_LIST_X), top = at_y(MOVE_LIST_Y);
    editor_panel_->setGeometry(left, top, at_x(MOVE_LIST_X + MOVE_LIST_WIDTH) - left, at_y(COMMENTS_Y + COMMENTS_HEIGHT) - top);
    QFont font = QApplication::font(editor_panel_);
    font.setPixelSize(std::max(1, int(std::lround(EDITOR_TEXT_PIXELS * scale_))));
    editor_panel_->setFont(font);
    const int piece = std::max(1, int(std::lround(EDITOR_PIECE_PIXELS * scale_)));
    for (QToolButton* button : editor_panel_->findChildren<QToolButton*>()) button->setIconSize({piece, piece});
  }
  for (QPushButton* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
    const QVariant index = button->property("place");
    if (!index.isValid()) continue;
    const ButtonPlace& place = BUTTON_PLACES[index.toInt()];
    button->setGeometry(at_x(place.x), at_y(place.y), at_x(place.x + place.width) - at_x(place.x),
                        at_y(place.y + place.height) - at_y(place.y));
    QFont font = QApplication::font(button);
    if (font.pointSizeF() > 0)
      font.setPointSizeF(font.pointSizeF() * scale_);
    else
      font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * scale_))));
    button->setFont(font);
  }
  // The back buffer in the screen's own pixels, drawn at the scale those pixels give the design.
  size_back_buffer(int(std::ceil(width() * drawn_ratio_)), int(std::ceil(height() * drawn_ratio_)),
                   scale_ * drawn_ratio_);
  halvane::repaint(gs_, e_);
}

void BoardView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  rescale();
}

void BoardView::paintEvent(QPaintEvent* event) {
  // Moved to a screen of another pixel ratio: the next paint is of a buffer made for it.
  if (devicePixelRatioF() != drawn_ratio_) rescale();
  // The buffer is in the screen's pixels: one of them for each of the view's device pixels.
  QPainter painter(this);
  const QRect area = event->rect();
  const Image* buffer = back_buffer();
  const double ratio = drawn_ratio_;
  const QRectF source(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio);
  if (buffer) painter.drawImage(QRectF(area), buffer->pixels, source);
}

void BoardView::set_record_widgets(MoveListView* list, AlternativesView* alternatives, CommentsView* comments,
                                   EvaluationGraphView* graph) {
  move_list_ = list;
  alternatives_ = alternatives;
  comments_ = comments;
  graph_ = graph;
}

void BoardView::follow_record() {
  if (move_list_) move_list_->follow(gs_);
  if (alternatives_) alternatives_->follow(gs_);
  if (comments_) comments_->follow(gs_);
  if (graph_) graph_->follow(gs_);
  if (editor_panel_) editor_panel_->follow();
}

void BoardView::show_editor(bool shown) {
  for (QWidget* record : {static_cast<QWidget*>(move_list_), static_cast<QWidget*>(alternatives_),
                          static_cast<QWidget*>(comments_)})
    if (record) record->setVisible(!shown);
  if (!editor_panel_) return;
  if (shown) editor_panel_->take_pictures();
  editor_panel_->setVisible(shown);
  editor_panel_->follow();
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  // Back to the design's pixels, where the game knows its squares.
  const QPointF at = event->position() / scale_ - QPointF(VIEW_ORIGIN_X, VIEW_ORIGIN_Y);
  on_left_button_up(gs_, e_, int(std::floor(at.x())), int(std::floor(at.y())));
}

MainWindow::MainWindow(GameState& gs, Engine& e, const Strength& strength)
    : gs_(gs), e_(e), own_strength_(strength), progress_(this, [this] { dispatch(CMD_STUDY_STOP); }) {
  setObjectName(QStringLiteral("HALVANE"));
  setWindowTitle(text_of(starting_strength(strength, saved_settings().chosen_levels).title));
  setWindowIcon(halvane_icon());

  view_ = new BoardView(gs, e, this);
  setCentralWidget(view_);
  study_pane_ = new StudyPane(this);
  addDockWidget(Qt::BottomDockWidgetArea, study_pane_);

  auto add_menu = [this](const char16_t* title, const MenuItem* items, int count) {
    QMenu* menu = menuBar()->addMenu(text_of(title));
    for (int i = 0; i < count; ++i) {
      QAction* action = menu->addAction(text_of(items[i].text));
      const int id = items[i].id;
      action->setData(id);
      if (items[i].key != QKeyCombination()) action->setShortcut(QKeySequence(items[i].key));
      connect(action, &QAction::triggered, this, [this, id] { dispatch(id); });
    }
  };
  add_menu(u"ファイル(&F)", FILE_ITEMS, 5);
  add_menu(u"編集(&E)", EDIT_ITEMS, 3);
  add_menu(u"対局(&G)", GAME_ITEMS, int(std::size(GAME_ITEMS)));
  add_menu(u"検討(&K)", STUDY_ITEMS, int(std::size(STUDY_ITEMS)));
  add_study_menu();
  add_settings_menu();
  add_menu(u"ヘルプ(&H)", HELP_ITEMS, 2);

  auto* about_keys = new QAction(this);
  about_keys->setObjectName(QStringLiteral("about_keys"));
  about_keys->setShortcuts(QList<QKeySequence>(std::begin(ABOUT_KEYS), std::end(ABOUT_KEYS)));
  about_keys->setShortcutContext(Qt::WindowShortcut);
  connect(about_keys, &QAction::triggered, this, [this] { dispatch(CMD_ABOUT); });
  addAction(about_keys);

  view_->set_record_widgets(
      new MoveListView(view_, [this](int line) { on_move_list_line(gs_, e_, line); }, [this](int id) { dispatch(id); }),
      new AlternativesView(view_, [this](int node) { on_alternative(gs_, e_, node); }), new CommentsView(view_),
      new EvaluationGraphView(view_, [this](int line) { on_move_list_line(gs_, e_, line); }));
  auto* editor = new PositionEditorPanel(view_, gs, e, [this](int id) { dispatch(id); });
  editor->hide();
  view_->set_editor_panel(editor);
  for (int i = 0; i < BUTTON_COUNT; ++i) {
    const ButtonPlace& place = BUTTON_PLACES[i];
    auto* button = new QPushButton(text_of(place.caption), view_);
    button->setGeometry(place.x + VIEW_ORIGIN_X, place.y + VIEW_ORIGIN_Y, place.width, place.height);
    const int id = place.id;
    button->setProperty("command_id", id);
    button->setProperty("place", i);
    connect(button, &QPushButton::clicked, this, [this, id] { dispatch(id); });
    buttons_[i] = button;
  }
  resize(sizeHint());
  // The clocks first: a fallen flag ends the game before a think's progress is drawn.
  connect(&progress_timer_, &QTimer::timeout, this, [this] {
    if (!clock_tick(gs_, e_)) progress_tick(gs_, e_);
  });
  progress_timer_.start(PROGRESS_TICK_MS);
}

void MainWindow::add_settings_menu() {
  // 思考時間の上限: one of the limits, checked alone; 先読み on or off. Each change reaches the game
  // at once (the next think uses it) and is remembered.
  QMenu* menu = menuBar()->addMenu(text_of(u"設定(&S)"));
  QMenu* limits = menu->addMenu(text_of(u"思考時間の上限"));
  auto* group = new QActionGroup(this);
  group->setExclusive(true);
  const Settings saved_choices = saved_settings();
  const int saved = saved_choices.think_limit_ms;
  for (int i = 0; i < 5; ++i) {
    QAction* action = limits->addAction(text_of(THINK_LIMIT_TEXTS[i]));
    const int ms = THINK_LIMITS_MS[i];
    action->setCheckable(true);
    action->setChecked(ms == saved);
    action->setData(ms);
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this, ms] {
      gs_.flags.think_limit_ms = ms;
      remember_setting([ms](Settings& settings) { settings.think_limit_ms = ms; });
    });
  }
  // 先読み, 反則手も指せる and 変化を残す: a switch of the game's flags, remembered as it is turned.
  const auto add_switch = [this, menu](const char16_t* text, bool on, bool TurnFlags::*flag, bool Settings::*setting) {
    QAction* action = menu->addAction(text_of(text));
    action->setCheckable(true);
    action->setChecked(on);
    connect(action, &QAction::toggled, this, [this, flag, setting](bool now) {
      gs_.flags.*flag = now;
      remember_setting([now, setting](Settings& settings) { settings.*setting = now; });
    });
  };
  add_switch(u"先読み", saved_choices.think_ahead, &TurnFlags::think_ahead, &Settings::think_ahead);
  add_switch(u"反則手も指せる", saved_choices.allow_illegal, &TurnFlags::allow_illegal, &Settings::allow_illegal);
  add_switch(u"変化を残す", saved_choices.keep_variations, &TurnFlags::keep_variations, &Settings::keep_variations);
  // 強さ: the computer's level from its next think on, remembered for this program.
  QMenu* levels = menu->addMenu(text_of(u"強さ"));
  levels->setObjectName(QStringLiteral("strength_menu"));
  auto* level_group = new QActionGroup(this);
  level_group->setExclusive(true);
  const Strength& starting = starting_strength(own_strength_, saved_choices.chosen_levels);
  for (int i = 0; i < STRENGTH_COUNT; ++i) {
    const Strength& level = *STRENGTHS[i];
    QAction* action = levels->addAction(QString::fromUtf8(level.word_utf8));
    action->setCheckable(true);
    action->setChecked(&level == &starting);
    action->setData(i);
    level_group->addAction(action);
    connect(action, &QAction::triggered, this, [this, i] {
      choose_strength(gs_, *STRENGTHS[i]);
      remember_level(i);
    });
  }
  // The level may have been chosen in the new-game dialog meanwhile.
  connect(levels, &QMenu::aboutToShow, this, [this, level_group] {
    for (QAction* action : level_group->actions())
      action->setChecked(gs_.flags.strength == STRENGTHS[action->data().toInt()]);
  });
  // エンジン設定: the registered engines, the analyst and 詰み探索's time, remembered and handed to 検討
  // and 詰み探索 at once.
  QAction* engines = menu->addAction(text_of(u"エンジン設定…"));
  engines->setObjectName(QStringLiteral("engine_settings"));
  connect(engines, &QAction::triggered, this, [this] {
    const Settings saved = saved_settings();
    EngineList list = saved.engines;
    int mate_seconds = saved.mate_search_seconds;
    if (!run_engine_settings_dialog(this, list, mate_seconds)) return;
    remember_setting([&list, mate_seconds](Settings& settings) {
      settings.engines = list;
      settings.mate_search_seconds = mate_seconds;
    });
    set_study_engines(gs_, list);
    study_of(gs_).mate_search_ms = mate_seconds * 1000;
  });
}

void MainWindow::show_position_editor(bool shown) {
  view_->show_editor(shown);
  for (QPushButton* button : buttons_) button->setEnabled(!shown);
}

void MainWindow::add_study_menu() {
  // 候補手の数: how many lines 検討 shows, where the analyst offers several.
  QMenu* study = nullptr;
  for (QAction* action : menuBar()->actions())
    if (action->text() == text_of(u"検討(&K)")) study = action->menu();
  if (!study) return;
  QMenu* lines = study->addMenu(text_of(u"候補手の数"));
  auto* group = new QActionGroup(this);
  group->setExclusive(true);
  for (int n = 1; n <= MAX_STUDY_LINES; ++n) {
    QAction* action = lines->addAction(QString::number(n));
    action->setCheckable(true);
    action->setChecked(n == 1);
    group->addAction(action);
    connect(action, &QAction::triggered, this, [this, n] { dispatch(CMD_STUDY_LINES + n); });
  }
}

void MainWindow::remember_level(int level) {
  const int own = strength_index(own_strength_);
  remember_setting([own, level](Settings& settings) { settings.chosen_levels[own] = level; });
}

QPushButton* MainWindow::button(int id) const {
  for (int i = 0; i < BUTTON_COUNT; ++i)
    if (BUTTON_PLACES[i].id == id) return buttons_[i];
  return nullptr;
}

void MainWindow::dispatch(int id) {
  on_command(gs_, e_, id);
  if (id == CMD_ABOUT) show_about_box(this);
  if (id == CMD_HELP) show_help_page(this);
  if (id == CMD_EXIT) close();
}

void MainWindow::show_repaint() {
  view_->update();
  view_->follow_record();
}

void MainWindow::tell_game_end(const QString& text, const QString& caption) {
  halvane::repaint(gs_, e_);
  show_repaint();
  QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("game_end_box"));
  box.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // An unsaved game is asked about first; キャンセル (or a cancelled save) keeps the window open.
  if (!may_close(gs_, e_)) {
    event->ignore();
    return;
  }
  // may_close has stopped the computer's think and the think ahead: no thread of the game runs on.
  event->accept();
  // Closing the main window ends the program, even when another top-level window is still up.
  QCoreApplication::exit(0);
}

MainWindow* open_main_window(GameState& gs, Engine& e, const Strength& strength) {
  auto* window = new MainWindow(gs, e, strength);
  g_main_window = window;
  game_reset_for_window(gs);
  const Settings saved = saved_settings();
  gs.flags.engine_strength = &strength;   // the Engines are made at the program's own level
  choose_strength(gs, starting_strength(strength, saved.chosen_levels));
  gs.flags.think_limit_ms = saved.think_limit_ms;
  gs.flags.think_ahead = saved.think_ahead;
  gs.flags.allow_illegal = saved.allow_illegal;
  gs.flags.keep_variations = saved.keep_variations;
  set_study_engines(gs, saved.engines);
  study_of(gs).mate_search_ms = saved.mate_search_seconds * 1000;
  gs.clock.settings = saved.clock;
  clock_to_cursor(gs);   // the clocks show the time control a game will start with
  // Thinking ahead needs cores of its own beside the think the player waits for: one Engine for each
  // spare core. They are made once and, like the game's, kept to the end of the process.
  if (const int engines = ahead_engines_for(std::thread::hardware_concurrency()); engines > 0) {
    auto* ahead = new ThinkAhead;
    ahead->engine_count = engines;
    for (int i = 0; i < engines; ++i) ahead->engines[i] = new_engine(strength);
    gs.flags.ahead = ahead;
  }
  forget_last_move(gs.view);   // no last move to show
  load_piece_images(gs);
  repaint(gs, e);
  return window;
}

MainWindow* main_window() { return g_main_window.load(); }

}  // namespace halvane
