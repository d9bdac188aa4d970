// Nodes below the root on random and real positions: every node leaves the position and the effect maps
// as it found them, ends with a value its pass bounds, and gives the same whether its moves' replies run
// on the moves made or not; the remembered-move filter; the move-to-front list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "kif/kif_read.h"
#include "search/search.h"
#include "support/corpus.h"
#include "support/kif_text.h"
#include "support/positions.h"

using namespace halvane;
using namespace halvane::testing;

namespace {

// Sets the Engine up as if a node of ply p were entered from a parent that cannot cut it.
void enter_at(Engine& e, int p) {
  std::memcpy(e.ply_mode, e.ply_mode_base, sizeof e.ply_mode);
  e.depth_limit = e.base_depth;
  fill_king_stacks(e.pos);
  clear_killers(e, MAX_PLY);
  for (int q = -1; q < p; ++q) last_to_sq(e, q) = 0;
  e.ply_eval[p - 1] = 0;
  e.ply_best[p - 1] = p % 2 == 0 ? SENTE_NOTHING_YET : GOTE_NOTHING_YET;
  e.ply = p;
  e.game_ply = 40;
}

bool same_maps(const EffectMaps& a, const EffectMaps& b) {
  return std::memcmp(a.count, b.count, sizeof a.count) == 0 && std::memcmp(a.rays, b.rays, sizeof a.rays) == 0 &&
         std::memcmp(a.delta_count, b.delta_count, sizeof a.delta_count) == 0;
}

}  // namespace

// Nodes at positions along random and real games, six and five plies above each level's depth (2 and 3 at
// the weakest), leave the position and maps as they found them and end with a value their pass bounds.
// A reply that reads only the recapture cells or the destination, run on the move not made where the ply
// writes no deltas, gives the value, remembered moves and nodes of every move made (all plies writing them).
TEST(Nodes, RandomAndRealPositionsUnchangedAndUnmadeRepliesAsMade) {
  std::mt19937 rng(7);
  std::vector<SfenPosition> positions;
  for (int game = 0; game < 6; ++game) random_game(rng, 80, positions);
  const std::filesystem::path corpus = test_support::corpus_path("kif");
  const bool real = std::filesystem::exists(corpus);
  if (!real) std::printf("shared corpus not found at %s: random games only\n", corpus.c_str());
  GameRecord record;
  for (const auto& entry : real ? std::filesystem::directory_iterator(corpus) : std::filesystem::directory_iterator()) {
    if (read_kif(kif_test::read_file(entry.path()), record).status != KIF_READ_OK) continue;
    if (format_sfen(record.start) != format_sfen(startpos())) continue;   // even games only
    const std::vector<int> line = line_from(record, 0);
    for (size_t k = 1; k < line.size(); ++k)
      if (k % 7 == 4) positions.push_back(position_at(record, line[k]));
  }
  auto before_fx = std::make_unique<EffectMaps>();
  int searched = 0;
  for (const Strength* level : STRENGTHS) {
    auto e = make_engine(*level);
    for (size_t n = 0; n < 2 * positions.size(); n += 3) {
      // The side to move is the computer at even plies (a GOTE node) and the human at odd ones.
      const int p = std::max(2, level->base_depth - 6) + static_cast<int>(n % 2);
      SfenPosition pos = positions[n / 2];
      if ((pos.side_to_move == WHITE) != (p % 2 == 0)) rotate_position(pos);
      // A previous move that landed somewhere: the recapture plies look at it.
      const int last_to = cell_of(rng() % 9, rng() % 9);
      uint64_t nodes[2];
      int best[2];
      std::vector<int> killers[2];
      for (int made = 0; made < 2; ++made) {
        load_untouched(*e, pos);
        enter_at(*e, p);
        e->effects.delta_plies = made ? DELTA_PLIES : delta_plies_read(*e);
        last_to_sq(*e, p - 1) = last_to;
        const EnginePosition before = e->pos;
        *before_fx = e->effects;
        const uint64_t nodes_before = e->nodes;
        if (p % 2 == 0) gote_node(*e); else sente_node(*e);
        nodes[made] = e->nodes - nodes_before;
        best[made] = e->ply_best[p];
        killers[made].assign(&e->killers[0][0][0], &e->killers[0][0][0] + sizeof e->killers / sizeof(int));
        EXPECT_EQ(e->ply, p);
        EXPECT_EQ(std::memcmp(before.board, e->pos.board, sizeof before.board), 0) << format_sfen(pos);
        EXPECT_EQ(std::memcmp(before.hand, e->pos.hand, sizeof before.hand), 0) << format_sfen(pos);
        EXPECT_TRUE(same_maps(*before_fx, e->effects)) << format_sfen(pos);
        // The pass bounds every node: nothing stays at the start value.
        if (p % 2 == 0) EXPECT_LT(e->ply_best[p], GOTE_NOTHING_YET) << format_sfen(pos);
        else EXPECT_GT(e->ply_best[p], SENTE_NOTHING_YET) << format_sfen(pos);
      }
      const std::string where = std::string(level->name) + " ply " + std::to_string(p) + " " + format_sfen(pos);
      ASSERT_EQ(best[0], best[1]) << where;
      ASSERT_EQ(nodes[0], nodes[1]) << where;
      ASSERT_TRUE(killers[0] == killers[1]) << "remembered moves, " << where;
      ++searched;
      if (::testing::Test::HasFailure()) return;
    }
  }
  EXPECT_GT(searched, 500);
}

