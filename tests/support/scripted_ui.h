// A scripted stand-in for the window system, linked into the game-logic tests: message boxes answer
// from a queue and are logged, file dialogs return queued paths (an empty queue means "cancelled"),
// button captions and repaint requests are recorded, and the events posted to the window thread wait in
// a queue that the test, as the window thread, runs.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/ui.h"

namespace halvane::test_support {

struct ShownBox {
  std::u16string text;
  std::u16string caption;
  BoxIcon icon;
  BoxButtons buttons;
};

struct ScriptedUi {
  std::mutex mutex;                  // boxes may be shown while worker threads request repaints
  std::deque<BoxAnswer> answers;     // next answers; when empty: OK for OK boxes, YES for Yes/No boxes,
                                     // NO (保存しない) for the unsaved-game question
  std::vector<ShownBox> boxes;       // every box shown, in order
  std::deque<std::string> open_paths;
  std::deque<std::string> save_paths;
  std::map<int, std::u16string> captions;
  std::u16string title;              // the main window's, as last set
  std::string clipboard;             // the clipboard's text
  std::vector<NewGameChoice> new_game_dialogs;   // each new-game dialog shown, as it was preset
  std::deque<std::optional<NewGameChoice>> new_game_answers;   // the choices made; none: cancelled. When
                                                               // empty: the dialog accepted as preset
  std::string study_pane;            // the 検討 pane's text as last shown; empty: hidden
  int progress_done = 0, progress_total = 0;   // 棋譜解析's progress as last shown; total 0: closed
  std::deque<double> analysis_seconds;   // 棋譜解析's seconds chosen; a negative one cancels. When empty:
                                         // the dialog accepted as preset
  std::atomic<int> repaint_requests{0};
  std::atomic<bool> closed{false};
  std::deque<std::function<void()>> events;   // posted to the window thread, not yet run
  std::condition_variable event_posted;
};

ScriptedUi& scripted_ui();
// Clears every queue and log (events not yet run are dropped).
void reset_scripted_ui();
// Runs the events posted to the window thread so far, in order, as the window's event loop would;
// returns how many ran.
int run_window_events();
// Waits until an event is posted (none may be yet: a think is still running), then runs it and any
// others posted by then.
void wait_for_window_event();
// The caption last set on a button, or an empty string.
std::u16string caption_of(int id);
// UTF-16 to UTF-8, for readable failure messages.
std::string utf8(const std::u16string& text);

// A box a test expects: its text and caption, and its icon and buttons where they are given.
struct ExpectedBox {
  std::u16string text;
  std::u16string caption;
  int icon = -1;
  int buttons = -1;
};
// The boxes shown so far are exactly these, in this order; a message names the first difference.
::testing::AssertionResult boxes_shown(const std::vector<ExpectedBox>& expected);

}  // namespace halvane::test_support
