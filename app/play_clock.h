// The game's clocks in the window: they follow the game (running while it is on and not paused, charged
// with each move, derived again from the moves' times whenever the board goes to another position of the
// record), end it when a side runs out of time, give the computer's think its limit and say what each
// clock shows. Window thread only.
#pragma once

#include <cstdint>
#include <string>

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

// The time source's reading, in milliseconds.
int64_t clock_now(const GameState& gs);

// The clocks as they stood when the position on the board was reached, from the times of the moves on
// the way there (nothing running): what stepping back and 待った show.
void clock_to_cursor(GameState& gs);
// A record taken as a whole (a new game, a load): its moves were timed by another clock, so that a game
// continued from it starts both clocks full.
void clock_take_record(GameState& gs);

// The side to move's clock runs while the game is on, not over and not paused, and stands otherwise (also
// while an engine playing the computer is started for its turn).
void clock_follow(GameState& gs);

// The move of `node` has just been played at the cursor of a started game: its time and the mover's total
// go into the record, and the other side's clock starts.
void clock_charge(GameState& gs, int node);

// When the side to move has run out of time, its think (if any) stops and the game ends, 切れ負け. True
// when it did.
bool clock_flag_fell(GameState& gs, Engine& e);

// The window's timer: a fallen flag, and the view drawn again when either clock's face has changed.
// Returns whether it drew.
bool clock_tick(GameState& gs, Engine& e);

// What one side's (BLACK or WHITE) clock shows: its time ("9:41", counting up without limits), "30秒"
// in 秒読み with tenths in its last ten seconds ("9.3秒"), red in 秒読み and once out of time, and whether it
// is the side to move.
struct ClockFace {
  std::u16string text;
  bool red = false;
  bool to_move = false;
  bool operator==(const ClockFace&) const = default;
};
ClockFace clock_face(const GameState& gs, int side);

// The time the computer's move may take under its clock in milliseconds (think/time_budget.h), or 0
// without a clock; and the limit its think gets for it, or 0 (the chosen limit applies). From its clock as
// it stood when its turn began, so that a think ahead asks for the same.
int computer_think_budget(const GameState& gs);
int computer_think_limit(const GameState& gs);
// How much more than that budget a think still unfinished may spend (more of its main time, 0 without),
// and how much longer than its limit it may run for that.
int computer_think_extension(const GameState& gs);
int computer_think_extension_limit(const GameState& gs);

// The time control as a KIF header states it: "10分+30秒", "1分+フィッシャー2秒", each side's own where they
// differ ("▲10分+30秒 △5分+30秒"); empty without limits.
std::string time_control_text(const ClockSettings& settings);

}  // namespace halvane
