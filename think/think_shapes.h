// The shapes of the thinks a think runs: the depth and ply schedule of each build, the two small thinks
// a time-limited think starts with, and the hand rule that takes a weaker level's. Private to the
// think driver.
#pragma once

#include "search/engine.h"
#include "think/strength.h"
#include "think/think.h"

namespace halvane {

// The most thinks a time-limited think runs: two small ones, each level below the Engine's, and its own.
constexpr int THINK_SIZES = 3 + STRENGTH_COUNT;

// The shape of one complete think: what a build of that size would search.
struct ThinkShape {
  int max_plies;
  int base_depth;
  int ply_mode_base[SCHEDULE_LEN];
  int hand_rule_depth;                 // 0: no hand rule
  int hand_rule_modes[SCHEDULE_LEN];
};

ThinkShape shape_of(const Strength& s);
ThinkShape own_shape(const Engine& e);
// Depth and schedule of a shape for a position: the hand rule takes a weaker level's.
void effective_schedule(const ThinkShape& shape, const ThinkRequest& r, int& depth, int modes[SCHEDULE_LEN]);
// The thinks of a time-limited think, smallest first, up to the Engine's own; a think the same as the one
// before it (the hand rule makes the strongest build's the middle one's) is left out.
int limited_shapes(const Engine& e, const ThinkRequest& r, ThinkShape shapes[THINK_SIZES]);

}  // namespace halvane
