// The clocks of the game in the window: derived from the record's times, run by the game's state, charged
// by each move, read for the screen and for the computer's think.
#include "app/play_clock.h"

#include <chrono>

#include "app/engine_opponent.h"
#include "app/game_end.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "think/time_budget.h"

namespace halvane {

namespace {

int64_t steady_now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// "9:41", "1:05:00": whole seconds.
std::u16string clock_digits(int64_t seconds) {
  std::string text;
  const int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
  if (h > 0) text = std::to_string(h) + ":" + (m < 10 ? "0" : "");
  text += std::to_string(m) + ":" + (s < 10 ? "0" : "") + std::to_string(s);
  return std::u16string(text.begin(), text.end());
}

// Seconds left shown rounded up: a clock reads 0 only when nothing is left.
int64_t seconds_up(int64_t ms) { return (ms + 999) / 1000; }

std::string minutes_text(int ms) {
  const int seconds = ms / 1000;
  return seconds % 60 == 0 ? std::to_string(seconds / 60) + "分" : std::to_string(seconds) + "秒";
}

std::string control_text(const TimeControl& tc) {
  std::string text = minutes_text(tc.main_ms);
  if (tc.byoyomi_ms > 0) text += "+" + std::to_string(tc.byoyomi_ms / 1000) + "秒";
  if (tc.increment_ms > 0) text += "+フィッシャー" + std::to_string(tc.increment_ms / 1000) + "秒";
  return text;
}


}  // namespace

int64_t clock_now(const GameState& gs) { return gs.clock.now ? gs.clock.now() : steady_now_ms(); }

void clock_to_cursor(GameState& gs) {
  PlayClock& pc = gs.clock;
  const GameRecord& record = gs.game.record;
  const int ply = cursor_ply(gs);
  if (ply <= pc.origin_ply) {
    pc.clock = clock_new(pc.settings, side_to_move(gs));
    return;
  }
  std::vector<int64_t> times;
  for (int node : path_to(record, gs.game.cursor))
    if (record.nodes[node].ply > pc.origin_ply) times.push_back(std::max(0, record.nodes[node].time_ms));
  const int first = pc.origin_ply % 2 == 0 ? record.start.side_to_move : record.start.side_to_move ^ 1;
  pc.clock = clock_replay(pc.settings, first, times);
}

void clock_take_record(GameState& gs) {
  gs.clock.origin_ply = main_line_moves(gs);
  clock_to_cursor(gs);
}

void clock_follow(GameState& gs) {
  // An engine being started for its turn has not been asked yet: its clock waits for it to be ready, as
  // a game against it would begin only then.
  const bool engine_starting = gs.flags.thinking && engine_getting_ready(gs);
  const bool on = gs.flags.started && !game_over(gs) && !gs.flags.paused && !engine_starting;
  GameClock& c = gs.clock.clock;
  if (on && !c.running) clock_run(c, clock_now(gs));
  if (!on && c.running) clock_pause(c, clock_now(gs));
}

void clock_charge(GameState& gs, int node) {
  if (!gs.flags.started) return;   // a position being set up: no game's time
  PlayClock& pc = gs.clock;
  RecordNode& n = gs.game.record.nodes[node];
  // A game continued from before the moves another clock timed: this clock times it from here.
  if (n.ply - 1 < pc.origin_ply) pc.origin_ply = n.ply - 1;
  const int mover = pc.clock.to_move;
  n.time_ms = static_cast<int>(clock_move_made(pc.clock, clock_now(gs)));
  n.total_ms = static_cast<int>(pc.clock.used_ms[mover]);
}

bool clock_flag_fell(GameState& gs, Engine& e) {
  GameClock& c = gs.clock.clock;
  if (!c.settings.limited || !c.running || !gs.flags.started || game_over(gs)) return false;
  const int64_t now = clock_now(gs);
  if (!clock_read(c, c.to_move, now).out_of_time) return false;
  stop_computer(gs, e);
  clock_pause(c, now);
  end_game(gs, GAME_END_TIME_LOSS);
  gs.game.record.nodes[gs.game.cursor].end_time_ms = static_cast<int>(clock_move_time(c, now));
  gs.input.selection = 0;
  gs.view.show_last_move = 0;
  repaint(gs, e);
  return true;
}

bool clock_tick(GameState& gs, Engine& e) {
  if (!gs.clock.clock.running) return false;
  if (clock_flag_fell(gs, e)) return true;
  if (clock_face(gs, BLACK).text == gs.clock.drawn[BLACK] && clock_face(gs, WHITE).text == gs.clock.drawn[WHITE])
    return false;
  // While the computer's think waits for a think ahead's answer, the progress strip follows that think.
  Engine* shown = gs.flags.shown_engine.load();
  repaint(gs, shown && gs.flags.thinking ? *shown : e);
  return true;
}

ClockFace clock_face(const GameState& gs, int side) {
  const GameClock& c = gs.clock.clock;
  const ClockReading r = clock_read(c, side, clock_now(gs));
  ClockFace face;
  face.to_move = side == c.to_move && gs.flags.started && !game_over(gs);
  if (!c.settings.limited) {
    face.text = clock_digits(r.main_left_ms / 1000);
    return face;
  }
  face.red = r.in_byoyomi || r.out_of_time;
  if (!r.in_byoyomi) {
    face.text = clock_digits(seconds_up(r.main_left_ms));
    return face;
  }
  // The last ten seconds of the side to move's 秒読み in tenths, rounded up as the seconds are.
  const int64_t left = r.byoyomi_left_ms;
  if (side == c.to_move && c.running && left < 10000) {
    const int64_t tenths = (left + 99) / 100;
    const std::string text = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    face.text = std::u16string(text.begin(), text.end()) + u"秒";
  } else {
    const std::string text = std::to_string(seconds_up(left));
    face.text = std::u16string(text.begin(), text.end()) + u"秒";
  }
  return face;
}

namespace {

ClockForThink computer_clock(const GameClock& c, int side) {
  const TimeControl& tc = c.settings.side[side];
  ClockForThink clock;
  // A turn held by a pause has spent some of it already.
  clock.main_left_ms = c.main_left_ms[side] - (side == c.to_move ? c.move_spent_ms : 0);
  clock.byoyomi_ms = tc.byoyomi_ms;
  clock.increment_ms = tc.increment_ms;
  clock.increment_after = true;
  return clock;
}

}  // namespace

int computer_think_budget(const GameState& gs) {
  if (!gs.clock.clock.settings.limited) return 0;
  return static_cast<int>(std::max(0LL, think_budget_ms(computer_clock(gs.clock.clock, computer_side(gs)))));
}

int computer_think_extension(const GameState& gs) {
  if (!gs.clock.clock.settings.limited) return 0;
  return static_cast<int>(think_extension_ms(computer_clock(gs.clock.clock, computer_side(gs))));
}

int computer_think_extension_limit(const GameState& gs) {
  return static_cast<int>(std::max(0LL, extension_within(computer_think_budget(gs), computer_think_extension(gs))));
}

int computer_think_limit(const GameState& gs) {
  if (!gs.clock.clock.settings.limited) return 0;
  // A budget of nothing still gets the least limit a think takes: it plays whatever it has at once.
  return static_cast<int>(std::max(1LL, think_limit_within(computer_think_budget(gs))));
}

std::string time_control_text(const ClockSettings& settings) {
  if (!settings.limited) return {};
  if (settings.side[BLACK] == settings.side[WHITE]) return control_text(settings.side[BLACK]);
  return "▲" + control_text(settings.side[BLACK]) + " △" + control_text(settings.side[WHITE]);
}

}  // namespace halvane
