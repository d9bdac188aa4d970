// The save and load menu commands: the refusals while the computer thinks, the file dialogs, the message
// boxes, and the state a loaded game is left in. The bytes themselves come from the kif library's
// reader and writer, the moves from the record slots.
#include "app/kif_file.h"

#include <string>

#include "app/file_error_text.h"
#include "app/game_end.h"
#include "app/record_slots.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/ui.h"
#include "app/utf8.h"
#include "kif/file_bytes.h"
#include "kif/kif_start.h"

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

// The record for the file: the moves, the game's end, and the header naming the date and the players by
// their sides.
GameRecord file_record(const GameState& gs, const SlotMoves& moves) {
  GameRecord record = record_of(moves);
  const std::string player = "あなた";
  const std::string computer = utf8_from_utf16(gs.view.computer_name ? gs.view.computer_name : u"ハルベイン");
  const bool gote = gs.record.player_is_gote != 0;
  set_header(record, "開始日時", kif_date_text(kif_clock()));
  set_header(record, "棋戦", "ハルベイン");
  set_header(record, "先手", gote ? computer : player);
  set_header(record, "後手", gote ? player : computer);
  return record;
}

}  // namespace

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
  if (gs.record.length < KIF_SAVE_MIN_MOVES) {
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
  // 4.-8. The moves with sente at the bottom, and the file: header, move lines, the closing line. A
  // step of the record that is no move ends the file there, without a closing line.
  SlotMoves record;
  SlotChange failure;
  int differences;
  const bool complete = record_from_slots(gs, record, failure, differences);
  // A step that is no move makes no record: nothing is written over the file, and the failure is told.
  if (!complete) {
    std::u16string message = FORMAT_MISMATCH;
    if (failure == SLOT_TOO_MANY) message += u"c=" + utf16_from_utf8(std::to_string(differences));
    failure_box(message.c_str(), u"棋譜書き込みエラー");
    return false;
  }
  // A file that could not be written in full is a failure, never reported as saved; the file that was
  // there stays as it was.
  const FileStatus written = write_file_bytes(path, kif_bytes(file_record(gs, record)));
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
  // 4.-8. The moves. Bytes that are no game record at all (a picture, a text without moves) are refused
  // and the game stays as it was; a record that cannot be loaded leaves an empty record behind. The
  // reason is told with the line it was found on.
  GameRecord file;
  last_load = read_kif(bytes, file);
  if (last_load.status == KIF_READ_OK && !(file.start.side_to_move == BLACK && handicap_of(file.start) == &HANDICAPS[0])) {
    last_load = {KIF_BAD_RECORD, 0, "a record from a handicap or a set-up position cannot be played on yet"};
    file = GameRecord{};
  }
  bool cut = false;
  SlotMoves record = slot_moves_of(file, cut);
  if (last_load.status != KIF_READ_OK) {
    const std::u16string text = std::u16string(FORMAT_MISMATCH) + u"\n" + utf16_from_utf8(last_load.message);
    failure_box(text.c_str(), u"棋譜読み込みエラー");
    if (last_load.status == KIF_NOT_A_RECORD) return;
  } else if (cut) {
    // The game holds fewer moves than the file: said, so that a save over the file is never a surprise.
    const std::u16string text = u"棋譜ファイルを開けましたが、手数が多すぎるため" +
                                utf16_from_utf8(std::to_string(PLAYER_MOVE_LIMIT)) + u"手目までを読み込みました。" +
                                u"\nこのまま上書き保存すると、それより後の指し手は失われます。";
    message_box(text.c_str(), SUCCEEDED, BOX_WARNING, BOX_OK);
  } else {
    message_box(u"棋譜ファイルを開けました。", SUCCEEDED, BOX_INFORMATION, BOX_OK);
  }
  record_to_slots(gs, record);
  if (last_load.status != KIF_READ_OK) gs.record.length = -1;
  gs.flags.end_reason = record.end;   // saved again as it stands, the record keeps its end word
  gs.flags.unsaved = cut;             // the game on screen is the file's, unless it was cut

  // 9. The loaded game: the player as sente at the initial position, paused.
  show_slot(gs.record, 0);
  gs.record.current = 0;
  gs.flags.started = true;
  set_button_caption(0, u"初期化");
  gs.record.player_is_gote = 0;
  gs.flags.game_over = finished_here(gs);   // a record of no moves that ended is over at once
  gs.view.score_shown = NO_SCORE;
  forget_last_move(gs.view);
  gs.flags.thinking = false;
  gs.flags.input_busy = false;
  gs.flags.player_to_move = true;
  gs.input.selection = 0;
  gs.view.show_last_move = 0;
  gs.flags.paused = true;
  set_button_caption(5, u"■");
  gs.view.refresh_count = 0;
  write_turn_status(gs);
}

}  // namespace halvane