TEST(Nodes, RememberedMovesAreNotSearchedTwice) {
  // A SENTE node at ply 1 whose replies end at depth 2: each searched move or drop enters one node.
  auto e = make_engine(STRENGTH_CHUUKARA);
  SfenPosition pos = parse("4k4/9/9/9/9/9/9/4R4/4K4 b G 1");
  load_untouched(*e, pos);
  enter_at(*e, 1);
  e->depth_limit = 2;
  e->ply_best[1] = SENTE_NOTHING_YET;
  const int drop_cell = cell_of(4, 1);        // G*5b: checks the king, so it is searched
  auto nodes_for_drop = [&] {
    const uint64_t n0 = e->nodes;
    --e->pos.hand[SENTE][GOLD];
    e->pos.board[drop_cell] = GOLD;
    last_to_sq(*e, 1) = drop_cell;
    try_drop(*e, drop_cell);
    e->pos.board[drop_cell] = SQ_EMPTY;
    ++e->pos.hand[SENTE][GOLD];
    return e->nodes - n0;
  };
  EXPECT_EQ(nodes_for_drop(), 1u);
  remember_drop(*e, 1, drop_cell, GOLD);
  EXPECT_EQ(nodes_for_drop(), 0u) << "the remembered drop is skipped";
  clear_killers(*e, MAX_PLY);
  remember_drop(*e, 1, drop_cell, SILVER);
  EXPECT_EQ(nodes_for_drop(), 1u) << "a different piece on the same cell is not";

  // The rook's move 5h5b: skipped when remembered with the same rays on the destination.
  const int from = cell_of(4, 7), to = cell_of(4, 1);
  auto nodes_for_move = [&] {
    const uint64_t n0 = e->nodes;
    try_move(*e, from, ROOK, to, ROOK + PROMOTED_BIT, SQ_EMPTY);
    return e->nodes - n0;
  };
  clear_killers(*e, MAX_PLY);
  EXPECT_EQ(nodes_for_move(), 1u);
  remember_board_move(*e, 1, from, ROOK, to, ROOK + PROMOTED_BIT, SQ_EMPTY, e->effects.rays[SENTE][to]);
  EXPECT_EQ(nodes_for_move(), 0u);
  clear_killers(*e, MAX_PLY);
  remember_board_move(*e, 1, from, ROOK, to, ROOK + PROMOTED_BIT, SQ_EMPTY, e->effects.rays[SENTE][to] ^ RAY_E);
  EXPECT_EQ(nodes_for_move(), 1u) << "other rays on the destination: the line changed";
}

