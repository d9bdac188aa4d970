// The search's move generators: the order of promoting and plain moves on the rows where it changes, the
// drop rules, the recapture order, and on random positions the full set of moves compared with a
// reference written from the rules (each produced exactly once).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <tuple>
#include <vector>

#include "search/generators.h"
#include "search/recapture.h"
#include "support/positions.h"

using namespace halvane;
using namespace halvane::testing;

namespace {

struct Generated {
  int from, piece, to, piece_after, captured;   // from -1: a drop of `piece`
  friend bool operator==(const Generated&, const Generated&) = default;
  friend auto operator<=>(const Generated&, const Generated&) = default;
};

std::ostream& operator<<(std::ostream& os, const Generated& g) {
  return os << "(" << g.from << " " << g.piece << " -> " << g.to << " " << g.piece_after << " x" << g.captured << ")";
}

// Records everything the generators hand over, in order.
struct Recorder {
  Engine& e;
  int side;
  std::vector<Generated> out;
  bool move(int from, int piece, int to, int piece_after, int captured) {
    out.push_back({from, piece, to, piece_after, captured});
    return false;
  }
  bool drop(int cell, int kind) {
    const int code = e.pos.board[cell] == SQ_EMPTY ? kind + (side == GOTE ? GOTE_BIT : 0) : -1;
    out.push_back({-1, code, cell, code, SQ_EMPTY});
    return false;
  }
};

// What dispatch_move lets through: no wall, no own piece.
bool accepted(const Generated& g, int side) {
  if (g.captured == SQ_WALL) return false;
  return !(is_piece(g.captured) && side_of(g.captured) == side);
}

std::unique_ptr<Engine> engine_with(std::initializer_list<std::tuple<int, int, int>> pieces,
                                    const uint8_t sente_hand[8] = nullptr, const uint8_t gote_hand[8] = nullptr) {
  auto e = make_engine();
  uint8_t board[BOARD_CELLS];
  clear_board(board);
  for (auto [col, row, code] : pieces) board[cell_of(col, row)] = static_cast<uint8_t>(code);
  const uint8_t none[8] = {};
  perft_load(*e, board, sente_hand ? sente_hand : none, gote_hand ? gote_hand : none);
  return e;
}

template <int S>
std::vector<Generated> generate_piece(Engine& e, int col, int row) {
  Recorder rec{e, S, {}};
  const int cell = cell_of(col, row);
  const int code = e.pos.board[cell];
  GENERATORS<S, Recorder>[code & 15](rec, cell, code, row);
  std::vector<Generated> kept;
  for (const Generated& g : rec.out)
    if (accepted(g, S)) kept.push_back(g);
  return kept;
}

// (col, row, promoted?) in generation order.
using Targets = std::vector<std::tuple<int, int, bool>>;

Targets targets_of(const std::vector<Generated>& moves) {
  Targets t;
  for (const Generated& g : moves) t.emplace_back(col_of(g.to), row_of(g.to), g.piece_after != g.piece);
  return t;
}

constexpr int G = GOTE_BIT;

}  // namespace

