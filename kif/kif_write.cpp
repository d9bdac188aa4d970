// The KIF writer: header fields in their order with the start position before the players, the main line,
// its end word and closing remark, then the variations, the deepest branch of each line first, as KIF
// readers expect them (each "変化：N手" block branches from the line written just before it).
#include "kif/kif_write.h"

#include <cstdio>
#include <ctime>

#include "core/promotion.h"
#include "kif/kif_encoding.h"
#include "kif/kif_header.h"
#include "kif/kif_text.h"

namespace halvane {

namespace {

constexpr const char* CRLF = "\r\n";
constexpr const char* MOVES_LINE = "手数----指手---------消費時間--";

std::string time_field(const RecordNode& node) {
  if (node.time_ms == NO_TIME) return {};
  const int move_s = node.time_ms / 1000;
  const int total_s = node.total_ms == NO_TIME ? move_s : node.total_ms / 1000;
  char text[48];
  std::snprintf(text, sizeof text, "   (%2d:%02d/%02d:%02d:%02d)", move_s / 60, move_s % 60, total_s / 3600,
                total_s / 60 % 60, total_s % 60);
  return text;
}

struct Writer {
  const GameRecord& record;
  std::string text;

  void line(const std::string& s) { text += s + CRLF; }

  void comments(int node) {
    for (const std::string& c : record.nodes[node].comments) line("*" + c);
  }

