// The window's remembered settings and the text of the file that keeps them: the think's time limit,
// thinking ahead, whether illegal moves may be played, whether a move that leaves the record keeps the old
// continuation, the folder of the last KIF file, the strength each window program was last set to, the
// time control of the last new game, the engines and 詰み探索's time. The file is
// the INI text the settings were always kept in, so an earlier run's file reads on.
#pragma once

#include <string>
#include <string_view>

#include "app/engine_list.h"
#include "app/game_clock.h"
#include "think/strength.h"

namespace halvane {

// The limits the settings menu offers, in milliseconds; 0 is none.
inline constexpr int THINK_LIMITS_MS[5] = {0, 60000, 30000, 10000, 5000};
// A first run answers within half a minute on every position, whatever the level.
inline constexpr int DEFAULT_THINK_LIMIT_MS = 30000;
// The time controls the new-game dialog offers: 持ち時間 up to three hours, 秒読み and the increment up
// to a minute.
inline constexpr int MAX_MAIN_MS = 180 * 60000, MAX_BYOYOMI_MS = 60000, MAX_INCREMENT_MS = 60000;
// 詰み探索's time limit in seconds, as the engine settings dialog offers it.
inline constexpr int DEFAULT_MATE_SEARCH_SECONDS = 10, MAX_MATE_SEARCH_SECONDS = 600;

struct Settings {
  int think_limit_ms = DEFAULT_THINK_LIMIT_MS;
  bool think_ahead = true;      // on unless switched off
  bool allow_illegal = false;   // 反則手も指せる: off unless switched on
  std::string kif_folder;       // empty: none remembered
  bool keep_variations = true;  // 変化を残す: on unless switched off
  // 強さ: for each program (by its own level's index in STRENGTHS) the index of the level last chosen in
  // it, -1 where none was: that program plays at its own level.
  int chosen_levels[STRENGTH_COUNT] = {-1, -1, -1};
  ClockSettings clock;          // なし unless chosen
  EngineList engines = default_engine_list();   // the registered engines and the analyst
  int mate_search_seconds = DEFAULT_MATE_SEARCH_SECONDS;   // 1..MAX_MATE_SEARCH_SECONDS
  bool operator==(const Settings&) const = default;
};

// The settings in the text; each one missing, or holding a value other than those written (a limit the
// menu does not offer, "maybe" for a switch), keeps its default. Never fails.
Settings parse_settings(std::string_view text);
std::string format_settings(const Settings& settings);

}  // namespace halvane
