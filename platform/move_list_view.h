// The record beside the hands: the move list (棋譜) with the position on the board highlighted and kept in
// view, a click on a line or the arrow keys turned into the game's navigation; under it the alternatives
// of the move on the board (a list to switch to another line) and that move's comments.
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <functional>

#include "app/game_state.h"

namespace halvane {

// Where they stand in the design: beside the hands, the list as tall as most of the board, the
// alternatives under it and the comments below them.
inline constexpr int MOVE_LIST_X = 608, MOVE_LIST_Y = 0, MOVE_LIST_WIDTH = 196, MOVE_LIST_HEIGHT = 300;
inline constexpr int ALTERNATIVES_Y = 304, ALTERNATIVES_HEIGHT = 24;
inline constexpr int COMMENTS_Y = 332, COMMENTS_HEIGHT = 84;

class MoveListView : public QListWidget {
 public:
  // `line_chosen` takes a clicked line's index, `command` a navigation command id for a key.
  MoveListView(QWidget* parent, std::function<void(int)> line_chosen, std::function<void(int)> command);
  // Shows the game's list when its revision changed since the last call.
  void follow(const GameState& gs);

 protected:
  // ↑ and ← step back, ↓ and → forward, Home and End to the start and the end, as the buttons do.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<void(int)> command_;
  unsigned shown_revision_ = ~0u;
};

// The alternatives of the move on the board: disabled and empty when it has none; choosing one hands its
// node to `chosen`.
class AlternativesView : public QComboBox {
 public:
  AlternativesView(QWidget* parent, std::function<void(int)> chosen);
  void follow(const GameState& gs);

 private:
  unsigned shown_revision_ = ~0u;
  int shown_cursor_ = -1;
};

// The comments of the move on the board, read only.
class CommentsView : public QPlainTextEdit {
 public:
  explicit CommentsView(QWidget* parent);
  void follow(const GameState& gs);
};

}  // namespace halvane