  // The moves of the line that starts with node `first` (and follows first children), with their
  // comments and the line's end word (a main line always has one).
  void moves_from(int first, bool main_line) {
    int k = first;
    for (;;) {
      const RecordNode& n = record.nodes[k];
      const bool alternatives = record.nodes[n.parent].children.size() > 1;
      line(std::to_string(n.ply) + " " + kif_move_text(n.move) + time_field(n) + (alternatives ? "+" : ""));
      comments(k);
      if (n.children.empty()) break;
      k = n.children[0];
    }
    const RecordNode& last = record.nodes[k];
    if (last.end != GAME_END_NONE || main_line) {
      // The end word's time is the side to move's: its total goes on from that side's last move.
      RecordNode timing;
      timing.time_ms = last.end_time_ms;
      const int before = last.parent >= 0 ? record.nodes[last.parent].total_ms : 0;
      if (last.end_time_ms != NO_TIME && before != NO_TIME) timing.total_ms = before + last.end_time_ms;
      line(std::to_string(last.ply + 1) + " " + kif_end_word(last.end) + time_field(timing));
    }
  }
};

// Appends the first nodes of the variations that branch from the line starting at `first`, deepest
// first, each followed by its own.
void add_variations(const GameRecord& record, int first, std::vector<int>& order) {
  const std::vector<int> line_nodes = line_from(record, first);
  for (auto it = line_nodes.rbegin(); it != line_nodes.rend(); ++it) {
    const RecordNode& n = record.nodes[*it];
    if (n.parent < 0) continue;
    const std::vector<int>& siblings = record.nodes[n.parent].children;
    if (siblings[0] != *it) continue;
    for (size_t i = 1; i < siblings.size(); ++i) {
      order.push_back(siblings[i]);
      add_variations(record, siblings[i], order);
    }
  }
}

}  // namespace

KifDate local_kif_date() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string kif_date_text(const KifDate& d) {
  char text[64];
  std::snprintf(text, sizeof text, "%d/%02d/%02d (%02d:%02d:%02d)", d.year, d.month, d.day, d.hour, d.minute, d.second);
  return text;
}

std::string kif_end_word(GameEnd end) {
  switch (end) {
    case GAME_END_RESIGNED:
    case GAME_END_KING_CAPTURED: return "投了";
    case GAME_END_MATED: return "詰み";
    case GAME_END_FOUL: return "反則負け";
    case GAME_END_FOUL_WIN: return "反則勝ち";
    case GAME_END_REPETITION: return "千日手";
    case GAME_END_IMPASSE: return "持将棋";
    case GAME_END_TIME_LOSS: return "切れ負け";
    case GAME_END_ENTERING_KING: return "入玉勝ち";
    case GAME_END_DEFAULT_WIN: return "不戦勝";
    case GAME_END_DEFAULT_LOSS: return "不戦敗";
    case GAME_END_SEALED: return "封じ手";
    case GAME_END_NO_MATE: return "不詰";
    case GAME_END_NONE:
    case GAME_END_SUSPENDED: break;
  }
  return "中断";
}

std::string kif_closing_line(GameEnd end, int moves, int side_to_move) {
  const std::string head = "まで" + std::to_string(moves < 0 ? 0 : moves) + "手で";
  const std::string to_move = side_to_move == WHITE ? "後手" : "先手";
  const std::string other = side_to_move == WHITE ? "先手" : "後手";
  switch (end) {
    case GAME_END_RESIGNED:
    case GAME_END_KING_CAPTURED: return head + other + "の勝ち";
    case GAME_END_MATED: return head + "詰み";
    case GAME_END_FOUL: return head + to_move + "の反則負け";
    case GAME_END_FOUL_WIN: return head + to_move + "の反則勝ち";
    case GAME_END_TIME_LOSS: return head + "時間切れにより" + other + "の勝ち";
    case GAME_END_ENTERING_KING: return head + "入玉宣言により" + to_move + "の勝ち";
    case GAME_END_DEFAULT_WIN: return head + to_move + "の不戦勝";
    case GAME_END_DEFAULT_LOSS: return head + to_move + "の不戦敗";
    case GAME_END_REPETITION:
    case GAME_END_IMPASSE:
    case GAME_END_SEALED:
    case GAME_END_NO_MATE: return head + kif_end_word(end);
    case GAME_END_NONE:
    case GAME_END_SUSPENDED: break;
  }
  return head + "中断";
}

std::string kif_closing_line(const GameRecord& record) {
  const int last = main_line_end(record);
  const int moves = record.nodes[last].ply;
  const int side = moves % 2 == 0 ? record.start.side_to_move : record.start.side_to_move ^ 1;
  return kif_closing_line(record.nodes[last].end, moves, side);
}

std::string kif_move_name(const MoveRecord& move, const MoveRecord* previous) {
  const std::string piece = KIF_PIECE_WORDS[move.is_drop() ? move.piece & 7 : move.piece & 15];
  std::string text;
  if (previous && !move.is_drop() && previous->to_col == move.to_col && previous->to_row == move.to_row)
    text = piece.size() > 3 ? "同" : "同　";   // a one-character name is padded to the square's width
  else
    text = kif_square_name(move.to_col, move.to_row);
  text += piece;
  if (move.is_drop()) return text + "打";
  if (move.piece_after != move.piece) return text + "成";
  if (can_promote(move.piece) && promotion_allowed(side_of(move.piece), move.from_row, move.to_row)) text += "不成";
  return text;
}

std::string kif_move_text(const MoveRecord& move) {
  if (move.is_drop()) return kif_move_name(move);
  return kif_move_name(move) + "(" + std::to_string(9 - move.from_col) + std::to_string(move.from_row + 1) + ")";
}

std::vector<int> kif_line_order(const GameRecord& record) {
  std::vector<int> order;
  if (record.nodes[0].children.empty()) return order;
  order.push_back(record.nodes[0].children[0]);
  add_variations(record, 0, order);
  return order;
}

std::string kif_text(const GameRecord& record) {
  Writer w{record, {}};
  // 1. The header: its fields, the start position before the players (or after the fields).
  for (const std::string& l : kif_header_lines(record)) w.line(l);
  w.line(MOVES_LINE);
  w.comments(0);
  // 2. The main line, its end, the closing remark; then the variations.
  const std::vector<int> lines = kif_line_order(record);
  if (lines.empty()) w.line("1 " + kif_end_word(record.nodes[0].end));
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      w.line("");
      w.line("変化：" + std::to_string(record.nodes[lines[i]].ply) + "手");
    }
    w.moves_from(lines[i], i == 0);
    if (i == 0) w.line(kif_closing_line(record));
  }
  if (lines.empty()) w.line(kif_closing_line(record));
  return w.text;
}

std::string kif_bytes(const GameRecord& record, bool utf8) {
  if (utf8) return "#KIF version=2.0 encoding=UTF-8\r\n" + kif_text(record);
  return utf8_to_cp932(kif_text(record));
}

}  // namespace halvane
