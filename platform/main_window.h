// The main window: the menu bar, the board view (the client area the game draws into, with the
// buttons on it) and the keys that open the about box. Buttons, menu items and keys reach one command
// dispatcher; left-button releases on the view reach the game's click handler.
#pragma once

#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "app/commands.h"
#include "platform/evaluation_graph_view.h"
#include "platform/move_list_view.h"
#include "platform/position_editor_panel.h"
#include "platform/study_pane.h"
#include "app/game_state.h"
#include "think/think.h"
#include "think/strength.h"

namespace halvane {

struct ButtonPlace {
  int id;
  const char16_t* caption;
  int x, y, width, height;
};

// The buttons, in the view's pixels; their ids are command ids. 待った sits at the end of the row of
// navigation buttons.
constexpr int BUTTON_COUNT = 7;
inline constexpr ButtonPlace BUTTON_PLACES[BUTTON_COUNT] = {
    {CMD_START, u"開始", 300, 370, 80, 20}, {CMD_FIRST, u"<<", 400, 179, 32, 20},
    {CMD_BACK, u"<", 432, 179, 32, 20},     {CMD_PAUSE, u"ll", 464, 179, 32, 20},
    {CMD_FORWARD, u">", 496, 179, 32, 20},  {CMD_LAST, u">>", 528, 179, 32, 20},
    {CMD_TAKE_BACK, u"待った", 560, 179, 40, 20},
};

// The view's design size: the coordinates, the board, both hands, the buttons, the move list, the
// status line and the evaluation graph under them. The view opens at this size and never gets smaller; a
// larger view shows the design scaled.
constexpr int VIEW_DEFAULT_WIDTH = 816;
constexpr int VIEW_DEFAULT_HEIGHT = 556;

// The client area: shows the back buffer and passes left-button releases on, in design pixels.
class BoardView : public QWidget {
 public:
  BoardView(GameState& gs, Engine& e, QWidget* parent);
  QSize sizeHint() const override;
  // Widget pixels per design pixel: the largest at which the whole design fits the view.
  double scale() const { return scale_; }
  MoveListView* move_list() const { return move_list_; }
  AlternativesView* alternatives() const { return alternatives_; }
  CommentsView* comments() const { return comments_; }
  EvaluationGraphView* graph() const { return graph_; }
  // The record's widgets, placed in the design beside the hands and under them.
  void set_record_widgets(MoveListView* list, AlternativesView* alternatives, CommentsView* comments,
                          EvaluationGraphView* graph);
  // They follow the game: the list, the alternatives of the move on the board, its comments, the graph; and
  // the position editor's controls, which stand in place of the list while a position is edited.
  void follow_record();
  void set_editor_panel(PositionEditorPanel* panel) { editor_panel_ = panel; }
  PositionEditorPanel* editor_panel() const { return editor_panel_; }
  // The editor's controls shown in place of the record's, or the record's again.
  void show_editor(bool shown);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Follows the view's size and the screen's pixel ratio: the scale, the buttons and the back buffer.
  void rescale();

  GameState& gs_;
  Engine& e_;
  double scale_ = 1.0;
  double drawn_ratio_ = 0.0;   // the device pixel ratio the back buffer was made for
  MoveListView* move_list_ = nullptr;
  AlternativesView* alternatives_ = nullptr;
  CommentsView* comments_ = nullptr;
  PositionEditorPanel* editor_panel_ = nullptr;
  EvaluationGraphView* graph_ = nullptr;
};

class MainWindow : public QMainWindow {
 public:
  // Builds the widgets: title, icons, menus, keys, view and buttons. The game is not touched.
  MainWindow(GameState& gs, Engine& e, const Strength& strength);

  BoardView* view() const { return view_; }
  // The button with command id `id`, or null.
  QPushButton* button(int id) const;
  // One command from a button, a menu item or a key: the game's dispatcher first, then the about box
  // (CMD_ABOUT) and closing (CMD_EXIT), which the window does itself.
  void dispatch(int id);
  // The window thread's part of a repaint request: the view shown again and the move list following.
  void show_repaint();
  // 局面編集 opened or closed: its controls beside the hands, the game's buttons held meanwhile.
  void show_position_editor(bool shown);
  // A level chosen (in the new-game dialog) remembered for this program, as the 強さ menu remembers it.
  void remember_level(int level);
  // The end of a game: the view drawn again (the progress strip cleared), then the box that tells it.
  void tell_game_end(const QString& text, const QString& caption);
  // The 検討 pane's text (hidden when empty) and 棋譜解析's progress (closed at a total of 0).
  void show_study_text(const QString& text) { study_pane_->show_text(text); }
  void show_analysis_progress(int done, int total) { progress_.show(done, total); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // 設定: the think's time limit, thinking ahead, 反則手も指せる, 変化を残す and 強さ, from and into the
  // remembered settings.
  void add_settings_menu();
  // 検討: 検討開始 (F2), 検討終了, the number of lines, 棋譜解析.
  void add_study_menu();
  GameState& gs_;
  Engine& e_;
  const Strength& own_strength_;   // the program's own level: the one it starts at unless another is remembered
  BoardView* view_;
  QPushButton* buttons_[BUTTON_COUNT];
  StudyPane* study_pane_;
  AnalysisProgress progress_;
  // Shows the clocks counting and a running think's progress: the game's clock_tick and progress_tick.
  QTimer progress_timer_;
};

// Creates the one main window and does what the game needs once it exists: reset for the window, the
// settings, the think ahead's Engines, the piece pictures and one repaint. The window is not yet shown.
MainWindow* open_main_window(GameState& gs, Engine& e, const Strength& strength);
// The one main window, for message boxes, dialogs and repaint requests; null before it is opened.
MainWindow* main_window();

// The application's icon (window and about box).
QIcon halvane_icon();

}  // namespace halvane
