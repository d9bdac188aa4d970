// The positions "bench" thinks on: the start, an opening out of the book with white to move, middle games
// with bishops in hand (the strongest level's hand rule), and an end game where the mate thread decides.
// "bench games" thinks on positions taken from real games instead, fixed here so that its figures compare
// from one build to the next.
#pragma once

namespace halvane {

constexpr int BENCH_POSITIONS = 5;
// Each one is the words after "position".
extern const char* const BENCH_POSITION_TEXT[BENCH_POSITIONS];
constexpr unsigned BENCH_SEED = 20260101;

// Every tenth ply of four recorded games (a title match, two professional games, an amateur game lost on
// a foul): openings, middle games with pieces in hand and end games. SFEN strings, black to move.
constexpr int GAME_BENCH_POSITIONS = 30;
extern const char* const GAME_BENCH_SFEN[GAME_BENCH_POSITIONS];

}  // namespace halvane
