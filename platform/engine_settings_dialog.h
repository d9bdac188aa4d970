// 設定 → エンジン設定: the engines the window can use (Halvane's own first, never removed), an engine added
// by its program's path (its "usi" answer read for its name and options), removed, its options set, and
// the analyst that 検討, 棋譜解析 and ヒント think with chosen, and 詰み探索's time.
#pragma once

#include <QWidget>

#include "app/engine_list.h"

namespace halvane {

// Runs the dialog on a copy of `list` and `mate_search_seconds`; true, with both replaced, when it is
// accepted.
bool run_engine_settings_dialog(QWidget* owner, EngineList& list, int& mate_search_seconds);

// The options dialog of one engine: a field for each option by its type (check, spin, combo, string, file
// name; a button only named, as it means something only to a running engine). True, with the values
// taken, when it is accepted.
bool run_engine_options_dialog(QWidget* owner, RegisteredEngine& engine);

}  // namespace halvane
