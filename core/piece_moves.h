// How each piece kind moves: its single steps (knight jumps included) and its sliding lines, in one table
// read by the effect maps, the search's and the mate solver's generators and the player's click targets.
// Every reader picks its own order of the entries; the table only says which moves a kind has.
#pragma once

#include <array>
#include <cstddef>

#include "core/types.h"

namespace halvane {

// A step in columns and rows. SENTE moves towards row 0, so SENTE's forward is dr = -1.
struct Step {
  int dc;
  int dr;
};

// The same step on the 16-wide cell board.
constexpr int cell_step(Step s) { return 16 * s.dr + s.dc; }
// A step of the other side: the 180-degree rotation of it.
constexpr Step rotated_step(Step s) { return {-s.dc, -s.dr}; }

// The eight directions by index; the ray bit of direction i is 1 << i. Index i ^ 2 is the opposite
// direction, so turning a line round for the other side is one exclusive-or.
enum Dir : int { D_N = 0, D_W = 1, D_S = 2, D_E = 3, D_NW = 4, D_SW = 5, D_SE = 6, D_NE = 7 };
constexpr Step DIR_STEPS[8] = {{0, -1}, {-1, 0}, {0, 1}, {1, 0}, {-1, -1}, {-1, 1}, {1, 1}, {1, -1}};
constexpr int DIR_STEP[8] = {STEP_N, STEP_W, STEP_S, STEP_E, STEP_NW, STEP_SW, STEP_SE, STEP_NE};
constexpr int opposite(int dir) { return dir ^ 2; }
constexpr int ray_bit(int dir) { return 1 << dir; }
static_assert(cell_step(DIR_STEPS[D_NE]) == STEP_NE && cell_step(DIR_STEPS[D_SW]) == STEP_SW);

// The moves of one kind as SENTE makes them: steps land on one cell, lines slide until the first
// non-empty cell.
struct PieceMoves {
  Step steps[8];
  int n_steps;
  int lines[4];   // direction indices
  int n_lines;
};

namespace piece_moves_detail {
constexpr Step FL = {-1, -1}, F = {0, -1}, FR = {1, -1}, L = {-1, 0}, R = {1, 0};
constexpr Step BL = {-1, 1}, B = {0, 1}, BR = {1, 1};
constexpr PieceMoves PAWN_MOVES = {{F}, 1, {}, 0};
constexpr PieceMoves LANCE_MOVES = {{}, 0, {D_N}, 1};
constexpr PieceMoves KNIGHT_MOVES = {{{-1, -2}, {1, -2}}, 2, {}, 0};
constexpr PieceMoves SILVER_MOVES = {{FL, F, FR, BL, BR}, 5, {}, 0};
constexpr PieceMoves GOLD_MOVES = {{FL, F, FR, L, R, B}, 6, {}, 0};
constexpr PieceMoves BISHOP_MOVES = {{}, 0, {D_NW, D_NE, D_SW, D_SE}, 4};
constexpr PieceMoves ROOK_MOVES = {{}, 0, {D_N, D_W, D_E, D_S}, 4};
constexpr PieceMoves KING_MOVES = {{FL, F, FR, L, R, BL, B, BR}, 8, {}, 0};
// The promoted bishop and rook keep their lines and add the king's steps the plain piece lacks.
constexpr PieceMoves HORSE_MOVES = {{F, L, R, B}, 4, {D_NW, D_NE, D_SW, D_SE}, 4};
constexpr PieceMoves DRAGON_MOVES = {{FL, FR, BL, BR}, 4, {D_N, D_W, D_E, D_S}, 4};
constexpr PieceMoves NO_MOVES = {{}, 0, {}, 0};

// Indexed by code AND 15: the promoted pawn, lance, knight and silver move as gold; codes 12 and 15
// never stand on a board and have no moves.
inline constexpr PieceMoves TABLE[16] = {
    PAWN_MOVES, LANCE_MOVES, KNIGHT_MOVES, SILVER_MOVES, GOLD_MOVES, BISHOP_MOVES, ROOK_MOVES, KING_MOVES,
    GOLD_MOVES, GOLD_MOVES,  GOLD_MOVES,   GOLD_MOVES,   NO_MOVES,   HORSE_MOVES,  DRAGON_MOVES, NO_MOVES,
};
}  // namespace piece_moves_detail

inline constexpr const PieceMoves (&PIECE_MOVES)[16] = piece_moves_detail::TABLE;

// The table for one side in the form the hot paths read: steps as cell offsets, lines as direction
// indices. A GOTE piece moves as the SENTE piece rotated round.
struct SideMoves {
  int steps[8];
  int n_steps;
  int lines[4];
  int n_lines;
};

constexpr SideMoves side_moves_of(int side, const PieceMoves& m) {
  SideMoves out{{}, m.n_steps, {}, m.n_lines};
  for (int i = 0; i < m.n_steps; ++i) out.steps[i] = cell_step(side == SENTE ? m.steps[i] : rotated_step(m.steps[i]));
  for (int j = 0; j < m.n_lines; ++j) out.lines[j] = side == SENTE ? m.lines[j] : opposite(m.lines[j]);
  return out;
}

inline constexpr std::array<std::array<SideMoves, 16>, 2> SIDE_MOVES = [] {
  std::array<std::array<SideMoves, 16>, 2> out{};
  for (int side = 0; side < 2; ++side)
    for (int kind = 0; kind < 16; ++kind) out[side][kind] = side_moves_of(side, PIECE_MOVES[kind]);
  return out;
}();

// The i-th step of a kind for a side as a cell offset, and the direction of its j-th line.
constexpr int side_step(int side, int kind, int i) { return SIDE_MOVES[side][kind].steps[i]; }
constexpr int side_line(int side, int kind, int j) { return SIDE_MOVES[side][kind].lines[j]; }

// Whether a kind of a side steps, or slides, by the cell offset `d`.
constexpr bool steps_by(int side, int kind, int d) {
  for (int i = 0; i < PIECE_MOVES[kind].n_steps; ++i)
    if (side_step(side, kind, i) == d) return true;
  return false;
}
constexpr bool slides_by(int side, int kind, int d) {
  for (int j = 0; j < PIECE_MOVES[kind].n_lines; ++j)
    if (DIR_STEP[side_line(side, kind, j)] == d) return true;
  return false;
}

// A generator's own order of generation: cell offsets, the first generated first.
template <std::size_t N>
using MoveOrder = std::array<int, N>;

namespace piece_moves_detail {
template <bool LINES, std::size_t N>
constexpr int count_in(int side, int kind, const MoveOrder<N>& order) {
  int n = 0;
  for (int d : order) n += LINES ? slides_by(side, kind, d) : steps_by(side, kind, d);
  return n;
}
template <bool LINES, int SIDE, int KIND, const auto& ORDER>
constexpr auto in_order() {
  constexpr int n = count_in<LINES>(SIDE, KIND, ORDER);
  static_assert(n == (LINES ? PIECE_MOVES[KIND].n_lines : PIECE_MOVES[KIND].n_steps),
                "a generator's order must name every move of the kind");
  std::array<int, n> out{};
  int i = 0;
  for (int d : ORDER)
    if (LINES ? slides_by(SIDE, KIND, d) : steps_by(SIDE, KIND, d)) out[i++] = d;
  return out;
}
}  // namespace piece_moves_detail

// The order of generation the search's and the mate solver's generators share: SENTE's moves from its
// forward rows back, each row from column 0 up (the cell offsets ascending); GOTE's the mirror image of
// that across the rows, so its forward rows come first with the columns still from 0 up.
inline constexpr MoveOrder<10> SENTE_GENERATION_ORDER = {-33, -31, -17, -16, -15, -1, 1, 15, 16, 17};
inline constexpr MoveOrder<10> GOTE_GENERATION_ORDER = {31, 33, 15, 16, 17, -1, 1, -17, -16, -15};
constexpr const MoveOrder<10>& generation_order(int side) {
  return side == GOTE ? GOTE_GENERATION_ORDER : SENTE_GENERATION_ORDER;
}

// The steps (as cell offsets) and the lines (as cell offsets of their first cell) of KIND for SIDE,
// listed in the order ORDER gives: the moves from the table, the order from the generator.
template <int SIDE, int KIND, const auto& ORDER>
inline constexpr auto STEPS_IN = piece_moves_detail::in_order<false, SIDE, KIND, ORDER>();
template <int SIDE, int KIND, const auto& ORDER>
inline constexpr auto LINES_IN = piece_moves_detail::in_order<true, SIDE, KIND, ORDER>();

}  // namespace halvane