TEST(Generators, PromotionOrderByRow) {
  struct Row {
    const char* what;
    int side, code, col, row;
    Targets expected;
  } rows[] = {
      {"gote pawn row 7: promoted only", GOTE, PAWN + G, 4, 7, {{4, 8, true}}},
      {"gote pawn row 6", GOTE, PAWN + G, 4, 6, {{4, 7, true}, {4, 7, false}}},
      {"gote pawn row 5", GOTE, PAWN + G, 4, 5, {{4, 6, true}, {4, 6, false}}},
      {"gote pawn row 4: plain only", GOTE, PAWN + G, 4, 4, {{4, 5, false}}},
      {"sente pawn row 1: promoted only", SENTE, PAWN, 4, 1, {{4, 0, true}}},
      {"sente pawn row 3", SENTE, PAWN, 4, 3, {{4, 2, true}, {4, 2, false}}},
      {"sente pawn row 4", SENTE, PAWN, 4, 4, {{4, 3, false}}},
      {"gote lance", GOTE, LANCE + G, 0, 4,
       {{0, 5, false}, {0, 6, true}, {0, 6, false}, {0, 7, true}, {0, 7, false}, {0, 8, true}}},
      {"sente lance from the zone", SENTE, LANCE, 8, 2, {{8, 1, true}, {8, 1, false}, {8, 0, true}}},
      {"gote knight row 5: promoted only", GOTE, KNIGHT + G, 4, 5, {{3, 7, true}, {5, 7, true}}},
      {"gote knight row 6: promoted only", GOTE, KNIGHT + G, 4, 6, {{3, 8, true}, {5, 8, true}}},
      {"gote knight row 4", GOTE, KNIGHT + G, 4, 4, {{3, 6, true}, {5, 6, true}, {3, 6, false}, {5, 6, false}}},
      {"gote knight row 3", GOTE, KNIGHT + G, 4, 3, {{3, 5, false}, {5, 5, false}}},
      {"sente knight row 4", SENTE, KNIGHT, 4, 4, {{3, 2, true}, {5, 2, true}, {3, 2, false}, {5, 2, false}}},
      {"sente knight row 2", SENTE, KNIGHT, 4, 2, {{3, 0, true}, {5, 0, true}}},
      {"gote silver row 6: all five promoted, then all five plain", GOTE, SILVER + G, 4, 6,
       {{3, 7, true}, {4, 7, true}, {5, 7, true}, {3, 5, true}, {5, 5, true},
        {3, 7, false}, {4, 7, false}, {5, 7, false}, {3, 5, false}, {5, 5, false}}},
      {"gote silver row 5: forward three promoted", GOTE, SILVER + G, 4, 5,
       {{3, 6, true}, {4, 6, true}, {5, 6, true},
        {3, 6, false}, {4, 6, false}, {5, 6, false}, {3, 4, false}, {5, 4, false}}},
      {"gote silver row 4", GOTE, SILVER + G, 4, 4,
       {{3, 5, false}, {4, 5, false}, {5, 5, false}, {3, 3, false}, {5, 3, false}}},
      {"sente silver row 3", SENTE, SILVER, 4, 3,
       {{3, 2, true}, {4, 2, true}, {5, 2, true},
        {3, 2, false}, {4, 2, false}, {5, 2, false}, {3, 4, false}, {5, 4, false}}},
      {"gote bishop row 2 sliding into the zone", GOTE, BISHOP + G, 0, 2,
       {{1, 3, false}, {2, 4, false}, {3, 5, false}, {4, 6, true}, {4, 6, false}, {5, 7, true},
        {5, 7, false}, {6, 8, true}, {6, 8, false}, {1, 1, false}, {2, 0, false}}},
      {"gote rook in the zone: every target both ways, leaving the zone too", GOTE, ROOK + G, 0, 7,
       {{0, 8, true}, {0, 8, false}, {1, 7, true}, {1, 7, false}, {2, 7, true}, {2, 7, false},
        {3, 7, true}, {3, 7, false}, {4, 7, true}, {4, 7, false}, {5, 7, true}, {5, 7, false},
        {6, 7, true}, {6, 7, false}, {7, 7, true}, {7, 7, false}, {8, 7, true}, {8, 7, false},
        {0, 6, true}, {0, 6, false}, {0, 5, true}, {0, 5, false}, {0, 4, true}, {0, 4, false},
        {0, 3, true}, {0, 3, false}, {0, 2, true}, {0, 2, false}, {0, 1, true}, {0, 1, false},
        {0, 0, true}, {0, 0, false}}},
      {"gold: no promotion", GOTE, GOLD + G, 4, 7,
       {{3, 8, false}, {4, 8, false}, {5, 8, false}, {3, 7, false}, {5, 7, false}, {4, 6, false}}},
  };
  for (const Row& row : rows) {
    auto e = engine_with({{row.col, row.row, row.code}});
    const auto moves = row.side == GOTE ? generate_piece<GOTE>(*e, row.col, row.row)
                                        : generate_piece<SENTE>(*e, row.col, row.row);
    EXPECT_EQ(targets_of(moves), row.expected) << row.what;
  }
}

