// The window's remembered settings, kept in the same user settings store as the KIF folder: the time
// limit of a think and thinking ahead. Read once when the main window opens, written on every change.
#pragma once

namespace halvane {

// The limits the settings menu offers, in milliseconds; 0 is none.
inline constexpr int THINK_LIMITS_MS[5] = {0, 60000, 30000, 10000, 5000};

// The saved time limit; 0 (none) when nothing or a value the menu does not offer was saved.
int saved_think_limit_ms();
void save_think_limit_ms(int ms);
// Thinking ahead on the player's time; on unless switched off.
bool saved_think_ahead();
void save_think_ahead(bool on);

}  // namespace halvane
