// What each piece kind attacks: its single steps and its sliding directions, for SENTE; a GOTE piece uses
// the same lists turned round. Read at compile time by the per-kind effect routines in effects.cpp.
#pragma once

#include "engine/types.h"

namespace halvane {

// The eight directions by index; the ray bit of direction i is 1 << i. Index i ^ 2 is the opposite
// direction, so turning a piece round for GOTE is one exclusive-or.
enum Dir : int { D_N = 0, D_W = 1, D_S = 2, D_E = 3, D_NW = 4, D_SW = 5, D_SE = 6, D_NE = 7 };
constexpr int DIR_STEP[8] = {STEP_N, STEP_W, STEP_S, STEP_E, STEP_NW, STEP_SW, STEP_SE, STEP_NE};
constexpr int opposite(int dir) { return dir ^ 2; }

// Steps and ray directions of one kind, as SENTE sees them. Knight jumps are steps too.
struct KindEffects {
  int steps[8];
  int n_steps;
  int rays[4];   // direction indices
  int n_rays;
};

constexpr KindEffects GOLD_LIKE = {{-17, -16, -15, -1, 1, 16}, 6, {}, 0};
constexpr KindEffects NO_EFFECTS = {{}, 0, {}, 0};

// Indexed by code AND 15. Codes 12 and 15 never stand on a board and have no effects.
constexpr KindEffects KIND_EFFECTS[16] = {
    {{-16}, 1, {}, 0},                                  // pawn
    {{}, 0, {D_N}, 1},                                  // lance
    {{-33, -31}, 2, {}, 0},                             // knight
    {{-17, -16, -15, 15, 17}, 5, {}, 0},                // silver
    GOLD_LIKE,                                          // gold
    {{}, 0, {D_NW, D_NE, D_SW, D_SE}, 4},               // bishop
    {{}, 0, {D_N, D_W, D_E, D_S}, 4},                   // rook
    {{-17, -16, -15, -1, 1, 15, 16, 17}, 8, {}, 0},     // king
    GOLD_LIKE, GOLD_LIKE, GOLD_LIKE, GOLD_LIKE,         // promoted pawn, lance, knight, silver
    NO_EFFECTS,                                         // 12
    {{-16, -1, 1, 16}, 4, {D_NW, D_NE, D_SW, D_SE}, 4}, // horse
    {{-17, -15, 15, 17}, 4, {D_N, D_W, D_E, D_S}, 4},   // dragon
    NO_EFFECTS,                                         // 15
};

// The step of a kind's i-th single step for a side, and the direction of its j-th ray.
constexpr int side_step(int side, int kind, int i) {
  return side == SENTE ? KIND_EFFECTS[kind].steps[i] : -KIND_EFFECTS[kind].steps[i];
}
constexpr int side_ray(int side, int kind, int j) {
  return side == SENTE ? KIND_EFFECTS[kind].rays[j] : opposite(KIND_EFFECTS[kind].rays[j]);
}

}  // namespace halvane
