// KI2 lines of moves are padded to columns, as the programs that read them by eye expect; a line is cut
// after six moves and after a move that carries comments, which follow it on their own lines.
#include "kif/ki2_write.h"

#include "kif/kif_encoding.h"
#include "kif/kif_header.h"
#include "kif/kif_write.h"
#include "kif/ki2_move.h"

namespace halvane {

namespace {

constexpr const char* CRLF = "\r\n";
constexpr int MOVES_PER_LINE = 6;
constexpr int MOVE_COLUMNS = 14;   // a move and its padding, counting a full-width character as two columns

int columns(const std::string& utf8) {
  int n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) n += c < 0x80 ? 1 : 2;
  return n;
}

struct Writer {
  const GameRecord& record;
  std::string text;
  std::string moves;   // the line of moves being filled
  int in_line = 0;

  void line(const std::string& s) { text += s + CRLF; }

  void flush() {
    if (in_line > 0) line(moves);
    moves.clear();
    in_line = 0;
  }

  void comments(int node) {
    if (record.nodes[node].comments.empty()) return;
    flush();
    for (const std::string& c : record.nodes[node].comments) line("*" + c);
  }

  // The moves of the line that starts with node `first`, then its closing remark where it has an end
  // (a main line always has one).
  void moves_from(int first, bool main_line) {
    SfenPosition pos = position_at(record, record.nodes[first].parent);
    int k = first;
    for (;;) {
      const RecordNode& n = record.nodes[k];
      const MoveRecord* previous = n.parent > 0 ? &record.nodes[n.parent].move : nullptr;
      const std::string move = (pos.side_to_move == WHITE ? "△" : "▲") + ki2_move_text(pos, n.move, previous);
      if (in_line > 0) moves += std::string(std::max(1, MOVE_COLUMNS - columns(moves) % MOVE_COLUMNS), ' ');
      moves += move;
      if (++in_line == MOVES_PER_LINE) flush();
      apply_move(pos, n.move);
      comments(k);
      if (n.children.empty()) break;
      k = n.children[0];
    }
    flush();
    const RecordNode& last = record.nodes[k];
    if (last.end != GAME_END_NONE || main_line) line(kif_closing_line(last.end, last.ply, pos.side_to_move));
  }
};

}  // namespace

std::string ki2_text(const GameRecord& record) {
  Writer w{record, {}, {}, 0};
  for (const std::string& l : kif_header_lines(record)) w.line(l);
  w.comments(0);
  const std::vector<int> lines = kif_line_order(record);
  if (lines.empty()) w.line(kif_closing_line(record));
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      w.line("");
      w.line("変化：" + std::to_string(record.nodes[lines[i]].ply) + "手");
    }
    w.moves_from(lines[i], i == 0);
  }
  return w.text;
}

std::string ki2_bytes(const GameRecord& record) { return kif_to_cp932(ki2_text(record)); }

}  // namespace halvane
