// The positions "bench" thinks on: openings out of the book, a middle game with pieces in hand (the
// strongest level's hand rule), both sides to move, and an end game where the mate thread decides.
#pragma once

namespace halvane {

constexpr int BENCH_POSITIONS = 6;
// Each one is the words after "position".
extern const char* const BENCH_POSITION_TEXT[BENCH_POSITIONS];
constexpr unsigned BENCH_SEED = 20260101;

}  // namespace halvane
