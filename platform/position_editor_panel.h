// 局面編集's controls, shown beside the hands in place of the record while a position is edited: the
// palette of pieces for both sides, the hands' counts, the side to move, the starts that lay out a whole
// position (平手, the handicaps, 詰将棋, 全消去) and the buttons that end the editing.
#pragma once

#include <QButtonGroup>
#include <QComboBox>
#include <QSpinBox>
#include <QWidget>
#include <functional>

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

class PositionEditorPanel : public QWidget {
 public:
  // `command` takes the editor's command ids (CMD_EDIT_DONE ...), as the window dispatches them.
  PositionEditorPanel(QWidget* parent, GameState& gs, Engine& e, std::function<void(int)> command);
  // The controls show the edited position's hands, side to move and palette when it changed.
  void follow();
  // The palette's pictures, once the game has loaded them.
  void take_pictures();

 private:
  GameState& gs_;
  Engine& e_;
  QButtonGroup* palette_;
  QSpinBox* hands_[2][7];   // [side][kind], PAWN .. ROOK
  QComboBox* side_;
  QComboBox* handicaps_;
  unsigned shown_revision_ = ~0u;
};

}  // namespace halvane
