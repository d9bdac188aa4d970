// CSA lines, one statement to a line: squares as file and rank digits, pieces by their two-letter names
// (a move names the piece after it, so a promotion shows as the promoted name).
#include "kif/csa_write.h"

#include <vector>

#include "kif/csa_names.h"
#include "kif/kif_encoding.h"
#include "kif/kif_start.h"

namespace halvane {

namespace {

constexpr const char* CRLF = "\r\n";

std::string square_text(int col, int row) { return std::to_string(9 - col) + std::to_string(row + 1); }

std::string move_text(const MoveRecord& m) {
  const std::string sign = side_of(m.piece) == GOTE ? "-" : "+";
  const std::string from = m.is_drop() ? "00" : square_text(m.from_col, m.from_row);
  return sign + from + square_text(m.to_col, m.to_row) + CSA_PIECE_NAMES[kind_of(m.piece_after)];
}

// "PI82HI22KA" when the position is the initial one with some pieces taken off and nothing in hand;
// empty otherwise.
std::string handicap_line(const SfenPosition& pos) {
  SfenPosition initial{};
  std::string error;
  parse_sfen(HANDICAPS[0].sfen, initial, error);
  for (int side = 0; side < 2; ++side)
    for (int kind = PAWN; kind <= ROOK; ++kind)
      if (pos.hand[side][kind]) return {};
  std::string line = "PI";
  for (int i = 0; i < 81; ++i) {
    if (pos.board[i] == initial.board[i]) continue;
    if (pos.board[i] != SQ_EMPTY) return {};
    line += square_text(i % 9, i / 9) + CSA_PIECE_NAMES[kind_of(initial.board[i])];
  }
  return line;
}

std::vector<std::string> position_lines(const SfenPosition& pos) {
  if (std::string pi = handicap_line(pos); !pi.empty()) return {pi};
  std::vector<std::string> lines;
  for (int row = 0; row < 9; ++row) {
    std::string line = "P" + std::to_string(row + 1);
    for (int col = 0; col < 9; ++col) {
      const int code = pos.board[row * 9 + col];
      line += is_piece(code) ? (is_gote_piece(code) ? "-" : "+") + std::string(CSA_PIECE_NAMES[kind_of(code)]) : " * ";
    }
    lines.push_back(line);
  }
  for (int side = 0; side < 2; ++side) {
    std::string line = side == BLACK ? "P+" : "P-";
    for (int kind = ROOK; kind >= PAWN; --kind)
      for (int n = 0; n < pos.hand[side][kind]; ++n) line += std::string("00") + CSA_PIECE_NAMES[kind];
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

std::string csa_text(const GameRecord& record) {
  std::string text;
  const auto line = [&](const std::string& s) { text += s + CRLF; };
  const auto comments = [&](int node) {
    for (const std::string& c : record.nodes[node].comments) line("'*" + c);
  };
  // 1. The encoding (a remark to V2.2 readers, so that no reader takes CP932 bytes for UTF-8), the
  //    version, the players, the fields; those without a CSA name as remarks.
  line("'CSA encoding=SHIFT_JIS");
  line("V2.2");
  for (const char* key : {"先手", "下手"})
    if (const std::string* name = header_value(record, key); name && !name->empty()) {
      line("N+" + *name);
      break;
    }
  for (const char* key : {"後手", "上手"})
    if (const std::string* name = header_value(record, key); name && !name->empty()) {
      line("N-" + *name);
      break;
    }
  for (const RecordHeader& h : record.headers) {
    if (h.key == "先手" || h.key == "後手" || h.key == "上手" || h.key == "下手") continue;
    const std::string key = kif_field_to_csa(h.key);
    line(key.empty() ? "'" + h.key + "：" + h.value : "$" + key + ":" + kif_value_to_csa(h.key, h.value));
  }
  // 2. The start and the side to move, then the main line with its times, comments and end.
  for (const std::string& l : position_lines(record.start)) line(l);
  line(record.start.side_to_move == WHITE ? "-" : "+");
  comments(0);
  const std::vector<int> main_line = line_from(record, 0);
  for (size_t i = 1; i < main_line.size(); ++i) {
    const RecordNode& n = record.nodes[main_line[i]];
    line(move_text(n.move));
    if (n.time_ms != NO_TIME) line("T" + std::to_string(n.time_ms / 1000));
    comments(main_line[i]);
  }
  const RecordNode& last = record.nodes[main_line.back()];
  const int side = last.ply % 2 == 0 ? record.start.side_to_move : record.start.side_to_move ^ 1;
  line("%" + csa_end_word(last.end, side));
  if (last.end_time_ms != NO_TIME) line("T" + std::to_string(last.end_time_ms / 1000));
  return text;
}

std::string csa_bytes(const GameRecord& record) { return kif_to_cp932(csa_text(record)); }

}  // namespace halvane
