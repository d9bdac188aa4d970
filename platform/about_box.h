// The about box: caption, icon, the program's name and version, and OK. And the help page 遊び方.
#pragma once

class QWidget;

namespace halvane {

// Result of the about box: the id of the button that closed it.
constexpr int ABOUT_OK = 1, ABOUT_CANCEL = 2;

// Shows the box, modal over `owner`; returns ABOUT_OK or ABOUT_CANCEL (Escape or the close box).
int show_about_box(QWidget* owner);

// The help page: one page of text on how to play, modal over `owner`, closed with OK.
void show_help_page(QWidget* owner);

}  // namespace halvane