TEST(Nodes, RememberMoveToFront) {
  auto e = make_engine();
  const int ply = 1;   // 20 slots
  ASSERT_EQ(e->killer_width[ply], 20);
  auto slot_cell = [&](int slot) { return cell_of(e->killers[K_TO_COL][ply][slot], e->killers[K_TO_ROW][ply][slot]); };
  // 21 distinct drops onto cells 0..20 of the board; the first falls off the end.
  std::vector<int> cells;
  for (int i = 0; i < 21; ++i) cells.push_back(cell_of(i % 9, i / 9));
  for (int cell : cells) remember_drop(*e, ply, cell, PAWN);
  for (int slot = 0; slot < 20; ++slot) EXPECT_EQ(slot_cell(slot), cells[20 - slot]) << "slot " << slot;
  // Remembering a listed move again moves it to the front; the ones before it shift down by one.
  remember_drop(*e, ply, cells[10], PAWN);
  EXPECT_EQ(slot_cell(0), cells[10]);
  EXPECT_EQ(slot_cell(1), cells[20]);
  EXPECT_EQ(slot_cell(10), cells[11]);
  EXPECT_EQ(slot_cell(11), cells[9]);
  EXPECT_EQ(slot_cell(19), cells[1]);
  EXPECT_EQ(e->killers[K_FROM_COL][ply][0], -1);
  EXPECT_EQ(e->killers[K_CAPTURED][ply][0], SQ_EMPTY);
  // A board move stores its columns, rows, codes and rays.
  remember_board_move(*e, ply, cell_of(1, 7), ROOK, cell_of(1, 1), ROOK + 8, SILVER + GOTE_BIT, RAY_N);
  const int want[KILLER_FIELDS] = {1, 7, ROOK, 1, 1, ROOK + 8, SILVER + GOTE_BIT, RAY_N};
  for (int f = 0; f < KILLER_FIELDS; ++f) EXPECT_EQ(e->killers[f][ply][0], want[f]) << "field " << f;
  // Width 1 (ply 10 and beyond) keeps the last one only.
  remember_drop(*e, 12, cells[0], PAWN);
  remember_drop(*e, 12, cells[1], PAWN);
  EXPECT_EQ(cell_of(e->killers[K_TO_COL][12][0], e->killers[K_TO_ROW][12][0]), cells[1]);
  EXPECT_EQ(e->killers[K_TO_COL][12][1], 0);
}

TEST(KingSafety, OffEarlyAndTurningNegatesIt) {
  std::mt19937 rng(11);
  std::vector<SfenPosition> positions;
  random_game(rng, 100, positions);
  auto e = make_engine();
  int nonzero = 0;
  for (size_t n = 0; n < positions.size(); n += 3) {
    SfenPosition pos = positions[n];
    load_untouched(*e, pos);
    e->ply = 3;
    e->game_ply = 22;
    EXPECT_EQ(king_safety(*e), 0) << "off while game_ply is 22 or less";
    e->game_ply = 23;
    const int value = king_safety(*e);
    rotate_position(pos);
    load_untouched(*e, pos);
    e->ply = 3;
    const int rotated = king_safety(*e);
    // The sides' roles exchange exactly; single-precision rounding may differ in the last unit.
    EXPECT_LE(std::abs(value + rotated), 1) << format_sfen(pos);
    nonzero += value != 0;
  }
  EXPECT_GT(nonzero, 10);
  // Only kings, far apart: each king's own eight neighbours count for its side.
  load_untouched(*e, parse("k8/9/9/9/9/9/9/9/8K b - 1"));
  e->ply = 3;
  e->game_ply = 30;
  EXPECT_EQ(king_safety(*e), 0) << "two lone kings in opposite corners balance exactly";
  // Black's king right under White's in the corner: Black's five neighbours against White's three, all
  // of them next to both kings, so Black's effects outweigh.
  load_untouched(*e, parse("k8/K8/9/9/9/9/9/9/9 b - 1"));
  e->ply = 3;
  EXPECT_GT(king_safety(*e), 0);
}

