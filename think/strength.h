// The three strengths. They are constant tables; each program's entry point hands its own to the
// engine's initialisation, and nothing about strength is read at run time.
#pragma once

#include <string_view>

#include "core/types.h"

namespace halvane {

struct Strength {
  const char* name;           // program name suffix: "chuukara", "karakuchi", "gekikara"
  const char16_t* title;      // window title
  const char* word_utf8;      // the strength word in UTF-8, for text front ends
  int max_plies;              // plies of the remembered-move tables cleared per think
  int base_depth;             // the search's depth limit
  int ply_mode_base[SCHEDULE_LEN];  // mode per ply, -1 past the end of the schedule
  // Hand rule: while either hand holds a piece other than a pawn the tree is much wider, so the think
  // searches this (weaker) level's depth and schedule instead; nullptr: no hand rule.
  const Strength* hand_rule;
};

// The strength table. Each level is one row here and one entry in STRENGTHS; the build makes a window
// program halvane-<name> of each, with its menu entry, reading the names and words from these rows.
// Modes: 0 root, 1 full, 2..7 selective (A, B, C for each side), 8 recaptures only, 9 static recapture.
inline constexpr Strength STRENGTH_CHUUKARA = {
    "chuukara", u"ハルベイン（中辛）", "中辛", 8, 8,
    {0, 1, 2, 3, 4, 5, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, nullptr};
inline constexpr Strength STRENGTH_KARAKUCHI = {
    "karakuchi", u"ハルベイン（辛口）", "辛口", 10, 10,
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, nullptr};
inline constexpr Strength STRENGTH_GEKIKARA = {
    "gekikara", u"ハルベイン（激辛）", "激辛", 12, 12,
    {0, 1, 2, 3, 4, 5, 6, 7, 6, 7, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}, &STRENGTH_KARAKUCHI};

// Weakest to strongest; the last is the default of the front ends that choose.
inline constexpr const Strength* STRENGTHS[] = {&STRENGTH_CHUUKARA, &STRENGTH_KARAKUCHI, &STRENGTH_GEKIKARA};
inline constexpr int STRENGTH_COUNT = sizeof STRENGTHS / sizeof STRENGTHS[0];

// The level of that name ("chuukara", ...), or null: how the command-line tools choose one.
inline const Strength* level_named(std::string_view name) {
  for (const Strength* s : STRENGTHS)
    if (name == s->name) return s;
  return nullptr;
}

}  // namespace halvane
