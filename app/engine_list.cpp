// The engine list: the own engine first, the registered ones after it, read from and written to the
// settings file's [engines] section.
#include "app/engine_list.h"

#include <unistd.h>

#include <charconv>
#include <climits>

namespace halvane {

std::string own_engine_path() {
  char buffer[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  std::string folder = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string("/usr/bin/x");
  folder.erase(folder.rfind('/') + 1);
  return folder + OWN_ENGINE_PROGRAM;
}

EngineList default_engine_list() {
  EngineList list;
  list.engines[0].path = own_engine_path();
  list.engines[0].name = OWN_ENGINE_NAME;
  return list;
}

const RegisteredEngine& analyst_engine(const EngineList& list) {
  const bool valid = list.analyst >= 0 && list.analyst < static_cast<int>(list.engines.size());
  return list.engines[valid ? list.analyst : 0];
}

int register_engine(EngineList& list, const RegisteredEngine& engine) {
  for (size_t i = 0; i < list.engines.size(); ++i) {
    if (list.engines[i].path != engine.path) continue;
    list.engines[i] = engine;
    return static_cast<int>(i);
  }
  list.engines.push_back(engine);
  return static_cast<int>(list.engines.size()) - 1;
}

void unregister_engine(EngineList& list, int index) {
  if (index <= 0 || index >= static_cast<int>(list.engines.size())) return;
  list.engines.erase(list.engines.begin() + index);
  if (list.analyst == index) list.analyst = 0;
  if (list.analyst > index) --list.analyst;
  if (list.opponent == index) list.opponent = -1;
  if (list.opponent > index) --list.opponent;
}

void read_engine_setting(std::string_view key, std::string_view value, EngineList& list) {
  if (key == "analyst" || key == "opponent") {
    int n = -1;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (error == std::errc() && end == value.data() + value.size()) (key == "analyst" ? list.analyst : list.opponent) = n;
    return;
  }
  if (key != "own" && key != "engine") return;
  RegisteredEngine engine;
  std::string error;
  if (!parse_registered_engine(value, engine, error)) return;
  if (key == "own") {
    engine.path = list.engines[0].path;
    list.engines[0] = engine;
  } else if (engine.path != list.engines[0].path) {
    register_engine(list, engine);
  }
}

void finish_engine_list(EngineList& list) {
  if (list.analyst < 0 || list.analyst >= static_cast<int>(list.engines.size())) list.analyst = 0;
  if (list.opponent < -1 || list.opponent >= static_cast<int>(list.engines.size())) list.opponent = -1;
}

std::string format_engine_list(const EngineList& list) {
  std::string text = "[engines]\nanalyst=" + std::to_string(list.analyst) + "\n";
  if (list.opponent >= 0) text += "opponent=" + std::to_string(list.opponent) + "\n";
  for (size_t i = 0; i < list.engines.size(); ++i)
    text += (i == 0 ? "own=" : "engine=") + format_registered_engine(list.engines[i]) + "\n";
  return text;
}

}  // namespace halvane