TEST(Nodes, RecapturePliesScoreTheExchange) {
  // Middle strength: ply 8 searches only the computer's recaptures, ply 9 scores the human's.
  struct Row {
    const char* what;
    const char* sfen;   // white (the computer) to move; the human's last move landed on 5e
    int expected;
  } rows[] = {
      {"pawn takes a silver the gold defends", "k8/9/9/4p4/4S4/4G4/9/9/8K w - 1", -810 + 100},
      {"pawn takes an undefended silver", "k8/9/9/4p4/4S4/9/9/9/8K w - 1", -810},
      {"pawn and silver both recapture: the better exchange counts", "k8/9/9/3sp4/4S4/4G4/9/9/8K w - 1",
       -810 + 100},
      {"a knight recaptures without promoting: +15", "k8/9/3n5/9/4S4/4G4/9/9/8K w - 1", -810 + 15 + 600},
      {"nothing attacks the piece: no recapture", "k8/9/9/9/4S4/9/9/9/8K w - 1", 0},
      {"the human left his king en prise", "k8/9/9/4p4/4K4/9/9/9/9 w - 1", 8 * 5000 - 300000},
  };
  for (const Row& row : rows) {
    auto e = make_engine(STRENGTH_KARAKUCHI);
    load_untouched(*e, parse(row.sfen));
    enter_at(*e, 8);
    last_to_sq(*e, 7) = cell_of(4, 4);
    gote_node(*e);
    EXPECT_EQ(e->ply_best[8], row.expected) << row.what;
  }
}

TEST(Nodes, SelectivePliesSearchOnlyInterestingMoves) {
  // Weakest strength: ply 2 uses test A, ply 4 test B. The reply is one node (depth ends right below),
  // so the node count says whether a move was searched.
  auto e = make_engine(STRENGTH_CHUUKARA);
  const SfenPosition pos = parse("k8/9/9/9/9/9/9/9/8K w p 1");
  struct Row {
    const char* what;
    int ply;
    int from_col, from_row, to_col, to_row;   // from_col -1: a pawn drop
    uint64_t nodes;
  } rows[] = {
      {"test A: the king's moves are always searched", 2, 0, 0, 1, 0, 1},
      {"test B: a quiet king move touching nothing is not", 4, 0, 0, 1, 0, 0},
      {"a pawn dropped on row 6 is searched", 2, -1, 0, 4, 6, 1},
      {"a pawn dropped on row 3 touching nothing is not", 2, -1, 0, 4, 3, 0},
      {"a check by an undefended pawn on an attacked cell is not", 2, -1, 0, 8, 7, 0},
  };
  for (const Row& row : rows) {
    load_untouched(*e, pos);
    enter_at(*e, row.ply);
    e->depth_limit = row.ply + 1;
    e->ply_best[row.ply] = GOTE_NOTHING_YET;
    const uint64_t before = e->nodes;
    const int to = cell_of(row.to_col, row.to_row);
    if (row.from_col < 0) {
      search_drop(*e, GOTE, to, PAWN);
    } else {
      const int from = cell_of(row.from_col, row.from_row);
      e->pos.king_sq[GOTE][row.ply] = to;
      dispatch_move(*e, from, GOTE_KING, to, GOTE_KING, e->pos.board[to]);
      e->pos.king_sq[GOTE][row.ply] = from;
    }
    EXPECT_EQ(e->nodes - before, row.nodes) << row.what;
  }
}
