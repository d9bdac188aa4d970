// Perft over the search's generators: the published move counts of two positions, reached with either
// side's generator table (the position rotated 180 degrees with the owners exchanged reaches the other).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/legality.h"
#include "core/sfen.h"
#include "search/engine.h"
#include "search/perft.h"
#include "support/positions.h"

using namespace halvane;

namespace {

// The standard start position as published, independent of the program's own table.
constexpr std::string_view STARTPOS_SFEN = "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1";
constexpr std::string_view MIDGAME_SFEN = "l6nl/5+P1gk/2np1S3/p1p4Pp/3P2Sp1/1PPb2P1P/P5GS1/R8/LN4bKL w RGgsn5p 1";

using halvane::testing::make_engine;
using halvane::testing::parse;

// Loads the position as it stands: black's pieces are SENTE's, so black to move runs SENTE's table.
int load_untouched(Engine& e, const SfenPosition& pos) {
  uint8_t board[BOARD_CELLS];
  clear_board(board);
  for (int i = 0; i < 81; ++i) board[cell_of(i % 9, i / 9)] = pos.board[i];
  perft_load(e, board, pos.hand[BLACK], pos.hand[WHITE]);
  return pos.side_to_move == BLACK ? SENTE : GOTE;
}

struct PerftRow {
  std::string_view sfen;
  std::vector<uint64_t> counts;   // depth 1, 2, ...
};

const PerftRow ROWS[] = {
    {STARTPOS_SFEN, {30, 900, 25470, 719731}},
    {MIDGAME_SFEN, {207, 28684, 4809015}},
};

}  // namespace

// Each count, after which the position and the effect maps are as perft found them.
TEST(Perft, PublishedCountsWithBothSidesTables) {
  auto e = make_engine(STRENGTH_GEKIKARA);
  for (const PerftRow& row : ROWS) {
    SfenPosition pos = parse(row.sfen);
    for (int rotated = 0; rotated < 2; ++rotated) {
      if (rotated) rotate_position(pos);
      const int side = load_untouched(*e, pos);
      const EnginePosition before = e->pos;
      auto maps = std::make_unique<EffectMaps>(e->effects);
      for (size_t d = 0; d < row.counts.size(); ++d) {
        const std::string what = std::string(row.sfen) + (side == GOTE ? " with GOTE's table" : " with SENTE's table") +
                                 ", depth " + std::to_string(d + 1);
        EXPECT_EQ(perft(*e, side, static_cast<int>(d + 1)), row.counts[d]) << what;
        EXPECT_TRUE(std::memcmp(before.board, e->pos.board, sizeof before.board) == 0 &&
                    std::memcmp(before.hand, e->pos.hand, sizeof before.hand) == 0) << what;
        EXPECT_TRUE(std::memcmp(maps->count, e->effects.count, sizeof maps->count) == 0 &&
                    std::memcmp(maps->rays, e->effects.rays, sizeof maps->rays) == 0 &&
                    std::memcmp(maps->delta_count, e->effects.delta_count, sizeof maps->delta_count) == 0) << what;
      }
    }
  }
}

namespace {

struct Divide {
  std::vector<std::pair<std::string, uint64_t>> lines;
};

void collect(void* context, const MoveRecord& move, uint64_t count) {
  static_cast<Divide*>(context)->lines.emplace_back(move_to_usi(move), count);
}

}  // namespace

// The divide that `go perft` prints: every root move once, in the position's own coordinates, readable
// as a USI move of that position, and the counts adding up to the total.
TEST(Perft, DivideReportsEachRootMoveInThePositionsCoordinates) {
  auto e = make_engine(STRENGTH_GEKIKARA);
  for (const PerftRow& row : ROWS) {
    SfenPosition pos = parse(row.sfen);
    Divide divide;
    const uint64_t total = perft_position(*e, pos, 2, collect, &divide);
    EXPECT_EQ(total, row.counts[1]) << row.sfen;
    EXPECT_EQ(divide.lines.size(), row.counts[0]) << row.sfen;
    uint64_t sum = 0;
    std::set<std::string> seen;
    for (const auto& [text, count] : divide.lines) {
      sum += count;
      EXPECT_TRUE(seen.insert(text).second) << text << " reported twice";
      MoveRecord m;
      std::string error;
      EXPECT_TRUE(parse_usi_move(text, pos, m, error)) << text << ": " << error;
    }
    EXPECT_EQ(sum, total) << row.sfen;
  }
  // Startpos: black's first moves are reported as black's, e.g. 7g7f and the rook's 2h1h.
  Divide divide;
  perft_position(*e, parse(STARTPOS_SFEN), 1, collect, &divide);
  std::set<std::string> moves;
  for (const auto& line : divide.lines) moves.insert(line.first);
  for (const char* expected : {"7g7f", "2h1h", "5i4h", "1g1f", "9i9h"})
    EXPECT_TRUE(moves.count(expected)) << expected;
}

// Pawn-drop mate is refused, a pawn drop that checks but does not mate is counted.
TEST(Perft, PawnDropMateIsNotAMove) {
  auto e = make_engine(STRENGTH_GEKIKARA);
  struct Row {
    const char* sfen;
    const char* drop;
    bool legal;
  } rows[] = {
      // White king in the corner, boxed in by its own knight and silver; the black gold guards 9b.
      {"kn7/1s7/G8/9/9/9/9/9/8K b P 1", "P*9b", false},
      // The same with the gold gone: the king takes the pawn.
      {"kn7/1s7/9/9/9/9/9/9/8K b P 1", "P*9b", true},
      // A lance from afar guards the pawn: mate again.
      {"kn7/1s7/9/9/L8/9/9/9/8K b P 1", "P*9b", false},
      // The lance guards, but with the silver gone the king steps out to 8b.
      {"kn7/2s6/9/9/L8/9/9/9/8K b P 1", "P*9b", true},
  };
  for (const Row& row : rows) {
    SfenPosition pos = parse(row.sfen);
    Divide divide;
    perft_position(*e, pos, 1, collect, &divide);
    bool found = false;
    for (const auto& line : divide.lines) found = found || line.first == row.drop;
    EXPECT_EQ(found, row.legal) << row.sfen << " " << row.drop;
    MoveRecord drop;
    std::string error;
    ASSERT_TRUE(parse_usi_move(row.drop, pos, drop, error)) << error;
    EXPECT_EQ(judge_move(pos, drop), row.legal ? MOVE_OK : MOVE_PAWN_DROP_MATE) << row.sfen << " by the record rules";
  }
}

// The rules records are held to agree with the engine's generators: the same legal moves on the published
// positions and along random games, and the same leaf counts.
TEST(Perft, RecordRulesAgreeWithTheEngine) {
  auto e = make_engine(STRENGTH_GEKIKARA);
  std::vector<SfenPosition> positions;
  for (const PerftRow& row : ROWS) positions.push_back(parse(row.sfen));
  std::mt19937 rng(3);
  for (int game = 0; game < 4; ++game) halvane::testing::random_game(rng, 150, positions);
  for (const SfenPosition& pos : positions) {
    Divide divide;
    perft_position(*e, pos, 1, collect, &divide);
    std::set<std::string> engine, rules;
    for (const auto& line : divide.lines) engine.insert(line.first);
    for (const MoveRecord& m : legal_moves(pos)) rules.insert(move_to_usi(m));
    EXPECT_EQ(rules, engine) << format_sfen(pos);
  }
  EXPECT_EQ(count_legal_leaves(parse(STARTPOS_SFEN), 3), 25470);
  EXPECT_EQ(count_legal_leaves(parse(MIDGAME_SFEN), 2), 28684);
}
