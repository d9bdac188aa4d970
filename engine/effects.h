// Effect maps: for every cell, how many pieces of each side attack it and which sliding rays reach it,
// kept exact through every move by the add / remove / cut / extend operations and the make / undo protocol.
#pragma once

#include <cstdint>

#include "engine/position.h"

namespace halvane {

// Direction bits of sliding effects: the direction in which the ray travels, the same for both sides.
constexpr int RAY_N = 1;     // -16, towards row 0
constexpr int RAY_W = 2;     // -1, towards column 0
constexpr int RAY_S = 4;     // +16
constexpr int RAY_E = 8;     // +1
constexpr int RAY_NW = 16;   // -17
constexpr int RAY_SW = 32;   // +15
constexpr int RAY_SE = 64;   // +17
constexpr int RAY_NE = 128;  // -15

struct EffectMaps {
  int32_t count[2][BOARD_CELLS];                    // [side][cell]: number of the side's effects
  int32_t rays[2][BOARD_CELLS];                     // [side][cell]: direction bits of sliding effects
  int32_t delta_count[2][DELTA_PLIES][BOARD_CELLS]; // [side][ply][cell]: net count change made at that ply
  int32_t delta_rays[2][DELTA_PLIES][BOARD_CELLS];  // [side][ply][cell]: ray bits set at that ply
  int32_t cur_ply;                                  // ply of the last piece addition
  int32_t focus;                                    // focus cell of the last piece addition
};

}  // namespace halvane
