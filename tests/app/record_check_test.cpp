// The record validity check itself: a fresh record and played games pass, and each kind of damage a
// bad reader could do is caught.
#include <gtest/gtest.h>

#include "app/record_check.h"
#include "kif_test_util.h"

using namespace halvane;
using namespace halvane::kif_test;

namespace {

TEST(RecordCheck, PlayedGamesAreValid) {
  auto gs = make_state();
  std::string problem;
  EXPECT_TRUE(record_valid(*gs, problem)) << problem;
  std::mt19937 rng(3);
  play_random(*gs, rng, 200);
  EXPECT_TRUE(record_valid(*gs, problem)) << problem;
}

TEST(RecordCheck, EveryKindOfDamageIsCaught) {
  const struct {
    const char* what;
    void (*damage)(GameState&);
  } rows[] = {
      {"negative hand", [](GameState& gs) { gs.record.record_hands[1][2][0] = -1; }},
      {"piece code 12", [](GameState& gs) { gs.record.record_boards[2][gs_index(4, 4)] = 12; }},
      {"piece code 31", [](GameState& gs) { gs.record.record_boards[2][gs_index(4, 4)] = 31; }},
      {"wall overwritten", [](GameState& gs) { gs.record.record_boards[1][gs_index(9, 4)] = SQ_EMPTY; }},
      {"piece vanished", [](GameState& gs) { gs.record.record_boards[3][gs_index(0, 0)] = SQ_EMPTY; }},
      {"piece from nowhere", [](GameState& gs) { gs.record.record_hands[0][3][6] += 1; }},
      {"pawn turned into a gold", [](GameState& gs) { gs.record.record_boards[1][gs_index(0, 6)] = GOLD; }},
      {"length past the record", [](GameState& gs) { gs.record.length = RECORD_SLOTS; }},
      {"length below -1", [](GameState& gs) { gs.record.length = -2; }},
      {"damaged slot 0 with length -1", [](GameState& gs) {
         gs.record.length = -1;
         gs.record.record_boards[0][gs_index(4, 8)] = 128;
       }},
  };
  for (const auto& row : rows) {
    auto gs = make_state();
    play_usi(*gs, {"7g7f", "3c3d", "8h2b+", "3a2b"});
    row.damage(*gs);
    std::string problem;
    EXPECT_FALSE(record_valid(*gs, problem)) << row.what;
    EXPECT_FALSE(problem.empty()) << row.what;
  }
}

}  // namespace