TEST(Generators, SliderLineEndsOnFirstPieceWhateverItIs) {
  // A GOTE rook at (4,4) with its own pawn at (4,6) and a SENTE pawn at (4,2): the line south produces
  // the move onto its own pawn (for dispatch_move to refuse) and stops there; north takes the pawn.
  auto e = engine_with({{4, 4, ROOK + G}, {4, 6, PAWN + G}, {4, 2, PAWN}});
  Recorder rec{*e, GOTE, {}};
  GENERATORS<GOTE, Recorder>[ROOK](rec, cell_of(4, 4), ROOK + G, 4);
  std::vector<int> south, north;
  for (const Generated& g : rec.out) {
    if (col_of(g.to) != 4) continue;
    (row_of(g.to) > 4 ? south : north).push_back(row_of(g.to));
  }
  EXPECT_EQ(south, (std::vector<int>{5, 6, 6})) << "row 6 is in the zone: promoted and plain";
  EXPECT_EQ(north, (std::vector<int>{3, 2}));
  EXPECT_EQ(rec.out[1].captured, PAWN + G) << "own piece handed over as the captured code";
}

TEST(Generators, KingSquareFollowsEachTry) {
  auto e = engine_with({{4, 4, KING + G}});
  e->ply = 3;
  struct Watch {
    Engine& e;
    std::vector<int> seen;
    bool move(int, int, int to, int, int) {
      seen.push_back(e.pos.king_sq[GOTE][e.ply] == to);
      return false;
    }
    bool drop(int, int) { return false; }
  } watch{*e, {}};
  e->pos.king_sq[GOTE][3] = cell_of(4, 4);
  GENERATORS<GOTE, Watch>[KING](watch, cell_of(4, 4), KING + G, 4);
  EXPECT_EQ(watch.seen, std::vector<int>(8, 1));
  EXPECT_EQ(e->pos.king_sq[GOTE][3], cell_of(4, 4));
}

TEST(Generators, DropRules) {
  // GOTE: a pawn in column 4, a promoted pawn in column 2; pawn, lance and knight in hand.
  const uint8_t gote_hand[8] = {1, 1, 1, 0, 0, 0, 0, 0};
  const uint8_t sente_hand[8] = {1, 1, 1, 0, 0, 0, 0, 0};
  auto e = engine_with({{4, 3, PAWN + G}, {2, 3, PRO_PAWN + G}, {6, 5, PAWN}}, sente_hand, gote_hand);
  for (int side : {GOTE, SENTE}) {
    std::map<int, std::vector<std::pair<int, int>>> by_kind;   // kind -> (col, row)
    std::vector<int> kinds_at_first_cell;
    for (int col = 0; col < 9; ++col) {
      Recorder rec{*e, side, {}};
      if (side == GOTE) scan_column<GOTE>(rec, GENERATORS<GOTE, Recorder>, col, true);
      else scan_column<SENTE>(rec, GENERATORS<SENTE, Recorder>, col, true);
      for (const Generated& g : rec.out) {
        if (g.from != -1) continue;
        by_kind[g.piece & 7].emplace_back(col_of(g.to), row_of(g.to));
        if (g.to == cell_of(0, 4)) kinds_at_first_cell.push_back(g.piece & 7);
      }
    }
    const int last = side == GOTE ? 8 : 0;
    const int next_to_last = side == GOTE ? 7 : 1;
    const int blocked_col = side == GOTE ? 4 : 6;
    for (auto [col, row] : by_kind[PAWN]) {
      EXPECT_NE(col, blocked_col) << "second pawn in a column";
      EXPECT_NE(row, last) << "pawn on the last row";
    }
    for (auto [col, row] : by_kind[LANCE]) EXPECT_NE(row, last) << "lance on the last row";
    for (auto [col, row] : by_kind[KNIGHT]) {
      EXPECT_NE(row, last);
      EXPECT_NE(row, next_to_last) << "knight on the last two rows";
    }
    // Every other empty cell gets its drops: 78 empty cells, less the last row for the lance, the last
    // two rows for the knight, the last row and the blocked column's eight empty cells for the pawn.
    EXPECT_EQ(by_kind[LANCE].size(), 78u - 9u);
    EXPECT_EQ(by_kind[KNIGHT].size(), 78u - 18u);
    EXPECT_EQ(by_kind[PAWN].size(), 78u - 9u - 8u + 1u);
    if (side == GOTE) {
      bool promoted_pawn_column = false;
      for (auto [col, row] : by_kind[PAWN]) promoted_pawn_column = promoted_pawn_column || col == 2;
      EXPECT_TRUE(promoted_pawn_column) << "a promoted pawn does not block pawn drops";
    }
    EXPECT_EQ(kinds_at_first_cell, (std::vector<int>{PAWN, LANCE, KNIGHT})) << "kind order on one cell";
  }
}

