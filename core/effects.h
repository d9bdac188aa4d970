// Effect maps: for every cell, how many pieces of each side attack it and which sliding rays reach it,
// kept exact through every move by the add / remove / cut / extend operations and the make / undo protocol.
#pragma once

#include <cstdint>

#include "core/piece_moves.h"
#include "core/position.h"

namespace halvane {

// Direction bits of sliding effects: the direction in which the ray travels, the same for both sides.
constexpr int RAY_N = ray_bit(D_N);     // 1: -16, towards row 0
constexpr int RAY_W = ray_bit(D_W);     // 2: -1, towards column 0
constexpr int RAY_S = ray_bit(D_S);     // 4: +16
constexpr int RAY_E = ray_bit(D_E);     // 8: +1
constexpr int RAY_NW = ray_bit(D_NW);   // 16: -17
constexpr int RAY_SW = ray_bit(D_SW);   // 32: +15
constexpr int RAY_SE = ray_bit(D_SE);   // 64: +17
constexpr int RAY_NE = ray_bit(D_NE);   // 128: -15

// Counts and ray bits fit a byte: a cell is reached by at most the 40 pieces, and a ray bit is one of eight.
struct EffectMaps {
  int8_t count[2][BOARD_CELLS];                     // [side][cell]: number of the side's effects
  uint8_t rays[2][BOARD_CELLS];                     // [side][cell]: direction bits of sliding effects
  int8_t delta_count[2][DELTA_PLIES][BOARD_CELLS];  // [side][ply][cell]: net count change made at that ply
  uint8_t delta_rays[2][DELTA_PLIES][BOARD_CELLS];  // [side][ply][cell]: ray bits set at that ply
  int32_t cur_ply;                                  // ply of the last piece addition
  int32_t focus;                                    // focus cell of the last piece addition
  // Plies from this one down write no deltas: a searcher that never reads them there sets it lower
  // than DELTA_PLIES after the rebuild. The counts and rays are the same either way.
  int32_t delta_plies;
};

// The five primitives. All take the searcher's maps, the search ply (0..31) and its position (whose board
// is read, never written).

// Clears every field (all plies of both delta arrays included), adds the effects of every piece and lets
// every ply write its deltas (delta_plies is DELTA_PLIES).
void rebuild_effects(EffectMaps& fx, const EnginePosition& pos);
// Adds the effects of the piece on `cell` and returns its threat code; 0 and nothing done for an empty
// or wall cell. Records ply in cur_ply and focus in focus.
int add_piece_effects(EffectMaps& fx, int ply, int focus, const EnginePosition& pos, int cell);
// The same maps and fields written as add_piece_effects, without summing the threat code.
void add_piece_effects_quiet(EffectMaps& fx, int ply, int focus, const EnginePosition& pos, int cell);
// Takes away exactly what add_piece_effects added for the piece now on `cell`.
void remove_piece_effects(EffectMaps& fx, int ply, const EnginePosition& pos, int cell);
// A piece has just been put on the empty `cell`: every ray of either side that passed over it now ends there.
void cut_rays_through(EffectMaps& fx, int ply, const EnginePosition& pos, int cell);
// `cell` is being vacated: every ray of either side that stopped on it goes on.
void extend_rays_through(EffectMaps& fx, int ply, const EnginePosition& pos, int cell);

// The make / undo protocol for one board move, written once for every searcher. The mover's side is
// the side of `piece`; a captured piece enters (and on undo leaves) that side's hand demoted.
// make_board_move returns the threat code of the moved piece, computed with `focus`.
int make_board_move(EffectMaps& fx, EnginePosition& pos, int ply, int focus, int from, int to, int piece_after);
// make_board_move for callers that do not read the threat code: the same maps, board and hands.
void make_board_move_quiet(EffectMaps& fx, EnginePosition& pos, int ply, int focus, int from, int to,
                           int piece_after);
void undo_board_move(EffectMaps& fx, EnginePosition& pos, int ply, int from, int to, int piece, int captured);

// Whether make_board_move of the move from -> to onto the empty `to` would return a threat code of 0, told
// from the maps and board before the move without making it: every cell the moved piece would touch is a
// wall, or empty or its own side's and then not attacked by the other side.
bool quiet_move_threat_is_zero(const EffectMaps& fx, const EnginePosition& pos, int from, int to, int piece_after);

// The other side's count and rays on `to` and its count on `cell` after the move from -> to onto the empty
// `to`, told from the maps and board before the move without making it.
struct OtherSideAfter {
  int count_to;
  int rays_to;
  int count_cell;
};
OtherSideAfter other_side_after_quiet_move(const EffectMaps& fx, const EnginePosition& pos, int from, int to,
                                           int piece_after, int cell);
// The same after the move from -> to capturing the other side's piece on `to`.
OtherSideAfter other_side_after_capture(const EffectMaps& fx, const EnginePosition& pos, int from, int to, int cell);

// The threat code add_piece_effects would return, with `focus`, for the piece just put on the empty `cell`
// (already on the board) once the rays over the cell are cut, told from the maps before the cut without
// writing them.
int drop_threat(const EffectMaps& fx, const EnginePosition& pos, int cell, int focus);

// A drop of `code` onto the empty `cell`: one piece leaves the hand of the code's side, the code is written
// on the cell, rays over it are cut and its effects added; returns its threat code. undo_drop takes
// back the piece standing on `cell` into its side's hand.
int make_drop(EffectMaps& fx, EnginePosition& pos, int ply, int focus, int cell, int code);
void undo_drop(EffectMaps& fx, EnginePosition& pos, int ply, int cell);

}  // namespace halvane
