// The strength chosen in the window and its way to the engines: the choice is recorded at once, the
// engines follow at the next point where none of them thinks.
#include "app/strength_choice.h"

#include "app/ui.h"
#include "think/think_ahead.h"

namespace halvane {

void choose_strength(GameState& gs, const Strength& strength) {
  gs.flags.strength = &strength;
  gs.view.computer_name = strength.title;   // the name a saved record gives the computer
  set_window_title(strength.title);
}

void apply_chosen_strength(GameState& gs, Engine& e) {
  const Strength* chosen = gs.flags.strength;
  if (!chosen || chosen == gs.flags.engine_strength || gs.flags.thinking) return;
  if (gs.flags.ahead) {
    think_ahead_cancel(*gs.flags.ahead);
    for (int i = 0; i < gs.flags.ahead->engine_count; ++i) set_strength(*gs.flags.ahead->engines[i], *chosen);
  }
  set_strength(e, *chosen);
  gs.flags.engine_strength = chosen;
}

int strength_index(const Strength& strength) {
  for (int i = 0; i < STRENGTH_COUNT; ++i)
    if (STRENGTHS[i] == &strength) return i;
  return STRENGTH_COUNT - 1;
}

const Strength& starting_strength(const Strength& own, const int (&chosen_levels)[STRENGTH_COUNT]) {
  const int chosen = chosen_levels[strength_index(own)];
  return chosen >= 0 && chosen < STRENGTH_COUNT ? *STRENGTHS[chosen] : own;
}

}  // namespace halvane
