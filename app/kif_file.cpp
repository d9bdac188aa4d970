// The save and load menu commands: the refusals while the computer thinks, the file dialogs, the message
// boxes, and the state a loaded game is left in. The bytes themselves come from kif_write and kif_read.
#include "app/kif_file.h"

#include <cstdio>
#include <string>

#include "app/kif_write.h"
#include "app/render.h"
#include "app/ui.h"

namespace halvane {

namespace {

constexpr const char16_t* FAILED = u"失敗";
constexpr const char16_t* SUCCEEDED = u"成功";
constexpr const char16_t* CANNOT_OPEN = u"棋譜ファイルを開けませんでした。";
constexpr const char16_t* FORMAT_MISMATCH = u"棋譜ファイルのフォーマットが合いません。";
constexpr long FILE_BYTE_LIMIT = 64L << 20;   // far more than any record of 498 moves needs

KifReadResult last_load{0, false, 0, {}};

// A UTF-8 path as UTF-16, for a message box caption.
std::u16string utf16(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = text[i];
    char32_t cp = c;
    int n = 1;
    if (c >= 0xF0 && i + 3 < text.size()) {
      cp = ((c & 0x07) << 18) | ((text[i + 1] & 0x3F) << 12) | ((text[i + 2] & 0x3F) << 6) | (text[i + 3] & 0x3F);
      n = 4;
    } else if (c >= 0xE0 && i + 2 < text.size()) {
      cp = ((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F);
      n = 3;
    } else if (c >= 0xC0 && i + 1 < text.size()) {
      cp = ((c & 0x1F) << 6) | (text[i + 1] & 0x3F);
      n = 2;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += n;
  }
  return out;
}

void failure_box(const char16_t* text, const char16_t* caption) { message_box(text, caption, BOX_ERROR, BOX_OK); }

// Reads the whole file (up to FILE_BYTE_LIMIT bytes); false when reading fails.
bool read_all(std::FILE* file, std::string& bytes) {
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, n);
    if (static_cast<long>(bytes.size()) >= FILE_BYTE_LIMIT) break;
  }
  return std::ferror(file) == 0;
}

}  // namespace

const KifReadResult& last_kif_load() { return last_load; }

void save_kif(GameState& gs, Engine& e) {
  // 1. Not while the computer thinks.
  if (gs.thinking) {
    set_status(gs, u"コンピュータの思考中は棋譜を保存できません。");
    repaint(gs, e);
    return;
  }
  // 2. A record worth saving.
  if (gs.length < 3) {
    failure_box(u"保存する棋譜の手数が足りません。", FAILED);
    repaint(gs, e);
    return;
  }
  // 3. The file.
  std::string path;
  if (!save_file_dialog(path)) {
    failure_box(CANNOT_OPEN, FAILED);
    return;
  }
  // 4. Truncate or create.
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    failure_box(CANNOT_OPEN, utf16(path).c_str());
    return;
  }
  // 5.-8. Header, moves with sente at the bottom, the closing line.
  const KifDate date = kif_clock();
  orient_for_file(gs);
  const KifWriteResult written = kif_text(gs, date);
  const bool stored = std::fwrite(written.text.data(), 1, written.text.size(), file) == written.text.size();
  if (written.error != KIF_WRITE_OK) {
    std::u16string text = FORMAT_MISMATCH;
    if (written.error == KIF_WRITE_TOO_MANY) text += u"c=" + utf16(std::to_string(written.differences));
    failure_box(text.c_str(), u"棋譜書き込みエラー");
    std::fclose(file);
    orient_for_file(gs);
    return;
  }
  // A file that could not be written in full is a failure, never reported as saved.
  if (std::fclose(file) != 0 || !stored) {
    failure_box(CANNOT_OPEN, utf16(path).c_str());
    orient_for_file(gs);
    return;
  }
  // 9. Done.
  message_box(u"棋譜ファイルを保存しました。", SUCCEEDED, BOX_INFORMATION, BOX_OK);
  orient_for_file(gs);
}

void load_kif(GameState& gs, Engine& e) {
  // 1. Not while the computer thinks.
  if (gs.thinking) {
    set_status(gs, u"コンピュータの思考中は棋譜を読み込めません。");
    repaint(gs, e);
    return;
  }
  // 2. The file.
  std::string path;
  if (!open_file_dialog(path)) {
    failure_box(u"棋譜ファイルを開きませんでした。", FAILED);
    return;
  }
  // 3. Open it.
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    failure_box(CANNOT_OPEN, utf16(path).c_str());
    return;
  }
  // 4. Opened, before anything is read.
  message_box(u"棋譜ファイルを開けました。", SUCCEEDED, BOX_INFORMATION, BOX_OK);
  std::string bytes;
  const bool read = read_all(file, bytes);
  std::fclose(file);
  // A file that cannot be read (a directory, a device error) is no empty record: nothing changes.
  if (!read) {
    failure_box(CANNOT_OPEN, utf16(path).c_str());
    return;
  }

  // 5.-8. Replay the moves into the record.
  last_load = read_kif(gs, bytes);
  if (last_load.format_error) failure_box(FORMAT_MISMATCH, u"棋譜読み込みエラー");

  // 9. The loaded game: the player as sente at the initial position, paused.
  show_slot(gs, 0);
  gs.length = last_load.length;
  gs.current = 0;
  gs.started = true;
  set_button_caption(0, u"初期化");
  gs.player_is_gote = 0;
  gs.game_over = false;
  gs.thinking = false;
  gs.input_busy = false;
  gs.player_to_move = true;
  gs.selection = 0;
  gs.show_last_move = 0;
  gs.paused = true;
  set_button_caption(5, u"■");
  gs.refresh_count = 0;
}

}  // namespace halvane
