// Piece codes, sides, cells and the move record that every part of the engine and the game speaks.
// A cell is one byte of a 16 x 16 board; the 81 squares sit at cell_of(col, row), every other cell is a wall.
#pragma once

#include <cstdint>

namespace halvane {

// Piece kinds: the low four bits of a piece code. A promoted piece is its kind plus 8.
enum PieceKind : int {
  PAWN = 0, LANCE = 1, KNIGHT = 2, SILVER = 3, GOLD = 4, BISHOP = 5, ROOK = 6, KING = 7,
  PRO_PAWN = 8, PRO_LANCE = 9, PRO_KNIGHT = 10, PRO_SILVER = 11, HORSE = 13, DRAGON = 14,
};

constexpr int PROMOTED_BIT = 8;
constexpr int GOTE_BIT = 16;       // marks the computer's pieces
constexpr int SQ_EMPTY = 128;      // an empty square
constexpr int SQ_WALL = 255;       // a cell off the board

// Sides: SENTE is always the human (codes without GOTE_BIT), GOTE always the computer.
constexpr int SENTE = 0;
constexpr int GOTE = 1;

constexpr int SENTE_KING = KING;             // 7
constexpr int GOTE_KING = KING + GOTE_BIT;   // 23

constexpr int BOARD_CELLS = 256;
constexpr int FIRST_CELL = 0x33;   // cell_of(0, 0)
constexpr int LAST_CELL = 0xBB;    // cell_of(8, 8)
constexpr int UNDO_FOCUS = 189;    // a wall cell: undo steps pass it as focus so no threat bonus arises

constexpr int MAX_PLY = 64;        // per-ply tables of the searches
constexpr int DELTA_PLIES = 32;    // per-ply effect deltas; searches stay below ply 32
constexpr int SCHEDULE_LEN = 24;   // ply-mode schedules
constexpr int KILLER_SLOTS = 40;
constexpr int MAX_ROOT_MOVES = 600;   // no shogi position has more than 593 moves
constexpr int KILLER_FIELDS = 8;   // a MoveRecord's seven fields plus dest_rays
constexpr int BOOK_ENTRIES = 114;

// Single steps on the cell board; north is towards row 0 (the computer's back row).
constexpr int STEP_N = -16, STEP_S = 16, STEP_W = -1, STEP_E = 1;
constexpr int STEP_NW = -17, STEP_NE = -15, STEP_SW = 15, STEP_SE = 17;

constexpr int cell_of(int col, int row) { return FIRST_CELL + 16 * row + col; }
constexpr int col_of(int cell) { return (cell - FIRST_CELL) & 15; }
constexpr int row_of(int cell) { return (cell - FIRST_CELL) >> 4; }
constexpr bool on_board(int cell) {
  return cell >= FIRST_CELL && cell <= LAST_CELL && col_of(cell) <= 8;
}

constexpr bool is_piece(int code) { return code < SQ_EMPTY; }
constexpr bool is_gote_piece(int code) { return code < SQ_EMPTY && (code & GOTE_BIT) != 0; }
constexpr bool is_sente_piece(int code) { return code < SQ_EMPTY && (code & GOTE_BIT) == 0; }
constexpr int kind_of(int code) { return code & 15; }
constexpr int hand_kind(int code) { return code & 7; }   // a captured piece enters the hand demoted
constexpr int side_of(int code) { return (code & GOTE_BIT) ? GOTE : SENTE; }
// Pawn, lance, knight, silver, bishop and rook promote; gold, king and promoted pieces do not.
constexpr bool can_promote(int code) {
  int k = code & 15;
  return k <= ROOK && k != GOLD;
}

// A move in columns and rows. from_col -1 marks a drop (from_row is then not meaningful).
struct MoveRecord {
  int from_col = -1;
  int from_row = -1;
  int piece = SQ_EMPTY;        // code before the move; for a drop the dropped code
  int to_col = -1;
  int to_row = -1;
  int piece_after = SQ_EMPTY;  // code on the destination after the move
  int captured = SQ_EMPTY;     // code that stood on the destination, SQ_EMPTY if none

  bool is_drop() const { return from_col == -1; }
  friend bool operator==(const MoveRecord&, const MoveRecord&) = default;
};

}  // namespace halvane
