// 対局 → 新規対局: one dialog for the 手合割, the side the player takes, the computer's strength and the
// time control.
#pragma once

#include <QWidget>

#include "app/ui.h"

namespace halvane {

// Shows the dialog modally, its fields preset from `choice`; on 対局開始 writes the choice back and
// returns true, on キャンセル (or closing it) leaves it and returns false.
bool run_new_game_dialog(QWidget* owner, NewGameChoice& choice);

}  // namespace halvane
