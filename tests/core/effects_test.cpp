// Effect maps: the incremental maps equal a fresh rebuild after every make of long random games, every
// undo restores count, rays and the ply's deltas exactly, the rebuild agrees with a naive attack count,
// the threat code and initial-position facts come out as the program relies on, and the quiet variants
// write what the threat-reading ones write.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/effects.h"
#include "core/sfen.h"

using namespace halvane;

namespace {

EnginePosition position_from_sfen(const std::string& sfen) {
  SfenPosition sp;
  std::string error;
  EXPECT_TRUE(parse_sfen(sfen, sp, error)) << sfen << ": " << error;
  // Kept as written (no turn), so "b" positions are tested as well as "w" ones.
  EnginePosition pos{};
  clear_board(pos.board);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) pos.board[cell_of(col, row)] = sp.board[row * 9 + col];
  std::memcpy(pos.hand[SENTE], sp.hand[BLACK], 8);
  std::memcpy(pos.hand[GOTE], sp.hand[WHITE], 8);
  fill_king_stacks(pos);
  return pos;
}

// How each kind moves in (column, row) steps for SENTE, written independently of the engine's tables.
struct Reach {
  int dc, dr;
  bool slide;
};
std::vector<Reach> reach_of(int code) {
  const std::vector<Reach> gold = {{-1, -1, false}, {0, -1, false}, {1, -1, false},
                                   {-1, 0, false},  {1, 0, false},  {0, 1, false}};
  const std::vector<Reach> diag = {{-1, -1, true}, {1, -1, true}, {-1, 1, true}, {1, 1, true}};
  const std::vector<Reach> orth = {{0, -1, true}, {0, 1, true}, {-1, 0, true}, {1, 0, true}};
  std::vector<Reach> r;
  switch (code & 15) {
    case PAWN: r = {{0, -1, false}}; break;
    case LANCE: r = {{0, -1, true}}; break;
    case KNIGHT: r = {{-1, -2, false}, {1, -2, false}}; break;
    case SILVER: r = {{-1, -1, false}, {0, -1, false}, {1, -1, false}, {-1, 1, false}, {1, 1, false}}; break;
    case GOLD: case PRO_PAWN: case PRO_LANCE: case PRO_KNIGHT: case PRO_SILVER: r = gold; break;
    case BISHOP: r = diag; break;
    case ROOK: r = orth; break;
    case KING:
      for (int dc = -1; dc <= 1; ++dc)
        for (int dr = -1; dr <= 1; ++dr)
          if (dc || dr) r.push_back({dc, dr, false});
      break;
    case HORSE: r = diag; r.insert(r.end(), {{0, -1, false}, {0, 1, false}, {-1, 0, false}, {1, 0, false}}); break;
    case DRAGON: r = orth; r.insert(r.end(), {{-1, -1, false}, {1, -1, false}, {-1, 1, false}, {1, 1, false}}); break;
    default: break;
  }
  if (code & GOTE_BIT)
    for (Reach& m : r) m.dc = -m.dc, m.dr = -m.dr;
  return r;
}

int ray_bit(int dc, int dr) {
  if (dc == 0) return dr < 0 ? RAY_N : RAY_S;
  if (dr == 0) return dc < 0 ? RAY_W : RAY_E;
  if (dr < 0) return dc < 0 ? RAY_NW : RAY_NE;
  return dc < 0 ? RAY_SW : RAY_SE;
}

// Counts and ray bits on the 81 squares by brute force.
void naive_effects(const EnginePosition& pos, int count[2][81], int rays[2][81]) {
  std::memset(count, 0, sizeof(int) * 2 * 81);
  std::memset(rays, 0, sizeof(int) * 2 * 81);
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int code = pos.board[cell_of(col, row)];
      if (!is_piece(code)) continue;
      const int side = side_of(code);
      for (const Reach& m : reach_of(code)) {
        int c = col + m.dc, r = row + m.dr;
        while (c >= 0 && c < 9 && r >= 0 && r < 9) {
          ++count[side][r * 9 + c];
          if (!m.slide) break;
          rays[side][r * 9 + c] |= ray_bit(m.dc, m.dr);
          if (pos.board[cell_of(c, r)] != SQ_EMPTY) break;
          c += m.dc, r += m.dr;
        }
      }
    }
}

