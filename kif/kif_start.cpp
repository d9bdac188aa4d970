// KIF's ways of stating the start position: the 手合割 names of the even game and the handicaps (the
// side giving the handicap, 上手, is gote and moves first), and the board diagram with both hands and the
// side to move.
#include "kif/kif_start.h"

#include <cstring>

#include "kif/kif_text.h"

namespace halvane {

const Handicap HANDICAPS[16] = {
    {"平手", "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1"},
    {"香落ち", "lnsgkgsn1/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"右香落ち", "1nsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"角落ち", "lnsgkgsnl/1r7/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"飛車落ち", "lnsgkgsnl/7b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"飛香落ち", "lnsgkgsn1/7b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"二枚落ち", "lnsgkgsnl/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"三枚落ち", "lnsgkgsn1/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"四枚落ち", "1nsgkgsn1/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"五枚落ち", "2sgkgsn1/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"左五枚落ち", "1nsgkgs2/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"六枚落ち", "2sgkgs2/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"左七枚落ち", "2sgkg3/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"右七枚落ち", "3gkgs2/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"八枚落ち", "3gkg3/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
    {"十枚落ち", "4k4/9/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL w - 1"},
};

namespace {

SfenPosition handicap_position(const Handicap& h) {
  SfenPosition pos{};
  std::string error;
  parse_sfen(h.sfen, pos, error);
  return pos;
}

// Names of the pieces in a diagram's squares and hands, by kind; several spellings are read.
struct DiagramName {
  const char* text;
  int kind;
};
constexpr DiagramName DIAGRAM_NAMES[] = {
    {"歩", PAWN},   {"香", LANCE},      {"桂", KNIGHT},     {"銀", SILVER},     {"金", GOLD},  {"角", BISHOP},
    {"飛", ROOK},   {"玉", KING},       {"王", KING},       {"と", PRO_PAWN},   {"杏", PRO_LANCE},
    {"圭", PRO_KNIGHT}, {"全", PRO_SILVER}, {"馬", HORSE}, {"龍", DRAGON}, {"竜", DRAGON},
};
// The name written for each kind (promoted kinds by their one-character diagram names).
constexpr const char* WRITTEN_NAMES[16] = {"歩", "香", "桂", "銀", "金", "角", "飛", "玉",
                                           "と", "杏", "圭", "全", "",   "馬", "龍", ""};
constexpr const char* HAND_LABELS[2][2] = {{"先手の持駒：", "下手の持駒："}, {"後手の持駒：", "上手の持駒："}};

int kind_named(std::string_view& text) {
  for (const DiagramName& n : DIAGRAM_NAMES)
    if (text.substr(0, std::strlen(n.text)) == n.text) {
      text.remove_prefix(std::strlen(n.text));
      return n.kind;
    }
  return -1;
}

// The hand after its label: "飛二 角 金四 歩十七", "なし", separated by blanks.
bool parse_hand(std::string_view text, uint8_t hand[8], std::string& error) {
  for (;;) {
    text = trim_kif_blanks(text);
    if (text.empty() || text.substr(0, 6) == "なし") return true;
    const int kind = kind_named(text);
    if (kind < 0 || kind > ROOK) {
      error = "unknown piece in a hand";
      return false;
    }
    const int count = read_kanji_number(text);
    hand[kind] = static_cast<uint8_t>(count > 0 ? count : 1);
  }
}

}  // namespace

const Handicap* handicap_by_name(std::string_view name) {
  name = trim_kif_blanks(name);
  for (const Handicap& h : HANDICAPS)
    if (name == h.name) return &h;
  return nullptr;
}

const Handicap* handicap_of(const SfenPosition& pos) {
  for (const Handicap& h : HANDICAPS) {
    const SfenPosition start = handicap_position(h);
    if (std::memcmp(start.board, pos.board, sizeof pos.board) == 0 &&
        std::memcmp(start.hand, pos.hand, sizeof pos.hand) == 0 && start.side_to_move == pos.side_to_move)
      return &h;
  }
  return nullptr;
}

bool parse_kif_diagram(const std::vector<std::string_view>& lines, SfenPosition& out, std::string& error) {
  SfenPosition pos{};
  std::memset(pos.board, SQ_EMPTY, sizeof pos.board);
  pos.side_to_move = BLACK;
  pos.move_number = 1;
  int row = 0;
  for (std::string_view line : lines) {
    bool hand_line = false;
    for (int side = 0; side < 2; ++side)
      for (const char* label : HAND_LABELS[side])
        if (line.substr(0, std::strlen(label)) == label) {
          if (!parse_hand(line.substr(std::strlen(label)), pos.hand[side], error)) return false;
          hand_line = true;
        }
    if (hand_line) continue;
    if (line.substr(0, 9) == "先手番" || line.substr(0, 9) == "下手番") pos.side_to_move = BLACK;
    else if (line.substr(0, 9) == "後手番" || line.substr(0, 9) == "上手番") pos.side_to_move = WHITE;
    if (line.empty() || line[0] != '|') continue;
    // "| ・ ・ ・v銀v玉v銀 ・ ・ ・|一": each square a mark (blank or "v") and one character.
    if (row >= 9) {
      error = "a board diagram with more than nine ranks";
      return false;
    }
    std::string_view squares = line.substr(1);
    for (int col = 0; col < 9; ++col) {
      if (squares.empty()) {
        error = "a board diagram's rank with fewer than nine squares";
        return false;
      }
      const bool gote = squares[0] == 'v';
      squares.remove_prefix(1);
      if (squares.substr(0, 3) == "・") {
        squares.remove_prefix(3);
        continue;
      }
      const int kind = kind_named(squares);
      if (kind < 0) {
        error = "an unknown piece in a board diagram";
        return false;
      }
      pos.board[row * 9 + col] = static_cast<uint8_t>(kind + (gote ? GOTE_BIT : 0));
    }
    ++row;
  }
  if (row != 9) {
    error = "a board diagram without nine ranks";
    return false;
  }
  out = pos;
  return true;
}

std::vector<std::string> format_kif_diagram(const SfenPosition& pos) {
  std::vector<std::string> lines;
  const auto hand_line = [&](int side) {
    std::string text = HAND_LABELS[side][0];
    bool any = false;
    for (int kind = ROOK; kind >= PAWN; --kind) {
      const int n = pos.hand[side][kind];
      if (n == 0) continue;
      text += WRITTEN_NAMES[kind];
      if (n > 1) text += kanji_number(n);
      text += "　";
      any = true;
    }
    if (!any) text += "なし";
    return text;
  };
  lines.push_back(hand_line(WHITE));
  lines.push_back("  ９ ８ ７ ６ ５ ４ ３ ２ １");
  lines.push_back("+---------------------------+");
  for (int row = 0; row < 9; ++row) {
    std::string text = "|";
    for (int col = 0; col < 9; ++col) {
      const int code = pos.board[row * 9 + col];
      if (!is_piece(code)) {
        text += " ・";
        continue;
      }
      text += is_gote_piece(code) ? "v" : " ";
      text += WRITTEN_NAMES[kind_of(code)];
    }
    text += "|";
    text += KANJI_DIGITS[row + 1];
    lines.push_back(text);
  }
  lines.push_back("+---------------------------+");
  lines.push_back(hand_line(BLACK));
  lines.push_back(pos.side_to_move == WHITE ? "後手番" : "先手番");
  return lines;
}

}  // namespace halvane
