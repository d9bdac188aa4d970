// The positions "bench" thinks on: the start, an opening out of the book with white to move, middle games
// with bishops in hand (the strongest level's hand rule), and an end game where the mate thread decides.
#pragma once

namespace halvane {

constexpr int BENCH_POSITIONS = 5;
// Each one is the words after "position".
extern const char* const BENCH_POSITION_TEXT[BENCH_POSITIONS];
constexpr unsigned BENCH_SEED = 20260101;

}  // namespace halvane