struct TestMove {
  int from;   // -1: a drop
  int to;
  int piece;  // code before (the dropped code for a drop)
  int after;
};

// Every pseudo-legal move of `side`, never capturing a king: board moves with and without promotion
// where the piece may promote, and drops of every kind in hand on every empty square.
std::vector<TestMove> pseudo_moves(const EnginePosition& pos, int side) {
  std::vector<TestMove> moves;
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      const int from = cell_of(col, row);
      const int code = pos.board[from];
      if (!is_piece(code) || side_of(code) != side) continue;
      for (const Reach& m : reach_of(code)) {
        int c = col + m.dc, r = row + m.dr;
        while (c >= 0 && c < 9 && r >= 0 && r < 9) {
          const int to = cell_of(c, r);
          const int target = pos.board[to];
          if (is_piece(target) && (side_of(target) == side || (target & 15) == KING)) break;
          moves.push_back({from, to, code, code});
          const bool zone = side == SENTE ? (r <= 2 || row <= 2) : (r >= 6 || row >= 6);
          if (zone && can_promote(code) && !(code & PROMOTED_BIT))
            moves.push_back({from, to, code, code | PROMOTED_BIT});
          if (!m.slide || target != SQ_EMPTY) break;
          c += m.dc, r += m.dr;
        }
      }
    }
  for (int kind = PAWN; kind <= ROOK; ++kind) {
    if (pos.hand[side][kind] == 0) continue;
    const int code = kind | (side == GOTE ? GOTE_BIT : 0);
    for (int cell = FIRST_CELL; cell <= LAST_CELL; ++cell)
      if (pos.board[cell] == SQ_EMPTY) moves.push_back({-1, cell, code, code});
  }
  return moves;
}

// Makes and takes back a TestMove at `ply` through the engine's make/undo protocol.
void make(EffectMaps& fx, EnginePosition& pos, int ply, const TestMove& m) {
  if (m.from < 0) {
    make_drop(fx, pos, ply, 0, m.to, m.piece);
  } else {
    make_board_move(fx, pos, ply, 0, m.from, m.to, m.after);
  }
}
void undo(EffectMaps& fx, EnginePosition& pos, int ply, const TestMove& m, int captured) {
  if (m.from < 0) {
    undo_drop(fx, pos, ply, m.to);
  } else {
    undo_board_move(fx, pos, ply, m.from, m.to, m.piece, captured);
  }
}

// Board, hands, counts and rays exactly as they were before a make.
::testing::AssertionResult restored(const EnginePosition& pos, const EffectMaps& fx, const EnginePosition& pos_was,
                                    const EffectMaps& fx_was) {
  if (std::memcmp(pos.board, pos_was.board, BOARD_CELLS) != 0) return ::testing::AssertionFailure() << "board";
  if (std::memcmp(pos.hand, pos_was.hand, sizeof pos.hand) != 0) return ::testing::AssertionFailure() << "hands";
  if (std::memcmp(fx.count, fx_was.count, sizeof fx.count) != 0) return ::testing::AssertionFailure() << "count";
  if (std::memcmp(fx.rays, fx_was.rays, sizeof fx.rays) != 0) return ::testing::AssertionFailure() << "rays";
  return ::testing::AssertionSuccess();
}

// The tests' EffectMaps are large (about 140 kB each), so they live on the heap.
std::unique_ptr<EffectMaps> fresh_maps(const EnginePosition& pos) {
  auto fx = std::make_unique<EffectMaps>();
  rebuild_effects(*fx, pos);
  return fx;
}

::testing::AssertionResult maps_equal_rebuild(const EffectMaps& fx, const EnginePosition& pos) {
  auto ref = fresh_maps(pos);
  for (int side = 0; side < 2; ++side)
    for (int cell = 0; cell < BOARD_CELLS; ++cell) {
      if (fx.count[side][cell] != ref->count[side][cell])
        return ::testing::AssertionFailure() << "count[" << side << "][" << cell << "] = " << +fx.count[side][cell]
                                             << ", rebuild says " << +ref->count[side][cell];
      if (fx.rays[side][cell] != ref->rays[side][cell])
        return ::testing::AssertionFailure() << "rays[" << side << "][" << cell << "] = " << +fx.rays[side][cell]
                                             << ", rebuild says " << +ref->rays[side][cell];
    }
  return ::testing::AssertionSuccess();
}

