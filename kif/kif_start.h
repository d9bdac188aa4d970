// The start position as a KIF file states it: a 手合割 name for the even game and the usual handicaps, or
// a board diagram ("後手の持駒：", the board between its frame lines, "先手の持駒：", "後手番"). The
// reader turns either into a SfenPosition; the writer chooses the name where the position has one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/sfen.h"

namespace halvane {

struct Handicap {
  const char* name;   // UTF-8, as KIF's 手合割 line writes it
  const char* sfen;
};
// 平手 first, then the handicaps in the order a new-game dialog lists them.
extern const Handicap HANDICAPS[16];

// The handicap named (UTF-8, blanks around it ignored), or null.
const Handicap* handicap_by_name(std::string_view name);
// The handicap whose start this is (board, hands and side to move), or null.
const Handicap* handicap_of(const SfenPosition& pos);

// Reads a board diagram from its lines (CP932, as they stand in the file, the 持駒 and 手番 lines
// included). On failure returns false with a message.
bool parse_kif_diagram(const std::vector<std::string_view>& lines, SfenPosition& out, std::string& error);
// The diagram's lines (CP932, without line ends) for a position that has no 手合割 name.
std::vector<std::string> format_kif_diagram(const SfenPosition& pos);

}  // namespace halvane
