// The window system of halvane-kif: message boxes become lines on standard error, the file dialogs
// answer with the path given on the command line, captions and repaints are ignored.
#include "programs/kif/console_ui.h"

#include <cstdio>

#include "app/utf8.h"
#include "app/ui.h"

namespace halvane {

namespace {

std::string dialog_path;
bool failure_seen = false;

}  // namespace

void console_set_path(const std::string& path) { dialog_path = path; }
bool console_failure_seen() { return failure_seen; }

void request_repaint() {}
void set_button_caption(int, const char16_t*) {}
void close_main_window() {}

BoxAnswer message_box(const char16_t* text, const char16_t* caption, BoxIcon icon, BoxButtons buttons) {
  std::fprintf(stderr, "%s: %s\n", utf8_from_utf16(caption).c_str(), utf8_from_utf16(text).c_str());
  if (icon == BOX_ERROR || icon == BOX_WARNING) failure_seen = true;
  return buttons == BOX_YES_NO ? ANSWER_YES : ANSWER_OK;
}

bool open_file_dialog(std::string& path) {
  path = dialog_path;
  return !path.empty();
}
bool save_file_dialog(std::string& path) {
  path = dialog_path;
  return !path.empty();
}

}  // namespace halvane
