// What the game asks of the window system: repaint requests, button captions, message boxes, file
// dialogs and closing the main window. A Qt-free interface the game declares: the programs link the
// platform layer's Qt implementation, the tests a scripted one.
#pragma once

#include <string>

namespace halvane {

enum BoxIcon { BOX_INFORMATION, BOX_QUESTION, BOX_WARNING, BOX_ERROR };
// BOX_SAVE_DISCARD_CANCEL: 保存 (ANSWER_YES), 保存しない (ANSWER_NO), キャンセル (ANSWER_CANCEL).
enum BoxButtons { BOX_OK, BOX_YES_NO, BOX_SAVE_DISCARD_CANCEL };
enum BoxAnswer { ANSWER_OK, ANSWER_YES, ANSWER_NO, ANSWER_CANCEL };

// Asks the main window to show the back buffer again (no erase). Safe from any thread: the request is
// queued to the window thread.
void request_repaint();
// Window thread only. Ids are the command ids of the buttons (CMD_START, CMD_PAUSE, ...).
void set_button_caption(int id, const char16_t* caption);
// A modal message box owned by the main window; returns the button pressed. Window thread only.
BoxAnswer message_box(const char16_t* text, const char16_t* caption, BoxIcon icon, BoxButtons buttons);
// The end of a game: the window draws the view again and then opens a modal information box with this
// text and caption. Safe from any thread: queued to the window thread, so the caller never waits.
void show_game_end_box(const char16_t* text, const char16_t* caption);
// File dialogs for KIF records; false when cancelled. The path is UTF-8. The save dialog asks before
// overwriting an existing file; the open dialog accepts only an existing file.
bool open_file_dialog(std::string& path);
bool save_file_dialog(std::string& path);
// Closes the main window, which ends the program.
void close_main_window();

}  // namespace halvane