const char* const VARIED_POSITIONS[] = {
    "lnsgkgsnl/1r5b1/ppppppppp/9/9/9/PPPPPPPPP/1B5R1/LNSGKGSNL b - 1",
    // Middlegame: promoted pieces on both sides, sliders on open lines, pieces in hand.
    "ln1g3+Rl/1ks1g4/1ppp2n1p/p3pp1p1/2P3P2/P2BP3P/1PSP1PN2/1K1G1G3/LN5+bL w RSPsp 1",
    // Sliders lined up on one file, one rank and both diagonals, with pieces to block and unblock them.
    "4k4/4l4/2b3B2/9/r1L1P1L1R/9/2p3p2/4N4/4K4 b GSNPgsnp 1",
    // Endgame with many pieces in hand on both sides.
    "8k/9/6PPP/9/9/9/ppp6/9/K8 b RB2G2S2N2L5Prb2g2s2n2l5p 1",
};

}  // namespace

TEST(EffectMaps, InitialPositionFacts) {
  EnginePosition pos = position_from_sfen(format_sfen(startpos()));
  auto fx = fresh_maps(pos);
  for (int col = 0; col < 9; ++col) {
    EXPECT_EQ(fx->count[SENTE][cell_of(col, 5)], 1) << "column " << col << ": only its pawn covers row 5";
    EXPECT_EQ(fx->count[GOTE][cell_of(col, 5)], 0) << "column " << col;
    EXPECT_EQ(fx->count[GOTE][cell_of(col, 3)], 1) << "column " << col;
    EXPECT_EQ(fx->count[SENTE][cell_of(col, 3)], 0) << "column " << col;
  }
  // The lance on column 0 reaches (0, 7) and its own pawn on (0, 6), nothing beyond.
  EXPECT_TRUE(fx->rays[SENTE][cell_of(0, 7)] & RAY_N);
  EXPECT_TRUE(fx->rays[SENTE][cell_of(0, 6)] & RAY_N);
  int north_cells = 0;
  for (int cell = 0; cell < BOARD_CELLS; ++cell)
    if (col_of(cell) == 0 && (fx->rays[SENTE][cell] & RAY_N)) ++north_cells;
  EXPECT_EQ(north_cells, 2);
  // The rook's north ray stops on its own pawn at (7, 6).
  EXPECT_TRUE(fx->rays[SENTE][cell_of(7, 6)] & RAY_N);
  EXPECT_FALSE(fx->rays[SENTE][cell_of(7, 5)] & RAY_N);
}

TEST(EffectMaps, RebuildAgreesWithNaiveCountOnEveryPosition) {
  std::mt19937 rng(7);
  for (const char* sfen : VARIED_POSITIONS) {
    EnginePosition pos = position_from_sfen(sfen);
    // The position itself and positions a few random plies on.
    for (int step = 0; step < 40; ++step) {
      auto fx = fresh_maps(pos);
      int count[2][81], rays[2][81];
      naive_effects(pos, count, rays);
      for (int side = 0; side < 2; ++side)
        for (int sq = 0; sq < 81; ++sq) {
          const int cell = cell_of(sq % 9, sq / 9);
          ASSERT_EQ(fx->count[side][cell], count[side][sq]) << sfen << " step " << step << " side " << side << " sq " << sq;
          ASSERT_EQ(fx->rays[side][cell], rays[side][sq]) << sfen << " step " << step << " side " << side << " sq " << sq;
        }
      auto moves = pseudo_moves(pos, step & 1);
      if (moves.empty()) break;
      make(*fx, pos, 0, moves[rng() % moves.size()]);
    }
  }
}

