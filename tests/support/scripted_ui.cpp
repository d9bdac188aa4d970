// The scripted window system: answers and logs what the game asks of the platform layer.
#include "support/scripted_ui.h"

#include "app/utf8.h"

namespace halvane {

using test_support::scripted_ui;

void request_repaint() { ++scripted_ui().repaint_requests; }

void post_to_window(std::function<void()> event) {
  auto& ui = scripted_ui();
  {
    std::lock_guard lock(ui.mutex);
    ui.events.push_back(std::move(event));
  }
  ui.event_posted.notify_all();
}

void set_button_caption(int id, const char16_t* caption) {
  std::lock_guard lock(scripted_ui().mutex);
  scripted_ui().captions[id] = caption;
}

BoxAnswer message_box(const char16_t* text, const char16_t* caption, BoxIcon icon, BoxButtons buttons) {
  auto& ui = scripted_ui();
  std::lock_guard lock(ui.mutex);
  ui.boxes.push_back({text, caption, icon, buttons});
  if (!ui.answers.empty()) {
    BoxAnswer answer = ui.answers.front();
    ui.answers.pop_front();
    return answer;
  }
  if (buttons == BOX_SAVE_DISCARD_CANCEL) return ANSWER_NO;   // the unsaved game is let go
  return buttons == BOX_YES_NO ? ANSWER_YES : ANSWER_OK;
}

// The game-end box is logged as the box it opens on the window thread.
void show_game_end_box(const char16_t* text, const char16_t* caption) {
  std::lock_guard lock(scripted_ui().mutex);
  scripted_ui().boxes.push_back({text, caption, BOX_INFORMATION, BOX_OK});
}

static bool next_path(std::deque<std::string>& queue, std::string& path) {
  std::lock_guard lock(scripted_ui().mutex);
  if (queue.empty()) return false;
  path = queue.front();
  queue.pop_front();
  return true;
}

bool open_file_dialog(std::string& path) { return next_path(scripted_ui().open_paths, path); }
bool save_file_dialog(std::string& path) { return next_path(scripted_ui().save_paths, path); }
void close_main_window() { scripted_ui().closed = true; }

bool new_game_dialog(NewGameChoice& choice) {
  auto& ui = scripted_ui();
  std::lock_guard lock(ui.mutex);
  ui.new_game_dialogs.push_back(choice);
  if (ui.new_game_answers.empty()) return true;
  const std::optional<NewGameChoice> answer = ui.new_game_answers.front();
  ui.new_game_answers.pop_front();
  return answer && (choice = *answer, true);
}

void show_study_pane(const std::string& text) { std::lock_guard lock(scripted_ui().mutex); scripted_ui().study_pane = text; }

void show_analysis_progress(int done, int total) {
  std::lock_guard lock(scripted_ui().mutex);
  scripted_ui().progress_done = done;
  scripted_ui().progress_total = total;
}

bool ask_analysis_seconds(double& seconds) {
  auto& ui = scripted_ui();
  std::lock_guard lock(ui.mutex);
  if (ui.analysis_seconds.empty()) return true;
  const double chosen = ui.analysis_seconds.front();
  ui.analysis_seconds.pop_front();
  return chosen > 0 && (seconds = chosen, true);
}

std::string clipboard_text() { std::lock_guard lock(scripted_ui().mutex); return scripted_ui().clipboard; }
void set_clipboard_text(const std::string& text) { std::lock_guard lock(scripted_ui().mutex); scripted_ui().clipboard = text; }
void set_window_title(const char16_t* title) { std::lock_guard lock(scripted_ui().mutex); scripted_ui().title = title; }

namespace test_support {

ScriptedUi& scripted_ui() {
  static ScriptedUi ui;
  return ui;
}

void reset_scripted_ui() {
  auto& ui = scripted_ui();
  std::lock_guard lock(ui.mutex);
  ui.answers.clear();
  ui.boxes.clear();
  ui.open_paths.clear();
  ui.save_paths.clear();
  ui.captions.clear();
  ui.title.clear(), ui.clipboard.clear(), ui.new_game_dialogs.clear(), ui.new_game_answers.clear();
  ui.study_pane.clear(), ui.progress_done = ui.progress_total = 0, ui.analysis_seconds.clear();
  ui.repaint_requests = 0;
  ui.closed = false;
  ui.events.clear();
}

int run_window_events() {
  auto& ui = scripted_ui();
  int ran = 0;
  for (;;) {
    std::function<void()> event;
    {
      std::lock_guard lock(ui.mutex);
      if (ui.events.empty()) return ran;
      event = std::move(ui.events.front());
      ui.events.pop_front();
    }
    event();   // outside the lock: an event may show boxes and post more
    ++ran;
  }
}

void wait_for_window_event() {
  auto& ui = scripted_ui();
  {
    std::unique_lock lock(ui.mutex);
    ui.event_posted.wait(lock, [&] { return !ui.events.empty(); });
  }
  run_window_events();
}

std::u16string caption_of(int id) {
  std::lock_guard lock(scripted_ui().mutex);
  auto it = scripted_ui().captions.find(id);
  return it == scripted_ui().captions.end() ? std::u16string() : it->second;
}

std::string utf8(const std::u16string& text) { return utf8_from_utf16(text); }

::testing::AssertionResult boxes_shown(const std::vector<ExpectedBox>& expected) {
  std::lock_guard lock(scripted_ui().mutex);
  const std::vector<ShownBox>& shown = scripted_ui().boxes;
  if (shown.size() != expected.size())
    return ::testing::AssertionFailure() << shown.size() << " boxes shown, " << expected.size() << " expected";
  for (size_t i = 0; i < shown.size(); ++i) {
    const ShownBox& box = shown[i];
    const ExpectedBox& want = expected[i];
    if (box.text != want.text || box.caption != want.caption)
      return ::testing::AssertionFailure() << "box " << i << ": \"" << utf8(box.text) << "\" / \"" << utf8(box.caption)
                                           << "\", expected \"" << utf8(want.text) << "\" / \"" << utf8(want.caption) << "\"";
    if ((want.icon >= 0 && box.icon != want.icon) || (want.buttons >= 0 && box.buttons != want.buttons))
      return ::testing::AssertionFailure() << "box " << i << " (" << utf8(box.text) << "): icon " << box.icon
                                           << ", buttons " << box.buttons << "; expected " << want.icon << ", " << want.buttons;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace test_support
}  // namespace halvane
