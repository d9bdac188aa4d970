// One short session with an engine: start, wait for usiok or a failure on the client's event queue, close.
#include "app/engine_probe.h"

#include <filesystem>

#include "app/analysis.h"

namespace halvane {

bool probe_engine(const std::string& path, RegisteredEngine& out, std::string& message, const ClientTimeouts& timeouts,
                  const std::vector<std::string>& arguments) {
  std::error_code ignored;
  const std::string absolute = std::filesystem::absolute(path, ignored).lexically_normal().string();
  EngineEventQueue queue;
  UsiClient client;
  client.arguments = arguments;
  std::string reason;
  if (!client_start(client, absolute, [&queue](EngineEvent&& event) { push_event(queue, std::move(event)); }, timeouts,
                    reason)) {
    message = "エンジンを起動できませんでした。\n" + absolute + "\n" + reason;
    return false;
  }
  // The client times out an engine that never says usiok, so one of these comes; the wait's own bound is
  // only a backstop past every grace of the client.
  const auto backstop = std::chrono::milliseconds(timeouts.usiok_ms + timeouts.quit_grace_ms + timeouts.term_grace_ms + 5000);
  EngineEvent answer;
  answer.error = ENGINE_NO_USIOK;   // what a wait past the backstop means
  while (wait_event(queue, answer, backstop))
    if (answer.kind == EVENT_IDENTIFIED || answer.kind == EVENT_ERROR || answer.kind == EVENT_EXITED) break;
  client_close(client);
  if (answer.kind != EVENT_IDENTIFIED) {
    message = engine_failure_text(answer) + "\n" + absolute;
    return false;
  }
  out = RegisteredEngine{};
  out.path = absolute;
  out.name = answer.name.empty() ? std::filesystem::path(absolute).filename().string() : answer.name;
  out.options = answer.options;
  for (UsiOption& option : out.options) option.value = option.default_value;
  return true;
}

}  // namespace halvane
