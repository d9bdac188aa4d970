// Registering a USI engine: the program at a path started once, its "usi" answer read for the name and
// options it offers, and the process ended again. 設定 → エンジンの設定 registers engines and refreshes their
// options this way; the caller waits (at most the client's usiok time-out), so it runs off the window thread.
#pragma once

#include <string>
#include <vector>

#include "engine_client/registered_engine.h"
#include "engine_client/usi_client.h"

namespace halvane {

// Starts the engine at `path`, takes its name (the file's name when it gives none) and options with their
// defaults as values, and ends it. False, with the window's words for what went wrong ("エンジンがUSIで
// 応答しません。"), when it cannot be started, never answers usiok in time or ends before it.
// `arguments` follow the program's name (tests give their scripted engine its part).
bool probe_engine(const std::string& path, RegisteredEngine& out, std::string& message,
                  const ClientTimeouts& timeouts = ClientTimeouts{}, const std::vector<std::string>& arguments = {});

}  // namespace halvane
