// halvane-kif's stand-in for the window system: the path the file dialogs answer with, and whether a
// failure was reported in a message box.
#pragma once

#include <string>

namespace halvane {

void console_set_path(const std::string& path);
// True once an error or warning box has been shown.
bool console_failure_seen();

}  // namespace halvane
