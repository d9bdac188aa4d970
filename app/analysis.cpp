// The analysis session: the analyst's client, its set-up (the registered option values, MultiPV), the
// goes asked of it and the events that belong to the go under way.
#include "app/analysis.h"

#include <algorithm>
#include <cstdlib>

#include "record/game_record.h"

namespace halvane {

namespace {

UsiOption* multipv_option(std::vector<UsiOption>& options) {
  for (UsiOption& option : options)
    if (option.name == "MultiPV" && option.type == OPTION_SPIN) return &option;
  return nullptr;
}

void send_go(AnalysisSession& s, const SfenPosition& start, const std::vector<MoveRecord>& moves, const GoCommand& go,
             int multipv) {
  // 1. The number of lines, where the analyst offers a choice.
  if (UsiOption* option = multipv_option(s.options)) {
    const int wanted = std::clamp<long long>(multipv, std::max<long long>(1, option->min), option->max);
    if (wanted != s.multipv) {
      option->value = std::to_string(wanted);
      client_set_option(*s.client, *option);
      s.multipv = wanted;
    }
  }
  // 2. A game begins: the engine is told before its position.
  if (s.new_game_due) {
    client_new_game(*s.client);
    s.new_game_due = false;
  }
  // 3. The position and the go; only this go's events count from now on.
  client_position(*s.client, start, moves);
  s.running = s.next_request++;
  s.side_to_move = moves.size() % 2 == 0 ? start.side_to_move : start.side_to_move ^ 1;
  s.lines.clear();
  s.answer = MoveRecord{};
  s.answer_kind = BESTMOVE_MOVE;
  client_go(*s.client, go, s.running);
}

AnalysisUpdate fail(AnalysisSession& s, const std::string& message) {
  if (s.failed) return ANALYSIS_NOTHING;
  s.failed = true;
  s.ready = false;
  s.running = NO_REQUEST;
  s.error = message;
  if (s.client) client_quit(*s.client);
  return ANALYSIS_FAILED;
}

}  // namespace

bool analysis_start(AnalysisSession& s, const RegisteredEngine& engine, EngineEventSink sink, const ClientTimeouts& timeouts,
                    const std::vector<std::string>& arguments) {
  s.engine = engine;
  s.name = engine.name;
  s.client = std::make_unique<UsiClient>();
  s.client->arguments = arguments;
  std::string reason;
  if (client_start(*s.client, engine.path, std::move(sink), timeouts, reason)) return true;
  s.failed = true;
  s.error = "エンジンを起動できませんでした。\n" + engine.path + "\n" + reason;
  return false;
}

AnalysisUpdate analysis_event(AnalysisSession& s, const EngineEvent& event) {
  if (s.failed) return ANALYSIS_NOTHING;
  switch (event.kind) {
    case EVENT_IDENTIFIED: {
      // The values the user chose for this engine, where its options still take them.
      if (!event.name.empty()) s.name = event.name;
      s.options = event.options;
      take_stored_values(s.options, s.engine.options);
      for (const UsiOption& option : s.options)
        if (option.type != OPTION_BUTTON && option.value != option.default_value) client_set_option(*s.client, option);
      if (UsiOption* option = multipv_option(s.options)) s.multipv = std::atoi(option->value.c_str());
      client_is_ready(*s.client);
      return ANALYSIS_NOTHING;
    }
    case EVENT_READY:
      if (s.ready) return ANALYSIS_NOTHING;
      s.ready = true;
      if (s.waiting) {
        s.waiting = false;
        send_go(s, s.waiting_start, s.waiting_moves, s.waiting_go, s.waiting_multipv);
      }
      return ANALYSIS_READY;
    case EVENT_INFO: {
      if (event.request_id != s.running || s.running == NO_REQUEST) return ANALYSIS_NOTHING;
      AnalysisLine line;
      if (!analysis_line_from(event.info, event.pv_moves, s.side_to_move, line)) return ANALYSIS_NOTHING;
      keep_line(s.lines, line);
      return ANALYSIS_LINE;
    }
    case EVENT_BESTMOVE:
      if (event.request_id != s.running || s.running == NO_REQUEST) return ANALYSIS_NOTHING;
      s.running = NO_REQUEST;
      s.answer_kind = event.best;
      s.answer = event.move;
      return ANALYSIS_ANSWER;
    case EVENT_ERROR:
      return fail(s, engine_failure_text(event));
    case EVENT_EXITED:
      return fail(s, engine_failure_text(event));
  }
  return ANALYSIS_NOTHING;
}

int analysis_go(AnalysisSession& s, const SfenPosition& start, const std::vector<MoveRecord>& moves, const GoCommand& go,
                int multipv) {
  analysis_stop(s);
  if (s.failed || !s.client) return NO_REQUEST;
  if (!s.ready) {
    s.waiting = true;
    s.waiting_start = start;
    s.waiting_moves = moves;
    s.waiting_go = go;
    s.waiting_multipv = multipv;
    return s.next_request;   // the id send_go will give it
  }
  send_go(s, start, moves, go, multipv);
  return s.running;
}

void analysis_stop(AnalysisSession& s) {
  s.waiting = false;
  if (s.running == NO_REQUEST) return;
  s.running = NO_REQUEST;
  if (s.client && !s.failed) client_stop(*s.client);
}

int analysis_max_lines(const AnalysisSession& s) {
  for (const UsiOption& option : s.options)
    if (option.name == "MultiPV" && option.type == OPTION_SPIN) return static_cast<int>(std::max<long long>(1, option.max));
  return 1;
}

bool wait_until_ready(AnalysisSession& s, EngineEventQueue& queue) {
  EngineEvent event;
  while (!s.ready && !s.failed)
    if (wait_event(queue, event, std::chrono::milliseconds(1000))) analysis_event(s, event);
  return s.ready;
}

bool analyse_and_wait(AnalysisSession& s, EngineEventQueue& queue, const SfenPosition& start,
                      const std::vector<MoveRecord>& moves, const GoCommand& go) {
  analysis_go(s, start, moves, go);
  EngineEvent event;
  // The client times out every go that has a limit and reports an engine's end, so this ends.
  while (!s.failed) {
    if (!wait_event(queue, event, std::chrono::milliseconds(1000))) continue;
    if (analysis_event(s, event) == ANALYSIS_ANSWER) return true;
  }
  return false;
}

std::string engine_failure_text(const EngineEvent& event) {
  if (event.kind == EVENT_EXITED)
    return "エンジンが終了しました（" + describe_wait_status(event.wait_status) + "）。";
  switch (event.error) {
    case ENGINE_START_FAILED: return "エンジンを起動できませんでした。\n" + event.text;
    case ENGINE_NO_USIOK: return "エンジンがUSIで応答しません。";
    case ENGINE_NO_READYOK: return "エンジンの準備が終わりません（readyokがありません）。";
    case ENGINE_ILLEGAL_MOVE: return "エンジンが反則手を指しました（" + event.move_text + "）。";
    case ENGINE_TIME_OUT: return "エンジンが時間内に応答しませんでした。";
    case ENGINE_CRASHED: return "エンジンが異常終了しました（" + event.text + "）。";
    case ENGINE_NOT_READING: return "エンジンが命令を読みません。";
    case ENGINE_OK: break;
  }
  return "エンジンの異常です。";
}

}  // namespace halvane
