// The engines the window can use: Halvane's own halvane-usi, always first, then the USI engines the user
// registered, and which of them is the analyst that 検討, 棋譜解析 and ヒント think with. The settings file
// keeps the list in its [engines] section, one registered-engine line per engine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine_client/registered_engine.h"

namespace halvane {

// The name the own engine is listed under until its "usi" answer names it.
inline constexpr const char* OWN_ENGINE_NAME = "ハルベイン";
inline constexpr const char* OWN_ENGINE_PROGRAM = "halvane-usi";

struct EngineList {
  // engines[0] is Halvane's own engine, found beside the running program; the others as registered.
  std::vector<RegisteredEngine> engines{RegisteredEngine{}};
  int analyst = 0;   // an index in engines
  int opponent = -1;  // the engine the new-game dialog last chose to play the computer's side (an index in
                      // engines), or -1: Halvane's own engine inside the window
  bool operator==(const EngineList&) const = default;
};

// halvane-usi beside the running program: the window programs and it are built and installed together.
std::string own_engine_path();
// The list with only the own engine, at own_engine_path(), as its analyst.
EngineList default_engine_list();

// The analyst as it is to be started.
const RegisteredEngine& analyst_engine(const EngineList& list);

// Adds an engine behind the others, or replaces the one registered with the same path (the own engine's
// path is its own: registering it again replaces its entry). Returns its index.
int register_engine(EngineList& list, const RegisteredEngine& engine);
// Removes a registered engine (never the own one); the analyst falls back to the own engine when it was
// the one removed.
void unregister_engine(EngineList& list, int index);

// One key of the settings file's [engines] section: "own" (the own engine's options), "engine" (one
// registered engine; repeated, in order), "analyst" or "opponent" (an index). A line that does not read is passed
// over, so a damaged entry loses that engine only. The own engine keeps the path of the running program
// whatever path was stored.
void read_engine_setting(std::string_view key, std::string_view value, EngineList& list);
// After every key was read: an analyst index outside the list means the own engine, an opponent index
// outside it the window's own.
void finish_engine_list(EngineList& list);
// The [engines] section, with its header line.
std::string format_engine_list(const EngineList& list);

}  // namespace halvane
