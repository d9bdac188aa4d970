// The move list (棋譜) beside the hands: shows the lines the game derives from its record, highlights and
// keeps in view the position on the board, and turns a click on a line or the arrow keys into the
// game's navigation.
#pragma once

#include <QListWidget>
#include <functional>

#include "app/game_state.h"

namespace halvane {

// Where the list stands in the design: beside the hands, as tall as the board.
inline constexpr int MOVE_LIST_X = 608, MOVE_LIST_Y = 0, MOVE_LIST_WIDTH = 196, MOVE_LIST_HEIGHT = 360;

class MoveListView : public QListWidget {
 public:
  // `line_chosen` takes a clicked line's index, `command` a navigation command id for a key.
  MoveListView(QWidget* parent, std::function<void(int)> line_chosen, std::function<void(int)> command);
  // Shows the game's list when its revision changed since the last call (read under the drawing lock).
  void follow(const GameState& gs);

 protected:
  // ↑ and ← step back, ↓ and → forward, Home and End to the start and the end, as the buttons do.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<void(int)> command_;
  unsigned shown_revision_ = ~0u;
};

}  // namespace halvane