// The central invariant: after every make the maps equal a rebuild; after every undo count, rays and
// every ply's delta_count are exactly what they were.
TEST(EffectMaps, RandomGamesMakeEqualsRebuildAndUndoRestores) {
  std::mt19937 rng(20260);
  int makes = 0;
  for (const char* sfen : VARIED_POSITIONS) {
    EnginePosition pos = position_from_sfen(sfen);
    auto fx = fresh_maps(pos);
    for (int game = 0; game < 12; ++game) {
      struct Made { TestMove m; int captured; };
      std::vector<Made> line;
      std::vector<std::unique_ptr<EffectMaps>> before;
      std::vector<EnginePosition> pos_before;
      const int length = 8 + static_cast<int>(rng() % 23);   // up to ply 30
      for (int ply = 0; ply < length; ++ply) {
        const int side = (ply + game) & 1;
        auto moves = pseudo_moves(pos, side);
        if (moves.empty()) break;
        // A few siblings made and taken back at this ply before the move that stays.
        for (int sibling = 0; sibling < 4; ++sibling) {
          const TestMove m = moves[rng() % moves.size()];
          auto saved = std::make_unique<EffectMaps>(*fx);
          const EnginePosition saved_pos = pos;
          const int captured = pos.board[m.to];
          make(*fx, pos, ply, m);
          ++makes;
          ASSERT_TRUE(maps_equal_rebuild(*fx, pos)) << sfen << " game " << game << " ply " << ply;
          // While the move is made its ply's delta_count holds exactly its count changes; other plies
          // are untouched.
          for (int s = 0; s < 2; ++s) {
            for (int cell = 0; cell < BOARD_CELLS; ++cell)
              ASSERT_EQ(fx->delta_count[s][ply][cell] - saved->delta_count[s][ply][cell],
                        fx->count[s][cell] - saved->count[s][cell])
                  << "side " << s << " cell " << cell << " ply " << ply;
            for (int other = 0; other < DELTA_PLIES; ++other) {
              if (other == ply) continue;
              ASSERT_EQ(std::memcmp(fx->delta_count[s][other], saved->delta_count[s][other],
                                    sizeof fx->delta_count[s][other]), 0);
            }
          }
          undo(*fx, pos, ply, m, captured);
          ASSERT_TRUE(restored(pos, *fx, saved_pos, *saved)) << sfen << " after undo, ply " << ply;
          ASSERT_EQ(std::memcmp(fx->delta_count, saved->delta_count, sizeof fx->delta_count), 0)
              << sfen << " delta_count after undo, ply " << ply;
        }
        const TestMove m = moves[rng() % moves.size()];
        before.push_back(std::make_unique<EffectMaps>(*fx));
        pos_before.push_back(pos);
        line.push_back({m, pos.board[m.to]});
        make(*fx, pos, ply, m);
        ++makes;
        ASSERT_TRUE(maps_equal_rebuild(*fx, pos)) << sfen << " game " << game << " ply " << ply;
      }
      // Take the whole line back, checking each ply on the way.
      for (int ply = static_cast<int>(line.size()) - 1; ply >= 0; --ply) {
        const Made& made = line[ply];
        undo(*fx, pos, ply, made.m, made.captured);
        ASSERT_TRUE(restored(pos, *fx, pos_before[ply], *before[ply])) << sfen << " ply " << ply;
        ASSERT_EQ(std::memcmp(fx->delta_count[0][ply], before[ply]->delta_count[0][ply], sizeof fx->delta_count[0][ply]), 0);
        ASSERT_EQ(std::memcmp(fx->delta_count[1][ply], before[ply]->delta_count[1][ply], sizeof fx->delta_count[1][ply]), 0);
      }
    }
  }
  EXPECT_GT(makes, 2000);
}

