// SFEN positions and USI move notation, written once for the USI front end, the KIF companion and tests.
// A SfenPosition keeps the board as shown with sente (black, upper-case letters) at the bottom:
// sente's pieces carry no GOTE_BIT, index row * 9 + col, row 0 = rank a, col 0 = file 9.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/types.h"

namespace halvane {

constexpr int BLACK = 0;   // sente, moves first, upper-case letters in SFEN
constexpr int WHITE = 1;   // gote

struct SfenPosition {
  uint8_t board[81];       // piece codes or SQ_EMPTY
  uint8_t hand[2][8];      // [BLACK / WHITE][kind]
  int side_to_move;        // BLACK or WHITE
  int move_number;         // the SFEN's move number (1 at the start of a game)
};

// The next word of a USI line or SFEN: spaces, tabs and a line's carriage return separate words. Moves
// `text` past the word; empty at the end of the text.
std::string_view next_word(std::string_view& text);

// Parses "board side hands [number]". On failure returns false with a message naming what was wrong,
// and leaves `out` untouched.
bool parse_sfen(std::string_view text, SfenPosition& out, std::string& error);
std::string format_sfen(const SfenPosition& pos);
// The initial position, black to move, move number 1.
SfenPosition startpos();

// The 180-degree rotation with the owners exchanged: board rotated, every piece's GOTE_BIT toggled, hands
// exchanged and the side to move exchanged. The position stays the same game seen from the other side.
void rotate_position(SfenPosition& pos);
MoveRecord rotate_move(const MoveRecord& move);

// USI move text ("7g7f", "8h2b+", "P*5e") of a move in SfenPosition coordinates.
std::string move_to_usi(const MoveRecord& move);
// Reads a USI move against a position: fills piece and captured from the board. Refuses (with a
// message) text that is malformed, a move from a square without a piece of the side to move, onto its
// own piece, a promotion of a piece that cannot promote or outside the zone, a drop of a piece not in
// hand or onto an occupied square. Whether the move is legal in full (king safety, pawn rules, the
// piece's reach) is for the move generator to say.
bool parse_usi_move(std::string_view text, const SfenPosition& pos, MoveRecord& move, std::string& error);
// Plays a move parsed by parse_usi_move: captures enter the mover's hand demoted; side and number advance.
void apply_move(SfenPosition& pos, const MoveRecord& move);

// The engine always moves the GOTE pieces. The engine view of a position is the position itself when
// white (gote) is to move, and the rotated position when black is to move; `rotated` says which.
struct EngineView {
  uint8_t board[BOARD_CELLS];
  uint8_t hand[2][8];      // [SENTE][kind], [GOTE][kind] as the engine sees them
  bool rotated;
};
EngineView engine_view(const SfenPosition& pos);
// A move found by the engine in its view, back in the position's coordinates.
MoveRecord move_from_engine_view(const EngineView& view, const MoveRecord& engine_move);

}  // namespace halvane