TEST(Generators, RecaptureOrder) {
  // Target (4,4) holds a SENTE pawn. GOTE: rook two above with the cell between empty, silver above-left,
  // gold to the right, bishop two below-right, knight a jump above-left.
  auto e = engine_with({{4, 4, PAWN},
                        {4, 2, ROOK + G},
                        {3, 3, SILVER + G},
                        {5, 4, GOLD + G},
                        {6, 6, BISHOP + G},
                        {3, 2, KNIGHT + G},
                        {4, 1, LANCE + G},    // behind the rook: not reached
                        {3, 5, PAWN + G}});   // a pawn cannot go back: not a candidate
  const int t = cell_of(4, 4);
  std::vector<int> order;
  for_each_recapturer(*e, GOTE, t, [&](int cell, int code) {
    EXPECT_EQ(e->pos.board[cell], code);
    order.push_back(cell);
    return false;
  });
  EXPECT_EQ(order, (std::vector<int>{cell_of(4, 2), cell_of(3, 3), cell_of(5, 4), cell_of(6, 6), cell_of(3, 2)}));
  // An adjacent stepper above is tried first; the line behind it is not followed.
  e = engine_with({{4, 4, PAWN}, {4, 3, GOLD + G}, {4, 1, ROOK + G}});
  order.clear();
  for_each_recapturer(*e, GOTE, t, [&](int cell, int) { order.push_back(cell); return false; });
  EXPECT_EQ(order, (std::vector<int>{cell_of(4, 3)}));
  // SENTE: only whether one exists. A SENTE lance below, far off, with the line open.
  e = engine_with({{4, 4, PAWN + G}, {4, 8, LANCE}});
  EXPECT_TRUE(for_each_recapturer(*e, SENTE, t, [](int, int) { return true; }));
  e = engine_with({{4, 4, PAWN + G}, {4, 8, LANCE}, {4, 6, PAWN + G}});
  EXPECT_FALSE(for_each_recapturer(*e, SENTE, t, [](int, int) { return true; }));
}

