// The save and load menu commands: the refusals while the computer thinks, the file dialogs, the message
// boxes, and the state a loaded game is left in. The bytes themselves come from the kif library's reader
// and writer, and the record is the game's own: every line, comment and header it holds goes to the file.
#include "app/kif_file.h"

#include <string>

#include "app/file_error_text.h"
#include "app/game_end.h"
#include "app/load_failure.h"
#include "app/navigation.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "app/ui.h"
#include "app/utf8.h"
#include "kif/file_bytes.h"
#include "kif/kif_start.h"
#include "kif/record_format.h"

namespace halvane {

namespace {

constexpr const char16_t* FAILED = u"失敗";
constexpr const char16_t* SUCCEEDED = u"成功";
constexpr const char16_t* CANNOT_OPEN = u"棋譜ファイルを開けませんでした。";
constexpr const char16_t* FORMAT_MISMATCH = u"棋譜ファイルのフォーマットが合いません。";

KifReadResult last_load;

void failure_box(const char16_t* text, const char16_t* caption) { message_box(text, caption, BOX_ERROR, BOX_OK); }

// A file that could not be read or saved: what failed and why, under the path.
void file_failure_box(const char16_t* what, const FileStatus& status, const std::string& path, bool saving) {
  const std::u16string text = what + (u"\n" + file_error_text(status, saving));
  failure_box(text.c_str(), utf16_from_utf8(path).c_str());
}

// The record for the file. A game begun here names its players by the sides they play (and keeps the
// date it began); a loaded record goes back as it came.
}  // namespace

GameRecord record_to_save(const GameState& gs) {
  GameRecord record = gs.game.record;
  if (!gs.game.own_game) return record;
  const std::string player = "あなた";
  const std::string computer = utf8_from_utf16(gs.view.computer_name ? gs.view.computer_name : u"ハルベイン");
  const bool gote = gs.game.player_side == WHITE;
  if (!header_value(record, "開始日時")) set_header(record, "開始日時", kif_date_text(kif_clock()));
  if (!header_value(record, "棋戦")) set_header(record, "棋戦", "ハルベイン");
  // A handicap game names its sides as players of one do: 下手 the side with every piece, 上手 the giver.
  const Handicap* start = handicap_of(record.start);
  const bool handicap = start && start != &HANDICAPS[0];
  set_header(record, handicap ? "下手" : "先手", gote ? computer : player);
  set_header(record, handicap ? "上手" : "後手", gote ? player : computer);
  return record;
}

const KifReadResult& last_kif_load() { return last_load; }

KifDate (*kif_clock)() = local_kif_date;

bool save_kif(GameState& gs, Engine& e, bool asked) {
  // 1. Not while the computer thinks.
  if (gs.flags.thinking) {
    set_status(gs.view, u"コンピュータの思考中は棋譜を保存できません。");
    repaint(gs, e);
    return false;
  }
  // 2. A record worth saving.
  if (main_line_moves(gs) < KIF_SAVE_MIN_MOVES) {
    failure_box(u"保存する棋譜の手数が足りません。", FAILED);
    repaint(gs, e);
    return false;
  }
  // 3. The file.
  std::string path;
  if (!save_file_dialog(path)) {
    if (!asked) failure_box(CANNOT_OPEN, FAILED);
    return false;
  }
  // 4.-8. The record, as a whole, in the format the name's extension says (KIF for any other name): a
  // file that could not be written in full is a failure, never reported as saved, and the file that was
  // there stays as it was.
  RecordFormat format = format_for_extension(path);
  if (format == FORMAT_UNKNOWN) format = FORMAT_KIF;
  const FileStatus written = write_file_bytes(path, write_record(record_to_save(gs), format));
  if (!written.ok()) {
    file_failure_box(u"棋譜ファイルを保存できませんでした。", written, path, true);
    return false;
  }
  // 9. Done.
  gs.flags.unsaved = false;
  message_box(u"棋譜ファイルを保存しました。", SUCCEEDED, BOX_INFORMATION, BOX_OK);
  return true;
}

void load_kif(GameState& gs, Engine& e) {
  // 1. Not while the computer thinks.
  if (gs.flags.thinking) {
    set_status(gs.view, u"コンピュータの思考中は棋譜を読み込めません。");
    repaint(gs, e);
    return;
  }
  // 2. The file.
  std::string path;
  if (!open_file_dialog(path)) {
    failure_box(u"棋譜ファイルを開きませんでした。", FAILED);
    return;
  }
  // 3. The whole file. One that cannot be read (missing, a folder, a FIFO, too large) is no empty record:
  //    nothing changes.
  std::string bytes;
  const FileStatus read = read_file_bytes(path, bytes);
  if (!read.ok()) {
    file_failure_box(CANNOT_OPEN, read, path, false);
    return;
  }
  // 4.-8. The record. One the reader refuses is told with the line and the reason, and the game on the
  // board stays as it was.
  GameRecord file;
  last_load = read_record(bytes, file);
  if (last_load.status != KIF_READ_OK) {
    const std::u16string text = std::u16string(FORMAT_MISMATCH) + u"\n" + load_failure_text(last_load);
    failure_box(text.c_str(), u"棋譜読み込みエラー");
    return;
  }
  message_box(u"棋譜ファイルを開けました。", SUCCEEDED, BOX_INFORMATION, BOX_OK);
  take_loaded_record(gs, e, std::move(file));
}

void take_loaded_record(GameState& gs, Engine& e, GameRecord record) {
  // 9. The loaded game at its start, paused: the player plays sente until taking over a side by a move.
  stop_computer(gs, e);
  gs.game.player_side = BLACK;
  gs.game.view_flipped = false;
  gs.game.own_game = false;
  take_record(gs, std::move(record));
  gs.flags.unsaved = false;
  gs.flags.started = true;
  set_button_caption(0, u"初期化");
  gs.view.score_shown = NO_SCORE;
  gs.flags.input_busy = false;
  gs.input.selection = 0;
  gs.view.show_last_move = 0;
  hold_computer(gs);
  write_turn_status(gs);
  repaint(gs, e);
}

}  // namespace halvane
