// The window system of halvane-kif: message boxes become lines on standard error, the file dialogs
// answer with the path given on the command line, captions and repaints are ignored.
#include "programs/kif/console_ui.h"

#include <cstdio>

#include "platform/ui.h"

namespace halvane {

namespace {

std::string dialog_path;
bool failure_seen = false;

std::string utf8(const char16_t* text) {
  std::string out;
  for (; *text; ++text) {
    char32_t c = *text;
    if (c >= 0xD800 && c < 0xDC00 && text[1] >= 0xDC00 && text[1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[1] - 0xDC00);
      ++text;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

void console_set_path(const std::string& path) { dialog_path = path; }
bool console_failure_seen() { return failure_seen; }

void request_repaint() {}
void set_button_caption(int, const char16_t*) {}
void close_main_window() {}

BoxAnswer message_box(const char16_t* text, const char16_t* caption, BoxIcon icon, BoxButtons buttons) {
  std::fprintf(stderr, "%s: %s\n", utf8(caption).c_str(), utf8(text).c_str());
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
