// What the game asks of the window system: events for the window thread, repaint requests, button
// captions, message boxes, file dialogs and closing the main window. A Qt-free interface the game
// declares: the programs link the platform layer's Qt implementation, the tests a scripted one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/game_clock.h"

namespace halvane {

enum BoxIcon { BOX_INFORMATION, BOX_QUESTION, BOX_WARNING, BOX_ERROR };
// BOX_SAVE_DISCARD_CANCEL: 保存 (ANSWER_YES), 保存しない (ANSWER_NO), キャンセル (ANSWER_CANCEL).
// BOX_ADD_TO_RECORD: 棋譜に追加 (ANSWER_YES), 閉じる (ANSWER_NO).
enum BoxButtons { BOX_OK, BOX_YES_NO, BOX_SAVE_DISCARD_CANCEL, BOX_ADD_TO_RECORD };
enum BoxAnswer { ANSWER_OK, ANSWER_YES, ANSWER_NO, ANSWER_CANCEL };

// Runs `event` on the window thread after what it is doing now: the one way another thread reaches the
// game (the computer's answer comes so). Safe from any thread; never waits.
void post_to_window(std::function<void()> event);
// Asks the main window to show the back buffer again (no erase). Window thread.
void request_repaint();
// Window thread only. Ids are the command ids of the buttons (CMD_START, CMD_PAUSE, ...).
void set_button_caption(int id, const char16_t* caption);
// A modal message box owned by the main window; returns the button pressed. Window thread only.
BoxAnswer message_box(const char16_t* text, const char16_t* caption, BoxIcon icon, BoxButtons buttons);
// The end of a game: the window draws the view again and then opens a modal information box with this
// text and caption, once what it is doing now is done (the caller never waits for the box).
void show_game_end_box(const char16_t* text, const char16_t* caption);
// File dialogs for KIF records; false when cancelled. The path is UTF-8. The save dialog asks before
// overwriting an existing file; the open dialog accepts only an existing file.
bool open_file_dialog(std::string& path);
bool save_file_dialog(std::string& path);
// The main window's title. Window thread only.
void set_window_title(const char16_t* title);
// 対局 → 新規対局's choices: the 手合割 (an index in HANDICAPS, 0 平手), the side the player takes (0 the
// even game's first mover and a handicap's 下手, 1 the second mover, 上手), and the computer's level (an
// index in STRENGTHS; -1: as the engines are), and the time control both clocks start from.
struct NewGameChoice {
  int handicap = 0;
  int player_side = 0;
  int level = -1;
  ClockSettings clock;
  // The opponent: -1 Halvane's own think at `level`, else one of the registered USI engines offered.
  std::vector<std::string> engines;   // their names, in the order of the engine list
  int opponent = -1;
};
// The new-game dialog, its fields preset from `choice`; true with the choice made, false when cancelled.
// A level chosen there is remembered as the 強さ menu's is. Window thread only.
bool new_game_dialog(NewGameChoice& choice);

// 局面編集's controls (palette, hand counts, side to move, its buttons) shown in place of the record's, and
// the game's buttons held, while a position is edited; they follow GameState::edit. Window thread only.
void show_position_editor(bool shown);
// The 検討 pane: shown with this text (UTF-8, lines), hidden for an empty one. Window thread only.
void show_study_pane(const std::string& text);
// 棋譜解析's progress dialog: `done` of `total` positions, with a cancel button that sends CMD_STUDY_STOP;
// a total of 0 closes it. Window thread only.
void show_analysis_progress(int done, int total);
// Asks for 棋譜解析's seconds per position, preset from `seconds`; false when cancelled.
bool ask_analysis_seconds(double& seconds);

// The clipboard's text in UTF-8 (empty when it holds none), and new text put on it. Window thread only.
std::string clipboard_text();
void set_clipboard_text(const std::string& text);
// Closes the main window, which ends the program.
void close_main_window();

}  // namespace halvane