namespace {

// The rules, written independently: every pseudo-legal move and drop of `side`.
std::vector<Generated> reference_moves(const Engine& e, int side) {
  const uint8_t* b = e.pos.board;
  const int fwd = side == GOTE ? 1 : -1;   // row direction of "forward"
  auto rel = [side](int row) { return side == GOTE ? row : 8 - row; };
  std::vector<Generated> out;
  auto add = [&](int from, int code, int col, int row) {
    const int to = cell_of(col, row);
    const int kind = code & 15;
    const int fr = rel(row_of(from)), tr = rel(row);
    const bool may = can_promote(code) && (fr >= 6 || tr >= 6);
    const bool must = ((kind == PAWN || kind == LANCE) && tr == 8) || (kind == KNIGHT && tr >= 7);
    if (may) out.push_back({from, code, to, code + 8, b[to]});
    if (!must) out.push_back({from, code, to, code, b[to]});
  };
  for (int row = 0; row < 9; ++row) {
    for (int col = 0; col < 9; ++col) {
      const int from = cell_of(col, row);
      const int code = b[from];
      if (code == SQ_EMPTY) {
        for (int kind = PAWN; kind <= ROOK; ++kind) {
          if (!e.pos.hand[side][kind]) continue;
          const int tr = rel(row);
          if ((kind == PAWN || kind == LANCE) && tr == 8) continue;
          if (kind == KNIGHT && tr >= 7) continue;
          if (kind == PAWN) {
            bool pawn = false;
            for (int r = 0; r < 9; ++r) pawn = pawn || b[cell_of(col, r)] == (side == GOTE ? PAWN + G : PAWN);
            if (pawn) continue;
          }
          const int dropped = side == GOTE ? kind + G : kind;
          out.push_back({-1, dropped, from, dropped, SQ_EMPTY});
        }
        continue;
      }
      if (!is_piece(code) || side_of(code) != side) continue;
      struct R { int dc, dr; bool slide; };
      std::vector<R> reach;
      const std::vector<R> gold = {{-1, 1, 0}, {0, 1, 0}, {1, 1, 0}, {-1, 0, 0}, {1, 0, 0}, {0, -1, 0}};
      const std::vector<R> diag = {{-1, 1, 1}, {1, 1, 1}, {-1, -1, 1}, {1, -1, 1}};
      const std::vector<R> orth = {{0, 1, 1}, {0, -1, 1}, {-1, 0, 1}, {1, 0, 1}};
      switch (code & 15) {
        case PAWN: reach = {{0, 1, 0}}; break;
        case LANCE: reach = {{0, 1, 1}}; break;
        case KNIGHT: reach = {{-1, 2, 0}, {1, 2, 0}}; break;
        case SILVER: reach = {{-1, 1, 0}, {0, 1, 0}, {1, 1, 0}, {-1, -1, 0}, {1, -1, 0}}; break;
        case BISHOP: reach = diag; break;
        case ROOK: reach = orth; break;
        case KING: reach = gold; reach.push_back({-1, -1, 0}); reach.push_back({1, -1, 0}); break;
        case HORSE: reach = diag; reach.insert(reach.end(), {{0, 1, 0}, {0, -1, 0}, {-1, 0, 0}, {1, 0, 0}}); break;
        case DRAGON: reach = orth; reach.insert(reach.end(), {{-1, 1, 0}, {1, 1, 0}, {-1, -1, 0}, {1, -1, 0}}); break;
        default: reach = gold; break;
      }
      for (const R& r : reach) {
        for (int c = col + r.dc, w = row + r.dr * fwd; c >= 0 && c < 9 && w >= 0 && w < 9;
             c += r.dc, w += r.dr * fwd) {
          const int there = b[cell_of(c, w)];
          if (is_piece(there) && side_of(there) == side) break;
          add(from, code, c, w);
          if (there != SQ_EMPTY || !r.slide) break;
        }
      }
    }
  }
  return out;
}

}  // namespace

TEST(Generators, RandomPositionsEveryMoveExactlyOnce) {
  std::mt19937 rng(20261207);
  std::vector<SfenPosition> positions;
  for (int game = 0; game < 12; ++game) random_game(rng, 120, positions);
  ASSERT_GT(positions.size(), 600u);
  auto e = make_engine();
  int drops_seen = 0;
  for (size_t n = 0; n < positions.size(); ++n) {
    const SfenPosition& pos = positions[n];
    for (int rotated = 0; rotated < 2; ++rotated) {
      SfenPosition p = pos;
      if (rotated) rotate_position(p);
      const int side = load_untouched(*e, p);
      std::vector<Generated> got;
      for (int col = 0; col < 9; ++col) {
        Recorder rec{*e, side, {}};
        if (side == GOTE) scan_column<GOTE>(rec, GENERATORS<GOTE, Recorder>, col, true);
        else scan_column<SENTE>(rec, GENERATORS<SENTE, Recorder>, col, true);
        for (const Generated& g : rec.out)
          if (accepted(g, side)) got.push_back(g);
      }
      std::vector<Generated> want = reference_moves(*e, side);
      std::sort(got.begin(), got.end());
      std::sort(want.begin(), want.end());
      const bool unique = std::adjacent_find(got.begin(), got.end()) == got.end();
      EXPECT_TRUE(unique) << "a move produced twice in " << format_sfen(p);
      EXPECT_EQ(got, want) << format_sfen(p);
      for (const Generated& g : got) drops_seen += g.from == -1;
      if (::testing::Test::HasFailure()) return;
    }
  }
  EXPECT_GT(drops_seen, 1000) << "the random games should reach positions with pieces in hand";
}
