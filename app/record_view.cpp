// The move list's lines, the alternatives and comments of the move on the board, and the status texts of
// the record, with every move named by the KIF writer's own naming.
#include "app/record_view.h"

#include "app/evaluation_text.h"
#include "app/game_end.h"
#include "app/record_analysis.h"
#include "app/record_play.h"
#include "app/turn_flow.h"
#include "app/utf8.h"
#include "kif/kif_write.h"

namespace halvane {

namespace {

std::u16string numbered(const GameRecord& r, int node) {
  const RecordNode& n = r.nodes[node];
  const MoveRecord* previous = n.parent > 0 ? &r.nodes[n.parent].move : nullptr;
  return utf16_from_utf8(std::to_string(n.ply)) + u" " + move_label(n.move, previous);
}

// "0:12", "1:02:03".
std::u16string time_text(int ms) {
  const int s = ms / 1000;
  std::string text = s >= 3600 ? std::to_string(s / 3600) + ":" + (s / 60 % 60 < 10 ? "0" : "") : "";
  text += std::to_string(s / 60 % 60) + ":" + (s % 60 < 10 ? "0" : "") + std::to_string(s % 60);
  return utf16_from_utf8(text);
}

std::u16string time_tip(const RecordNode& n) {
  if (n.time_ms == NO_TIME) return {};
  std::u16string tip = u"消費時間 " + time_text(n.time_ms);
  if (n.total_ms != NO_TIME) tip += u" / 合計 " + time_text(n.total_ms);
  return tip;
}

}  // namespace

std::u16string move_label(const MoveRecord& move, const MoveRecord* previous) {
  return (side_of(move.piece) == SENTE ? u"▲" : u"△") + utf16_from_utf8(kif_move_name(move, previous));
}

void move_list_lines(const GameState& gs, MoveList& list) {
  const GameRecord& r = gs.game.record;
  const std::vector<int> line = shown_line(gs);
  list.lines.clear();
  list.tips.clear();
  list.lines.reserve(line.size() + 1);
  list.lines.push_back(u"開始局面");
  list.tips.emplace_back();
  for (size_t k = 1; k < line.size(); ++k) {
    const bool alternatives = r.nodes[r.nodes[line[k]].parent].children.size() > 1;
    // A move 棋譜解析 found to have lost much carries its mark: "31 ▲４五歩 悪手".
    const char* mark = move_mark_text(move_mark(r, line[k]));
    list.lines.push_back(numbered(r, line[k]) + (alternatives ? u"+" : u"") + (*mark ? u" " + utf16_from_utf8(mark) : u""));
    list.tips.push_back(time_tip(r.nodes[line[k]]));
  }
  // The closing remark once the line has ended (a record's 中断 too).
  if (r.nodes[line.back()].end != GAME_END_NONE) {
    list.lines.push_back(shown_line_closing(gs));
    const int end_ms = r.nodes[line.back()].end_time_ms;
    list.tips.push_back(end_ms == NO_TIME ? u"" : u"消費時間 " + time_text(end_ms));
  }
  list.current_line = cursor_ply(gs);
}

std::vector<Alternative> alternatives_here(const GameState& gs) {
  const GameRecord& r = gs.game.record;
  const int node = gs.game.cursor;
  std::vector<Alternative> out;
  if (node == 0 || r.nodes[r.nodes[node].parent].children.size() < 2) return out;
  for (int sibling : r.nodes[r.nodes[node].parent].children)
    out.push_back({sibling, numbered(r, sibling) + (sibling == r.nodes[r.nodes[node].parent].children[0] ? u"" : u" (変化)")});
  return out;
}

std::u16string comments_here(const GameState& gs) {
  std::u16string text;
  for (const std::string& c : gs.game.record.nodes[gs.game.cursor].comments) text += (text.empty() ? u"" : u"\n") + utf16_from_utf8(c);
  return text;
}

void write_turn_status(GameState& gs) {
  if (!gs.flags.started) return set_status(gs.view, TEXT_PRESS_START);
  const GameRecord& r = gs.game.record;
  const int cursor = gs.game.cursor;
  if (game_over(gs)) {
    const int moves = cursor_ply(gs);
    return set_status(gs.view, game_end_line(end_here(gs), moves, side_to_move(gs)).c_str());
  }
  const bool stepping = gs.flags.paused && (player_to_move(gs) || cursor != gs.game.line_tip);
  if (stepping) {
    // "14手目 △３四歩まで", or the start.
    if (cursor == 0) return set_status(gs.view, u"開始局面");
    const RecordNode& n = r.nodes[cursor];
    const MoveRecord* previous = n.parent > 0 ? &r.nodes[n.parent].move : nullptr;
    const std::u16string text = utf16_from_utf8(std::to_string(n.ply)) + u"手目 " + move_label(n.move, previous) + u"まで";
    return set_status(gs.view, text.c_str());
  }
  if (!player_to_move(gs)) {
    if (gs.flags.paused) set_status(gs.view, u"コンピュータの手番ですが一時停止中です。");
    return;
  }
  if (gs.view.score_shown == NO_SCORE) return set_status(gs.view, u"プレイヤーの手番です。");
  const std::u16string text = u"プレイヤーの手番です。" + utf16_from_utf8(evaluation_label(gs.view.score_shown));
  set_status(gs.view, text.c_str());
}

}  // namespace halvane