// The quiet variants skip only the threat sum: after every move of random games, making it (or adding a
// dropped piece) quietly leaves every byte of the maps, board and hands as the threat-reading call does.
TEST(EffectMaps, QuietMakeWritesExactlyWhatMakeWrites) {
  std::mt19937 rng(4711);
  int compared = 0;
  for (const char* sfen : VARIED_POSITIONS) {
    EnginePosition pos = position_from_sfen(sfen);
    auto fx = fresh_maps(pos);
    for (int ply = 0; ply < 24; ++ply) {
      auto moves = pseudo_moves(pos, ply & 1);
      if (moves.empty()) break;
      for (int sibling = 0; sibling < 6; ++sibling) {
        const TestMove m = moves[rng() % moves.size()];
        const int focus = static_cast<int>(rng() % BOARD_CELLS);
        auto loud = std::make_unique<EffectMaps>(*fx), quiet = std::make_unique<EffectMaps>(*fx);
        EnginePosition loud_pos = pos, quiet_pos = pos;
        if (m.from < 0) {
          for (EnginePosition* q : {&loud_pos, &quiet_pos}) {
            --q->hand[side_of(m.piece)][hand_kind(m.piece)];
            q->board[m.to] = static_cast<uint8_t>(m.piece);
          }
          cut_rays_through(*loud, ply, loud_pos, m.to);
          cut_rays_through(*quiet, ply, quiet_pos, m.to);
          add_piece_effects(*loud, ply, focus, loud_pos, m.to);
          add_piece_effects_quiet(*quiet, ply, focus, quiet_pos, m.to);
        } else {
          make_board_move(*loud, loud_pos, ply, focus, m.from, m.to, m.after);
          make_board_move_quiet(*quiet, quiet_pos, ply, focus, m.from, m.to, m.after);
        }
        ++compared;
        ASSERT_EQ(std::memcmp(loud.get(), quiet.get(), sizeof(EffectMaps)), 0) << sfen << " ply " << ply;
        ASSERT_EQ(std::memcmp(&loud_pos, &quiet_pos, sizeof(EnginePosition)), 0) << sfen << " ply " << ply;
        ASSERT_TRUE(maps_equal_rebuild(*quiet, quiet_pos)) << sfen << " ply " << ply;
      }
      const TestMove m = moves[rng() % moves.size()];
      make(*fx, pos, ply, m);
    }
  }
  EXPECT_GT(compared, 300);
}

// Told without making the move, a zero threat code agrees with the make's for every non-capture, a
// drop's threat code equals the one adding its effects returns, and the other side's count and rays on the
// destination and its count on another cell (the mover's king, or any) are what the make leaves, along
// random games; the maps there write no deltas, so every make / undo also takes that path and must leave
// counts and rays as a rebuild has them.
TEST(EffectMaps, ThreatToldUnmadeAgreesWithMake) {
  std::mt19937 rng(99);
  int zero = 0, positive = 0, drops = 0, captures = 0;
  for (const char* sfen : VARIED_POSITIONS) {
    EnginePosition pos = position_from_sfen(sfen);
    auto fx = fresh_maps(pos);
    fx->delta_plies = 0;
    for (int ply = 0; ply < 30; ++ply) {
      const auto moves = pseudo_moves(pos, ply & 1);
      if (moves.empty()) break;
      for (const TestMove& m : moves) {
        if (m.from < 0) {
          const int focus = FIRST_CELL + static_cast<int>(rng() % (LAST_CELL - FIRST_CELL + 1));
          pos.board[m.to] = static_cast<uint8_t>(m.piece);
          const int told = drop_threat(*fx, pos, m.to, focus);
          cut_rays_through(*fx, ply, pos, m.to);
          const int threat = add_piece_effects(*fx, ply, focus, pos, m.to);
          remove_piece_effects(*fx, ply, pos, m.to);
          extend_rays_through(*fx, ply, pos, m.to);
          pos.board[m.to] = SQ_EMPTY;
          ASSERT_EQ(told, threat) << sfen << " ply " << ply << ": drop of " << m.piece << " on " << m.to;
          ++drops;
          continue;
        }
        const int captured = pos.board[m.to], side = side_of(m.piece), o = 1 - side;
        int king = m.to;
        for (int c = FIRST_CELL; c <= LAST_CELL && (m.piece & 15) != KING; ++c)
          if (pos.board[c] == (KING | (m.piece & GOTE_BIT))) king = c;
        const int cell = rng() % 2 ? king : FIRST_CELL + static_cast<int>(rng() % (LAST_CELL - FIRST_CELL + 1));
        const OtherSideAfter after = captured == SQ_EMPTY
                                         ? other_side_after_quiet_move(*fx, pos, m.from, m.to, m.after, cell)
                                         : other_side_after_capture(*fx, pos, m.from, m.to, cell);
        const bool told = captured == SQ_EMPTY && quiet_move_threat_is_zero(*fx, pos, m.from, m.to, m.after);
        const int threat = make_board_move(*fx, pos, ply, 0, m.from, m.to, m.after);
        const OtherSideAfter made{fx->count[o][m.to], fx->rays[o][m.to], fx->count[o][cell]};
        undo_board_move(*fx, pos, ply, m.from, m.to, m.piece, captured);
        const std::string what = std::string(sfen) + " ply " + std::to_string(ply) + ": " + std::to_string(m.from) +
                                 " to " + std::to_string(m.to) + ", cell " + std::to_string(cell);
        ASSERT_TRUE(after.count_to == made.count_to && after.rays_to == made.rays_to &&
                    after.count_cell == made.count_cell) << what;
        if (captured != SQ_EMPTY && ++captures) continue;
        ASSERT_EQ(told, threat == 0) << what;
        ++(threat == 0 ? zero : positive);
      }
      ASSERT_TRUE(maps_equal_rebuild(*fx, pos)) << sfen << " ply " << ply;
      make(*fx, pos, ply, moves[rng() % moves.size()]);
    }
  }
  EXPECT_GT(zero, 100);
  EXPECT_GT(positive, 100);
  EXPECT_GT(drops, 1000);
  EXPECT_GT(captures, 100);
}

