// The USI "position" command: a start position (startpos or an SFEN) and the moves played from it, each
// checked against the legal moves before it is played.
#pragma once

#include <string>
#include <string_view>

#include "think/think.h"
#include "core/sfen.h"

namespace halvane {

struct GamePosition {
  SfenPosition pos;   // the position after all the moves
  int game_ply;       // moves played before it: the SFEN's move number - 1, plus the moves after it
};

// Reads the words after "position". On failure returns false with a message naming what was wrong (the
// SFEN's fault, or the first move that is malformed or illegal, with its number) and leaves `out` alone.
// `scratch` is an Engine no think is using; its main-search position is overwritten.
bool parse_position_command(Engine& scratch, std::string_view args, GamePosition& out, std::string& error);

}  // namespace halvane
