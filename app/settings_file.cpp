// The settings file: INI sections and keys as Qt's settings store wrote them, values read strictly.
#include "app/settings_file.h"

#include <charconv>

#include "core/sfen.h"

namespace halvane {

namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// A switch is "true" or "false"; anything else keeps the default.
void read_switch(std::string_view value, bool& on) {
  if (value == "true") on = true;
  if (value == "false") on = false;
}

// A limit is one of the menu's, in plain decimal: a negative, huge or half-numeric value is none of them.
void read_limit(std::string_view value, int& ms) {
  int n = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (error != std::errc() || end != value.data() + value.size() || value.empty()) return;
  for (int offered : THINK_LIMITS_MS)
    if (n == offered) ms = n;
}

// 詰み探索's seconds: a plain decimal from 1 to the most the dialog offers.
void read_seconds(std::string_view value, int& seconds) {
  int n = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (error != std::errc() || end != value.data() + value.size() || value.empty()) return;
  if (n >= 1 && n <= MAX_MATE_SEARCH_SECONDS) seconds = n;
}

// A folder: a quoted text with \" and \\ escaped, or a plain one. An unquoted comma would make it a list,
// and other escapes are none this program writes: the folder is then forgotten.
void read_folder(std::string_view value, std::string& folder) {
  std::string out;
  bool quoted = false;
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (c == '\\') {
      if (i + 1 == value.size() || (value[i + 1] != '\\' && value[i + 1] != '"')) return;
      out += value[++i];
    } else if (c == ',' && !quoted) {
      return;
    } else {
      out += c;
    }
  }
  if (!quoted) folder = out;
}

// A level is one of the strength table's names: "karakuchi=gekikara" in the strength section says that
// halvane-karakuchi was last set to 激辛.
void read_level(std::string_view program, std::string_view value, int (&levels)[STRENGTH_COUNT]) {
  for (int own = 0; own < STRENGTH_COUNT; ++own)
    for (int chosen = 0; chosen < STRENGTH_COUNT; ++chosen)
      if (program == STRENGTHS[own]->name && value == STRENGTHS[chosen]->name) levels[own] = chosen;
}

// A side's time control: "main,byoyomi,increment" in milliseconds, each within what the dialog offers.
void read_control(std::string_view value, TimeControl& control) {
  const int limits[3] = {MAX_MAIN_MS, MAX_BYOYOMI_MS, MAX_INCREMENT_MS};
  int parts[3];
  const char* at = value.data();
  const char* const end = value.data() + value.size();
  for (int i = 0; i < 3; ++i) {
    const auto [next, error] = std::from_chars(at, end, parts[i]);
    if (error != std::errc() || next == at || parts[i] < 0 || parts[i] > limits[i]) return;
    at = next;
    if (i < 2 && (at == end || *at++ != ',')) return;
  }
  if (at == end) control = {parts[0], parts[1], parts[2]};
}

std::string control_value(const TimeControl& c) {
  return std::to_string(c.main_ms) + "," + std::to_string(c.byoyomi_ms) + "," + std::to_string(c.increment_ms);
}

}  // namespace

Settings parse_settings(std::string_view text) {
  Settings settings;
  std::string_view section;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;   // blank lines, comments
    const std::string_view key = trimmed(line.substr(0, equals)), value = trimmed(line.substr(equals + 1));
    if (section == "think" && key == "limit_ms") read_limit(value, settings.think_limit_ms);
    if (section == "think" && key == "ahead") read_switch(value, settings.think_ahead);
    if (section == "play" && key == "allow_illegal") read_switch(value, settings.allow_illegal);
    if (section == "play" && key == "keep_variations") read_switch(value, settings.keep_variations);
    if (section == "kif_files" && key == "folder") read_folder(value, settings.kif_folder);
    if (section == "strength") read_level(key, value, settings.chosen_levels);
    if (section == "engines") read_engine_setting(key, value, settings.engines);
    if (section == "clock" && key == "limited") read_switch(value, settings.clock.limited);
    if (section == "clock" && key == "black") read_control(value, settings.clock.side[BLACK]);
    if (section == "clock" && key == "white") read_control(value, settings.clock.side[WHITE]);
    if (section == "study" && key == "mate_search_seconds") read_seconds(value, settings.mate_search_seconds);
  }
  finish_engine_list(settings.engines);
  return settings;
}

std::string format_settings(const Settings& settings) {
  std::string text;
  // A folder with a line end or another control character in its name cannot stand on one line: it is
  // not remembered.
  std::string folder;
  for (char c : settings.kif_folder) {
    if (static_cast<unsigned char>(c) < 0x20) {
      folder.clear();
      break;
    }
    if (c == '"' || c == '\\') folder += '\\';
    folder += c;
  }
  if (!folder.empty()) text += "[kif_files]\nfolder=\"" + folder + "\"\n\n";
  const ClockSettings& clock = settings.clock;
  text += std::string("[clock]\nlimited=") + (clock.limited ? "true" : "false") + "\nblack=" +
          control_value(clock.side[BLACK]) + "\nwhite=" + control_value(clock.side[WHITE]) + "\n\n";
  text += std::string("[play]\nallow_illegal=") + (settings.allow_illegal ? "true" : "false") +
          "\nkeep_variations=" + (settings.keep_variations ? "true" : "false") + "\n\n";
  text += "[study]\nmate_search_seconds=" + std::to_string(settings.mate_search_seconds) + "\n\n";
  text += std::string("[think]\nahead=") + (settings.think_ahead ? "true" : "false") +
          "\nlimit_ms=" + std::to_string(settings.think_limit_ms) + "\n";
  std::string levels;
  for (int own = 0; own < STRENGTH_COUNT; ++own) {
    const int chosen = settings.chosen_levels[own];
    if (chosen >= 0 && chosen < STRENGTH_COUNT)
      levels += std::string(STRENGTHS[own]->name) + "=" + STRENGTHS[chosen]->name + "\n";
  }
  if (!levels.empty()) text += "\n[strength]\n" + levels;
  if (!(settings.engines == default_engine_list())) text += "\n" + format_engine_list(settings.engines);
  return text;
}

}  // namespace halvane
