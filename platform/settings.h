// The window's remembered settings in the user's configuration folder (halvane/halvane.conf): the time
// limit of a think, thinking ahead, whether illegal moves may be played, 変化を残す and the KIF files' folder. Read
// when the main window opens and the file dialogs open, written on every change.
#pragma once

#include <functional>
#include <string>

#include "app/settings_file.h"
#include "kif/file_bytes.h"

namespace halvane {

// $XDG_CONFIG_HOME/halvane/halvane.conf, or ~/.config/halvane/halvane.conf without it.
std::string settings_path();
// The settings as saved; the defaults where the file is missing, unreadable or holds something else.
Settings saved_settings();
// Reads the file again, makes the change and writes it back in full or not at all, so that a change
// another window saved meanwhile stays.
FileStatus change_settings(const std::function<void(Settings&)>& change);
// The same for a choice of the settings menu: a failure is told in a message box.
void remember_setting(const std::function<void(Settings&)>& change);

}  // namespace halvane