namespace {

struct Placed {
  int col, row, code;
};

EnginePosition board_with(std::initializer_list<Placed> pieces) {
  EnginePosition pos{};
  clear_board(pos.board);
  for (const Placed& p : pieces) pos.board[cell_of(p.col, p.row)] = static_cast<uint8_t>(p.code);
  fill_king_stacks(pos);
  return pos;
}

// Adds the piece on (col, row) to maps built without it, as a drop would.
int threat_of_adding(EnginePosition pos, int col, int row, int focus) {
  const int cell = cell_of(col, row);
  const int code = pos.board[cell];
  pos.board[cell] = SQ_EMPTY;
  auto fx = fresh_maps(pos);
  pos.board[cell] = static_cast<uint8_t>(code);
  cut_rays_through(*fx, 0, pos, cell);
  return add_piece_effects(*fx, 0, focus, pos, cell);
}

}  // namespace

TEST(ThreatCode, TabulatedExamples) {
  // A SENTE silver on (4, 3): its contact cells are (3, 2), (4, 2), (5, 2), (3, 4) and (5, 4). A GOTE gold
  // on (3, 4) attacks none of the others; a GOTE knight on (2, 2) defends the gold and nothing else.
  const int gold_cell = cell_of(3, 4);
  const Placed silver{4, 3, SILVER}, gold{3, 4, GOLD + GOTE_BIT}, knight{2, 2, KNIGHT + GOTE_BIT};
  // A SENTE rook in the corner (8, 0): north and east rays end on walls at once; west ends on its own
  // gold on (5, 0); south on a GOTE pawn on (8, 3) that a GOTE silver on (7, 2) defends.
  const Placed rook{8, 0, ROOK}, own_gold{5, 0, GOLD}, pawn{8, 3, PAWN + GOTE_BIT},
      guard{7, 2, SILVER + GOTE_BIT};
  // A GOTE knight far off the SENTE knight's contact cells: enemy effects elsewhere change nothing.
  const Placed watcher{6, 2, KNIGHT + GOTE_BIT};
  struct Row {
    const char* what;
    EnginePosition pos;
    Placed added;
    int focus;
    int expected;
  } rows[] = {
      {"silver on undefended gold on focus", board_with({silver, gold}), silver, gold_cell, 192 + 128 + 64},
      {"silver on defended gold on focus", board_with({silver, gold, knight}), silver, gold_cell, 400},
      {"silver on undefended gold elsewhere", board_with({silver, gold}), silver, 0, 256},
      {"silver on defended gold elsewhere", board_with({silver, gold, knight}), silver, 0, 272},
      {"rook on defended pawn, own gold, two walls", board_with({rook, own_gold, pawn, guard}), rook, 0, 208},
      {"rook with its own gold's cell attacked", board_with({rook, own_gold, pawn, guard, {5, 1, GOLD + GOTE_BIT}}),
       rook, 0, 208 + 16},
      {"knight whose jumps land on walls", board_with({{4, 1, KNIGHT}, watcher}), {4, 1, KNIGHT}, 0, 0},
            // The king itself, plus 16 for each of the four empty contact cells beside it that it covers.
      {"gold next to the enemy king", board_with({{4, 0, KING + GOTE_BIT}, {4, 1, GOLD}}), {4, 1, GOLD}, 0,
       4096 + 4 * 16},
  };
  for (const Row& r : rows)
    EXPECT_EQ(threat_of_adding(r.pos, r.added.col, r.added.row, r.focus), r.expected) << r.what;

  // Anything beside the enemy king scores at least 4096, whatever else it touches.
  EnginePosition crowded = board_with({{4, 0, KING + GOTE_BIT}, {3, 0, ROOK + GOTE_BIT}, {4, 1, SILVER}, {5, 1, PAWN}});
  EXPECT_GE(threat_of_adding(crowded, 4, 1, cell_of(3, 0)), 4096);
}

