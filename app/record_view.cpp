// The move list's lines and the status texts of the record: move names from the record slots, in the
// KIF file's orientation and words, with the names themselves taken from the KIF tables.
#include "app/record_view.h"

#include <string>

#include "app/game_end.h"
#include "app/record_slots.h"
#include "app/turn_monitor.h"
#include "core/promotion.h"
#include "kif/kif_encoding.h"
#include "kif/kif_names.h"

namespace halvane {

namespace {

// The KIF square and piece names as UTF-16, decoded once from the tables the files are written with.
struct WideNames {
  std::u16string squares[83];
  std::u16string pieces[16];
};

const WideNames& wide_names() {
  static const WideNames names = [] {
    WideNames n;
    for (int i = 0; i < 83; ++i) n.squares[i] = cp932_to_utf16(KIF_SQUARE_NAMES[i]);
    for (int i = 0; i < 16; ++i) n.pieces[i] = cp932_to_utf16(KIF_PIECE_NAMES[i]);
    return n;
  }();
  return names;
}

void put(char16_t* out, int& n, int capacity, std::u16string_view text) {
  for (char16_t c : text)
    if (n < capacity - 1) out[n++] = c;
  out[n] = 0;
}

void put_number(char16_t* out, int& n, int capacity, int value) {
  const std::string digits = std::to_string(value);
  for (char c : digits)
    if (n < capacity - 1) out[n++] = static_cast<char16_t>(c);
  out[n] = 0;
}

// The record's moves in the file's orientation, as far as the slots hold moves.
int record_moves(const GameState& gs, SlotMoves& record) {
  SlotChange failure;
  int differences;
  record_from_slots(gs, record, failure, differences);
  return record.move_count;
}

// "N ▲name": the number, whose move, the name.
void numbered_move(const SlotMoves& record, int k, char16_t* out, int capacity) {
  int n = 0;
  out[0] = 0;
  put_number(out, n, capacity, k + 1);
  put(out, n, capacity, k % 2 == 0 ? u" ▲" : u" △");
  char16_t name[MOVE_NAME_UNITS];
  move_name(record.moves[k], k > 0 ? &record.moves[k - 1] : nullptr, k % 2 == 0, name);
  put(out, n, capacity, name);
}

}  // namespace

void move_name(const MoveRecord& move, const MoveRecord* previous, bool sente_moves, char16_t out[MOVE_NAME_UNITS]) {
  const WideNames& names = wide_names();
  int n = 0;
  out[0] = 0;
  const std::u16string& piece = names.pieces[kind_of(move.piece)];
  if (previous && !move.is_drop() && previous->to_col == move.to_col && previous->to_row == move.to_row) {
    // A recapture: "同　銀", and with a two-character name "同成銀".
    put(out, n, MOVE_NAME_UNITS, piece.size() == 1 ? u"同　" : u"同");
  } else {
    put(out, n, MOVE_NAME_UNITS, names.squares[move.to_row * 9 + move.to_col]);
  }
  put(out, n, MOVE_NAME_UNITS, piece);
  if (move.is_drop()) return put(out, n, MOVE_NAME_UNITS, u"打");
  if (move.piece_after != move.piece) return put(out, n, MOVE_NAME_UNITS, u"成");
  if (can_promote(move.piece) && promotion_allowed(sente_moves ? SENTE : GOTE, move.from_row, move.to_row))
    put(out, n, MOVE_NAME_UNITS, u"不成");
}

void move_list_lines(const GameState& gs, MoveList& list) {
  SlotMoves record;
  const int moves = record_moves(gs, record);
  int count = 0;
  int n = 0;
  put(list.lines[count++], n, MOVE_LINE_UNITS, u"開始局面");
  for (int k = 0; k < moves; ++k) numbered_move(record, k, list.lines[count++], MOVE_LINE_UNITS);
  // The closing remark once the game has ended, or stopped without an end.
  if (gs.flags.end_reason != GAME_END_NONE || (gs.flags.game_over && gs.flags.started))
    game_end_line(gs.flags.end_reason, moves, list.lines[count++]);
  list.count = count;
  const int current = gs.record.current;
  list.current_line = current < 0 ? 0 : current > moves ? moves : current;
}

bool finished_here(const GameState& gs) {
  return gs.flags.end_reason != GAME_END_NONE && gs.record.length >= 0 && gs.record.current == gs.record.length;
}

void write_turn_status(GameState& gs) {
  if (!gs.flags.started) return set_status(gs.view, TEXT_PRESS_START);
  const int current = gs.record.current;
  if (finished_here(gs)) {
    char16_t line[32];
    game_end_line(gs.flags.end_reason, current, line);
    return set_status(gs.view, line);
  }
  const bool stepping = gs.flags.paused && (gs.flags.player_to_move || current < gs.record.length);
  if (stepping) {
    // "14手目 △３四歩まで", or the start.
    SlotMoves record;
    if (current < 1 || record_moves(gs, record) < current) return set_status(gs.view, u"開始局面");
    char16_t text[48];
    int n = 0;
    put_number(text, n, 48, current);
    put(text, n, 48, current % 2 == 1 ? u"手目 ▲" : u"手目 △");
    char16_t name[MOVE_NAME_UNITS];
    move_name(record.moves[current - 1], current > 1 ? &record.moves[current - 2] : nullptr, current % 2 == 1, name);
    put(text, n, 48, name);
    put(text, n, 48, u"まで");
    return set_status(gs.view, text);
  }
  if (!gs.flags.player_to_move) {
    if (gs.flags.paused) set_status(gs.view, u"コンピュータの手番ですが一時停止中です。");
    return;
  }
  if (gs.view.score_shown == NO_SCORE) return set_status(gs.view, u"プレイヤーの手番です。");
  set_status(gs.view, u"プレイヤーの手番です。評価値＝%d", gs.view.score_shown);
}

}  // namespace halvane
