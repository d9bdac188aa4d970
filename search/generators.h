// The per-kind move generators of both sides, the drop loop and the column scan, written once for any
// sink: the search hands each move to try_move the moment it is produced, perft counts legal moves.
// A sink has `Engine& e`, `bool move(from, piece, to, piece_after, captured)` and `bool drop(cell, kind)`;
// true from either stops the generator and its node at once.
#pragma once

#include "search/engine.h"
#include "search/search.h"

namespace halvane {

template <class Sink>
using Generator = bool (*)(Sink& sink, int from, int code, int row);

// Rows counted from the side's own back row: a piece on relative row 8 stands on the opponent's back row.
template <int S>
constexpr int rel_row(int row) { return S == GOTE ? row : 8 - row; }
template <int S>
constexpr int forward() { return S == GOTE ? 16 : -16; }
// The promotion zone: the opponent's three back rows (the wall cells beyond them count as well).
template <int S>
constexpr bool in_zone(int cell) { return S == GOTE ? cell >= 0x90 : cell < 0x60; }
template <int S>
constexpr int target_rel_row(int cell) { return rel_row<S>((cell - FIRST_CELL) >> 4); }
template <int S>
constexpr int own_code(int kind) { return S == GOTE ? kind + GOTE_BIT : kind; }
template <int S>
constexpr bool is_own_piece(int code) { return S == GOTE ? is_gote_piece(code) : is_sente_piece(code); }

namespace gen {

// Step lists in generation order. The order decides which of two equal moves the root keeps.
template <int S> constexpr int KNIGHT_STEPS[2] = {S == GOTE ? 31 : -33, S == GOTE ? 33 : -31};
template <int S> constexpr int SILVER_STEPS[5] = {15, 16, 17, -17, -15};
template <> constexpr int SILVER_STEPS<SENTE>[5] = {-17, -16, -15, 15, 17};
template <int S> constexpr int GOLD_STEPS[6] = {15, 16, 17, -1, 1, -16};
template <> constexpr int GOLD_STEPS<SENTE>[6] = {-17, -16, -15, -1, 1, 16};
template <int S> constexpr int BISHOP_LINES[4] = {15, 17, -17, -15};
template <> constexpr int BISHOP_LINES<SENTE>[4] = {-17, -15, 15, 17};
template <int S> constexpr int ROOK_LINES[4] = {16, -1, 1, -16};
template <> constexpr int ROOK_LINES<SENTE>[4] = {-16, -1, 1, 16};
template <int S> constexpr int KING_STEPS[8] = {15, 16, 17, -1, 1, -17, -16, -15};
template <> constexpr int KING_STEPS<SENTE>[8] = {-17, -16, -15, -1, 1, 15, 16, 17};
// Horse and dragon use the same order for both sides.
constexpr int HORSE_STEPS[4] = {16, -1, 1, -16};
constexpr int HORSE_LINES[4] = {15, 17, -17, -15};
constexpr int DRAGON_STEPS[4] = {15, 17, -17, -15};
constexpr int DRAGON_LINES[4] = {16, -1, 1, -16};

template <class Sink>
inline bool step(Sink& k, int from, int code, int to, int code_after) {
  return k.move(from, code, to, code_after, k.e.pos.board[to]);
}

// A step with both the promoting and the plain move.
template <class Sink>
inline bool step_both(Sink& k, int from, int code, int to) {
  return step(k, from, code, to, code + PROMOTED_BIT) || step(k, from, code, to, code);
}

// Slides along one line; `promote(target)` says whether the target admits a promotion (promoted first).
template <class Sink, class Promote>
inline bool slide(Sink& k, int from, int code, int d, Promote promote) {
  for (int t = from + d;; t += d) {
    if (promote(t) ? step_both(k, from, code, t) : step(k, from, code, t, code)) return true;
    if (k.e.pos.board[t] != SQ_EMPTY) return false;
  }
}

template <class Sink>
inline bool slide_plain(Sink& k, int from, int code, int d) {
  return slide(k, from, code, d, [](int) { return false; });
}

template <int S, class Sink>
bool pawn(Sink& k, int from, int code, int row) {
  const int r = rel_row<S>(row);
  const int t = from + forward<S>();
  if (r == 7) return step(k, from, code, t, code + PROMOTED_BIT);   // a pawn on the last row could never move
  if (r == 5 || r == 6) return step_both(k, from, code, t);
  return step(k, from, code, t, code);
}

template <int S, class Sink>
bool lance(Sink& k, int from, int code, int row) {
  const int r = rel_row<S>(row);
  for (int t = from + forward<S>();; t += forward<S>()) {
    const int tr = target_rel_row<S>(t);
    bool stop;
    if (tr >= 8) {
      stop = step(k, from, code, t, code + PROMOTED_BIT);   // a lance on the last row could never move
    } else if (r >= 6 || tr >= 6) {
      stop = step_both(k, from, code, t);
    } else {
      stop = step(k, from, code, t, code);
    }
    if (stop) return true;
    if (k.e.pos.board[t] != SQ_EMPTY) return false;
  }
}

template <int S, class Sink>
bool knight(Sink& k, int from, int code, int row) {
  const int r = rel_row<S>(row);
  const int t1 = from + KNIGHT_STEPS<S>[0], t2 = from + KNIGHT_STEPS<S>[1];
  const int promoted = code + PROMOTED_BIT;
  // A knight landing on the last two rows could never move again, so it must promote.
  if (r == 5 || r == 6) return step(k, from, code, t1, promoted) || step(k, from, code, t2, promoted);
  if (r >= 4)
    return step(k, from, code, t1, promoted) || step(k, from, code, t2, promoted) ||
           step(k, from, code, t1, code) || step(k, from, code, t2, code);
  return step(k, from, code, t1, code) || step(k, from, code, t2, code);
}

template <int S, class Sink>
bool silver(Sink& k, int from, int code, int row) {
  const int r = rel_row<S>(row);
  const auto& steps = SILVER_STEPS<S>;
  // Inside the zone every step may promote; from the row before it only the three forward steps enter it.
  const int promoting = r >= 6 ? 5 : r == 5 ? 3 : 0;
  for (int i = 0; i < promoting; ++i)
    if (step(k, from, code, from + steps[i], code + PROMOTED_BIT)) return true;
  for (int i = 0; i < 5; ++i)
    if (step(k, from, code, from + steps[i], code)) return true;
  return false;
}

// Gold and the promoted minor pieces: the code stays.
template <int S, class Sink>
bool gold(Sink& k, int from, int code, int) {
  for (int d : GOLD_STEPS<S>)
    if (step(k, from, code, from + d, code)) return true;
  return false;
}

template <int S, class Sink>
bool bishop_or_rook(Sink& k, int from, int code, const int (&lines)[4]) {
  const bool from_zone = in_zone<S>(from);
  for (int d : lines)
    if (slide(k, from, code, d, [from_zone](int t) { return from_zone || in_zone<S>(t); })) return true;
  return false;
}

template <int S, class Sink>
bool bishop(Sink& k, int from, int code, int) {
  return bishop_or_rook<S>(k, from, code, BISHOP_LINES<S>);
}

template <int S, class Sink>
bool rook(Sink& k, int from, int code, int) {
  return bishop_or_rook<S>(k, from, code, ROOK_LINES<S>);
}

// The king's square of this ply follows each try, so the node below sees where the king went.
template <int S, class Sink>
bool king(Sink& k, int from, int code, int) {
  int& king_cell = k.e.pos.king_sq[S][k.e.ply];
  for (int d : KING_STEPS<S>) {
    king_cell = from + d;
    const bool stop = step(k, from, code, from + d, code);
    king_cell = from;
    if (stop) return true;
  }
  return false;
}

template <int S, class Sink>
bool horse(Sink& k, int from, int code, int) {
  for (int d : HORSE_STEPS)
    if (step(k, from, code, from + d, code)) return true;
  for (int d : HORSE_LINES)
    if (slide_plain(k, from, code, d)) return true;
  return false;
}

template <int S, class Sink>
bool dragon(Sink& k, int from, int code, int) {
  for (int d : DRAGON_STEPS)
    if (step(k, from, code, from + d, code)) return true;
  for (int d : DRAGON_LINES)
    if (slide_plain(k, from, code, d)) return true;
  return false;
}

}  // namespace gen

// The 16-entry generator table of side S, indexed by code AND 15.
template <int S, class Sink>
inline constexpr Generator<Sink> GENERATORS[16] = {
    gen::pawn<S, Sink>,   gen::lance<S, Sink>,  gen::knight<S, Sink>, gen::silver<S, Sink>,
    gen::gold<S, Sink>,   gen::bishop<S, Sink>, gen::rook<S, Sink>,   gen::king<S, Sink>,
    gen::gold<S, Sink>,   gen::gold<S, Sink>,   gen::gold<S, Sink>,   gen::gold<S, Sink>,
    gen::gold<S, Sink>,   gen::horse<S, Sink>,  gen::dragon<S, Sink>, gen::king<S, Sink>,
};

// The search's tables, fixed for the whole run.
inline constexpr const Generator<SearchSink<GOTE>>* gote_generators = GENERATORS<GOTE, SearchSink<GOTE>>;
inline constexpr const Generator<SearchSink<SENTE>>* sente_generators = GENERATORS<SENTE, SearchSink<SENTE>>;

// Whether column `col` holds side S's unpromoted pawn (a second one may not be dropped there).
template <int S>
bool pawn_in_column(const Engine& e, int col) {
  for (int row = 0; row < 9; ++row)
    if (e.pos.board[cell_of(col, row)] == own_code<S>(PAWN)) return true;
  return false;
}

// Drops of side S onto the empty `cell`, kinds pawn .. rook in order, with the rules generation keeps:
// no second pawn in a column, no pawn or lance on the last row, no knight on the last two rows.
template <int S, class Sink>
bool drops_onto(Sink& k, int cell, bool pawn_in_col) {
  const uint8_t* hand = k.e.pos.hand[S];
  const int r = rel_row<S>(row_of(cell));
  for (int kind = PAWN; kind <= ROOK; ++kind) {
    if (hand[kind] == 0) continue;
    if (kind == PAWN && pawn_in_col) continue;
    if ((kind == PAWN || kind == LANCE) && r == 8) continue;
    if (kind == KNIGHT && r >= 7) continue;
    if (k.drop(cell, kind)) return true;
  }
  return false;
}

// One column of side S's moves: rows 0..8, drops on the empty cells (when `with_drops`), the piece's
// generator from `table` on the side's own pieces. True when a move stopped the node.
template <int S, class Sink>
bool scan_column(Sink& k, const Generator<Sink>* table, int col, bool with_drops) {
  const bool pawn_in_col = with_drops && pawn_in_column<S>(k.e, col);
  for (int row = 0; row < 9; ++row) {
    const int cell = cell_of(col, row);
    const int code = k.e.pos.board[cell];
    if (code == SQ_EMPTY) {
      if (with_drops && drops_onto<S>(k, cell, pawn_in_col)) return true;
    } else if (is_own_piece<S>(code)) {
      if (table[code & 15](k, cell, code, row)) return true;
    }
  }
  return false;
}

}  // namespace halvane