TEST(ThreatCode, KnightOntoWallCountsTheWallOnly) {
  EnginePosition pos = board_with({{0, 1, KNIGHT}});
  auto fx = fresh_maps(pos);
  const int cell = cell_of(0, 1);
  remove_piece_effects(*fx, 3, pos, cell);
  EXPECT_EQ(fx->count[SENTE][cell - 33], 0);
  EXPECT_EQ(add_piece_effects(*fx, 3, 0, pos, cell), 0) << "both jumps land on walls";
  EXPECT_EQ(fx->count[SENTE][cell - 33], 1);
  EXPECT_EQ(fx->count[SENTE][cell - 31], 1);
  EXPECT_EQ(fx->delta_count[SENTE][3][cell - 31], 0) << "removed then added at ply 3";
  EXPECT_EQ(fx->cur_ply, 3);
}

TEST(EffectMaps, RaysReopenedThroughTheVacatedSquare) {
  struct Row {
    const char* what;
    EnginePosition pos;
    int from, to, after;
    int watched_cell;      // a cell the watching slider must reach after the move
    int side, bit;         // the watcher's side and ray bit
    int beyond;            // a cell beyond the destination the watcher must not reach
  } rows[] = {
      // A SENTE lance behind a SENTE rook that captures up the file: the lance's ray runs through the
      // rook's old square and stops on the destination.
      {"friendly lance behind a capturing rook", board_with({{4, 8, LANCE}, {4, 6, ROOK}, {4, 2, PAWN + GOTE_BIT}}),
       cell_of(4, 6), cell_of(4, 2), DRAGON, cell_of(4, 3), SENTE, RAY_N, cell_of(4, 1)},
      // A GOTE rook watching down the file through a SENTE silver that captures diagonally.
      {"enemy rook through a capturing silver", board_with({{4, 0, ROOK + GOTE_BIT}, {4, 4, SILVER}, {3, 3, PAWN + GOTE_BIT}}),
       cell_of(4, 4), cell_of(3, 3), SILVER, cell_of(4, 8), GOTE, RAY_S, -1},
      // A rook moving away along its own line from a rook of the same side watching from behind: the
      // watcher's ray reaches the moved rook and no further.
      {"rook moving along a watched line", board_with({{0, 4, ROOK}, {3, 4, ROOK}}),
       cell_of(3, 4), cell_of(6, 4), ROOK, cell_of(6, 4), SENTE, RAY_E, cell_of(7, 4)},
  };
  for (const Row& r : rows) {
    EnginePosition pos = r.pos;
    auto fx = fresh_maps(pos);
    make_board_move(*fx, pos, 5, 0, r.from, r.to, r.after);
    EXPECT_TRUE(maps_equal_rebuild(*fx, pos)) << r.what;
    EXPECT_TRUE(fx->rays[r.side][r.from] & r.bit) << r.what << ": the vacated square";
    EXPECT_TRUE(fx->rays[r.side][r.watched_cell] & r.bit) << r.what;
    if (r.beyond >= 0) {
      // Beyond the destination only the moved piece's own ray may travel that way.
      int expected = 0;
      if (r.after == ROOK || r.after == DRAGON) expected = r.bit;
      EXPECT_EQ(fx->rays[r.side][r.beyond] & r.bit, expected) << r.what << ": beyond the destination";
      EXPECT_EQ(fx->count[r.side][r.beyond], 1) << r.what << ": only the moved piece reaches beyond";
    }
  }
}
