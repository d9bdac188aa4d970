// Where a selected piece may go: every kind from the centre and from the edges, with rays stopped by
// either side's pieces, targets on the other side's pieces kept and on the mover's own dropped; a piece
// at the top of the screen moves down it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

#include "app/game_state.h"
#include "app/targets.h"

using namespace halvane;

namespace {

struct Placed {
  int col, row, code;
};

struct TargetCase {
  const char* name;
  int code, col, row;
  std::vector<Placed> others;
  std::set<std::pair<int, int>> expected;   // (col, row)
};

const std::vector<TargetCase> CASES = {
    {"pawn steps forward", PAWN, 4, 6, {}, {{4, 5}}},
    {"pawn on the last row has nowhere to go", PAWN, 4, 0, {}, {}},
    {"pawn blocked by its own piece", PAWN, 4, 6, {{4, 5, GOLD}}, {}},
    {"pawn captures", PAWN, 4, 6, {{4, 5, GOTE_BIT + ROOK}}, {{4, 5}}},
    {"lance ray stops on the computer's piece", LANCE, 0, 8, {{0, 4, GOTE_BIT + PAWN}}, {{0, 7}, {0, 6}, {0, 5}, {0, 4}}},
    {"lance ray stops before its own piece", LANCE, 0, 8, {{0, 5, PAWN}}, {{0, 7}, {0, 6}}},
    {"lance ray runs to the edge", LANCE, 3, 3, {}, {{3, 2}, {3, 1}, {3, 0}}},
    {"knight jumps over pieces", KNIGHT, 1, 8, {{1, 7, PAWN}, {0, 7, PAWN}}, {{0, 6}, {2, 6}}},
    {"knight at the edge keeps its one jump", KNIGHT, 0, 4, {}, {{1, 2}}},
    {"knight on row 1 cannot move", KNIGHT, 4, 1, {}, {}},
    {"silver", SILVER, 4, 4, {}, {{3, 3}, {4, 3}, {5, 3}, {3, 5}, {5, 5}}},
    {"gold", GOLD, 4, 4, {}, {{3, 3}, {4, 3}, {5, 3}, {3, 4}, {5, 4}, {4, 5}}},
    {"tokin moves as a gold", PRO_PAWN, 4, 4, {}, {{3, 3}, {4, 3}, {5, 3}, {3, 4}, {5, 4}, {4, 5}}},
    {"promoted lance", PRO_LANCE, 4, 4, {}, {{3, 3}, {4, 3}, {5, 3}, {3, 4}, {5, 4}, {4, 5}}},
    {"promoted knight", PRO_KNIGHT, 4, 4, {}, {{3, 3}, {4, 3}, {5, 3}, {3, 4}, {5, 4}, {4, 5}}},
    {"promoted silver", PRO_SILVER, 0, 0, {}, {{1, 0}, {0, 1}}},
    {"king", KING, 4, 4, {{5, 5, SILVER}}, {{3, 3}, {4, 3}, {5, 3}, {3, 4}, {5, 4}, {3, 5}, {4, 5}}},
    {"king in the corner", KING, 8, 8, {}, {{7, 7}, {8, 7}, {7, 8}}},
    {"bishop rays", BISHOP, 4, 4, {{6, 2, GOTE_BIT + GOLD}, {2, 6, PAWN}},
     {{5, 3}, {6, 2}, {3, 3}, {2, 2}, {1, 1}, {0, 0}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {3, 5}}},
    {"rook rays", ROOK, 4, 4, {{4, 1, GOTE_BIT + PAWN}, {7, 4, KNIGHT}},
     {{4, 3}, {4, 2}, {4, 1}, {4, 5}, {4, 6}, {4, 7}, {4, 8}, {3, 4}, {2, 4}, {1, 4}, {0, 4}, {5, 4}, {6, 4}}},
    {"horse: diagonal rays and orthogonal steps", HORSE, 1, 1, {},
     {{0, 0}, {2, 0}, {0, 2}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {1, 0}, {0, 1}, {2, 1}, {1, 2}}},
    {"dragon: orthogonal rays and diagonal steps", DRAGON, 7, 7, {{7, 2, GOTE_BIT + KING}},
     {{6, 6}, {8, 6}, {6, 8}, {8, 8}, {7, 6}, {7, 5}, {7, 4}, {7, 3}, {7, 2}, {7, 8},
      {6, 7}, {5, 7}, {4, 7}, {3, 7}, {2, 7}, {1, 7}, {0, 7}, {8, 7}}},
    {"a top pawn steps down", GOTE_BIT + PAWN, 4, 2, {}, {{4, 3}}},
    {"a top knight jumps down onto a bottom piece", GOTE_BIT + KNIGHT, 1, 0, {{0, 2, PAWN}, {2, 2, GOTE_BIT + PAWN}}, {{0, 2}}},
    {"a top silver", GOTE_BIT + SILVER, 4, 4, {}, {{3, 5}, {4, 5}, {5, 5}, {3, 3}, {5, 3}}},
};

}  // namespace

TEST(Targets, EveryKindReachesItsSquares) {
  auto gs = std::make_unique<GameState>();
  game_construct(*gs);
  for (const TargetCase& c : CASES) {
    for (int row = 0; row < 9; ++row)
      for (int col = 0; col < 9; ++col) gs->screen.board[gs_index(col, row)] = SQ_EMPTY;
    // Leftovers of an earlier selection must not survive into this one.
    for (int i = 0; i < GS_CELLS; ++i) gs->input.target_map[i] = gs->input.reach_map[i] = 1;
    gs->screen.board[gs_index(c.col, c.row)] = c.code;
    for (const Placed& p : c.others) gs->screen.board[gs_index(p.col, p.row)] = p.code;
    gs->input.sel_col = c.col;
    gs->input.sel_row = c.row;
    gs->input.sel_piece = c.code;
    compute_targets(*gs);

    std::set<std::pair<int, int>> found;
    for (int row = 0; row < 9; ++row)
      for (int col = 0; col < 9; ++col)
        if (gs->input.target_map[gs_index(col, row)]) found.insert({col, row});
    EXPECT_EQ(found, c.expected) << c.name;
    // Reach includes the player's own pieces that stop a ray; targets never do.
    for (const Placed& p : c.others) {
      if (!is_sente_piece(p.code) || c.expected.count({p.col, p.row}) != 0) continue;
      if (std::string(c.name).find("ray") != std::string::npos) {
        EXPECT_EQ(gs->input.reach_map[gs_index(p.col, p.row)], 1) << c.name << ": a ray reaches its blocker";
      }
    }
  }
}
