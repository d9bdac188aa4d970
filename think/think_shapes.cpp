// The thinks' shapes: the builds' schedules, the two small thinks and the hand rule.
#include "think/think_shapes.h"

#include <cstring>

namespace halvane {

namespace {

// The two small thinks a time-limited think starts with, before the builds' own.
constexpr ThinkShape DEPTH_4 = {4, 4, {0, 1, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1,
                                       -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, 0, {}};
constexpr ThinkShape DEPTH_6 = {6, 6, {0, 1, 2, 3, 8, 9, -1, -1, -1, -1, -1, -1,
                                       -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, 0, {}};

// Kinds 1..7 (everything but the pawn) in both hands.
int non_pawn_hand_pieces(const uint8_t sente_hand[8], const uint8_t gote_hand[8]) {
  int sum = 0;
  for (int kind = LANCE; kind <= KING; ++kind) sum += sente_hand[kind] + gote_hand[kind];
  return sum;
}

}  // namespace

ThinkShape shape_of(const Strength& s) {
  ThinkShape shape{s.max_plies, s.base_depth, {}, s.hand_rule ? s.hand_rule->base_depth : 0, {}};
  std::memcpy(shape.ply_mode_base, s.ply_mode_base, sizeof shape.ply_mode_base);
  if (s.hand_rule) std::memcpy(shape.hand_rule_modes, s.hand_rule->ply_mode_base, sizeof shape.hand_rule_modes);
  return shape;
}

ThinkShape own_shape(const Engine& e) {
  ThinkShape shape{e.max_plies, e.base_depth, {}, e.hand_rule_depth, {}};
  std::memcpy(shape.ply_mode_base, e.ply_mode_base, sizeof shape.ply_mode_base);
  std::memcpy(shape.hand_rule_modes, e.hand_rule_modes, sizeof shape.hand_rule_modes);
  return shape;
}

// Depth and schedule of a shape for a position: the hand rule takes a weaker level's.
void effective_schedule(const ThinkShape& shape, const ThinkRequest& r, int& depth, int modes[SCHEDULE_LEN]) {
  // Hand rule: pieces other than pawns in hand make the tree much wider, so the level searches as its
  // hand rule's level does then.
  const bool hand_rule = shape.hand_rule_depth != 0 && non_pawn_hand_pieces(r.hand[SENTE], r.hand[GOTE]) != 0;
  depth = hand_rule ? shape.hand_rule_depth : shape.base_depth;
  std::memcpy(modes, hand_rule ? shape.hand_rule_modes : shape.ply_mode_base, sizeof shape.ply_mode_base);
}

// The thinks of a time-limited think, smallest first, up to the Engine's own; a think the same as the one
// before it (the hand rule makes the strongest build's the middle one's) is left out.
int limited_shapes(const Engine& e, const ThinkRequest& r, ThinkShape shapes[THINK_SIZES]) {
  int n = 0;
  shapes[n++] = DEPTH_4;
  shapes[n++] = DEPTH_6;
  for (const Strength* level : STRENGTHS)
    if (level->base_depth < e.base_depth) shapes[n++] = shape_of(*level);
  shapes[n++] = own_shape(e);
  int kept = 0;
  for (int i = 0; i < n; ++i) {
    int depth = 0, modes[SCHEDULE_LEN], last_depth = 0, last_modes[SCHEDULE_LEN];
    effective_schedule(shapes[i], r, depth, modes);
    if (kept > 0) {
      effective_schedule(shapes[kept - 1], r, last_depth, last_modes);
      if (depth == last_depth && std::memcmp(modes, last_modes, sizeof modes) == 0) {
        shapes[kept - 1] = shapes[i];
        continue;
      }
    }
    shapes[kept++] = shapes[i];
  }
  return kept;
}

}  // namespace halvane
