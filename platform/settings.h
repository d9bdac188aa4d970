// The window's remembered settings, kept in the same user settings store as the KIF folder: the time
// limit of a think, thinking ahead, whether illegal moves may be played and whether a move that leaves the
// record keeps the old continuation. Read once when the main window opens, written on every change.
#pragma once

namespace halvane {

// The limits the settings menu offers, in milliseconds; 0 is none.
inline constexpr int THINK_LIMITS_MS[5] = {0, 60000, 30000, 10000, 5000};
// A first run answers within half a minute on every position, whatever the level.
inline constexpr int DEFAULT_THINK_LIMIT_MS = 30000;

// The saved time limit; DEFAULT_THINK_LIMIT_MS when nothing or a value the menu does not offer was saved.
int saved_think_limit_ms();
void save_think_limit_ms(int ms);
// Thinking ahead on the player's time; on unless switched off.
bool saved_think_ahead();
void save_think_ahead(bool on);
// 反則手も指せる: off unless switched on.
bool saved_allow_illegal();
void save_allow_illegal(bool on);
// 変化を残す: on unless switched off.
bool saved_keep_variations();
void save_keep_variations(bool on);

}  // namespace halvane
