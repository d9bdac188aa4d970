// The about box: caption, icon, the program's name and version, and OK.
#pragma once

class QWidget;

namespace halvane {

// Result of the about box: the id of the button that closed it.
constexpr int ABOUT_OK = 1, ABOUT_CANCEL = 2;

// Shows the box, modal over `owner`; returns ABOUT_OK or ABOUT_CANCEL (Escape or the close box).
int show_about_box(QWidget* owner);

}  // namespace halvane
