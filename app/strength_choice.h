// 設定 → 強さ: the level the computer plays at, chosen in the window. The three programs start at their own
// level; a choice reaches the engines before the computer's next think (never during one) and names the
// level played in the window's title and in the players of a game saved from here.
#pragma once

#include "app/game_state.h"
#include "think/strength.h"
#include "think/think.h"

namespace halvane {

// The level of the next think: the window's title and the computer's name say it from now on.
void choose_strength(GameState& gs, const Strength& strength);

// On the window thread with no think running: the game's Engine and the think ahead's are set to the
// chosen level when they are at another (a think ahead under way on the old level is cancelled first).
void apply_chosen_strength(GameState& gs, Engine& e);

// The level a program of level `own` starts at: its own, unless the settings remember another chosen in it.
const Strength& starting_strength(const Strength& own, const int (&chosen_levels)[STRENGTH_COUNT]);
// The index of a level in STRENGTHS.
int strength_index(const Strength& strength);

}  // namespace halvane
