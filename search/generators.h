// The per-kind move generators of both sides, the drop loop and the column scan, written once for any
// sink: the search hands each move to try_move the moment it is produced, perft counts legal moves.
// A sink has `Engine& e`, `bool move(from, piece, to, piece_after, captured)` and `bool drop(cell, kind)`;
// true from either stops the generator and its node at once.
#pragma once

#include "core/piece_moves.h"
#include "core/promotion.h"
#include "core/second_pawn.h"
#include "search/engine.h"
#include "search/search.h"

namespace halvane {

template <class Sink>
using Generator = bool (*)(Sink& sink, int from, int code, int row);

template <int S>
constexpr int forward() { return side_step(S, PAWN, 0); }
template <int S>
constexpr int own_code(int kind) { return S == GOTE ? kind + GOTE_BIT : kind; }
template <int S>
constexpr bool is_own_piece(int code) { return S == GOTE ? is_gote_piece(code) : is_sente_piece(code); }
// The row a move of `rows` forward lands on.
template <int S>
constexpr int row_forward(int row, int rows) { return S == GOTE ? row + rows : row - rows; }

namespace gen {

// Steps and lines in generation order. The order decides which of two equal moves the root keeps.
template <int S, int KIND>
inline constexpr auto STEPS = STEPS_IN<S, KIND, generation_order(S)>;
template <int S, int KIND>
inline constexpr auto LINES = LINES_IN<S, KIND, generation_order(S)>;
// Horse and dragon use GOTE's order for both sides.
template <int S, int KIND>
inline constexpr auto PROMOTED_STEPS = STEPS_IN<S, KIND, GOTE_GENERATION_ORDER>;
template <int S, int KIND>
inline constexpr auto PROMOTED_LINES = LINES_IN<S, KIND, GOTE_GENERATION_ORDER>;

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
  const int to_row = row_forward<S>(row, 1);
  const int t = from + STEPS<S, PAWN>[0];
  if (must_promote(S, PAWN, to_row)) return step(k, from, code, t, code + PROMOTED_BIT);
  if (in_zone_row(S, to_row)) return step_both(k, from, code, t);
  return step(k, from, code, t, code);
}

template <int S, class Sink>
bool lance(Sink& k, int from, int code, int row) {
  constexpr int d = LINES<S, LANCE>[0];
  const bool from_zone = in_zone_row(S, row);
  for (int t = from + d;; t += d) {
    const int to_row = row_of(t);
    bool stop;
    if (must_promote(S, LANCE, to_row)) {
      stop = step(k, from, code, t, code + PROMOTED_BIT);
    } else if (from_zone || in_zone_row(S, to_row)) {
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
  const int to_row = row_forward<S>(row, 2);
  const int t1 = from + STEPS<S, KNIGHT>[0], t2 = from + STEPS<S, KNIGHT>[1];
  const int promoted = code + PROMOTED_BIT;
  if (must_promote(S, KNIGHT, to_row)) return step(k, from, code, t1, promoted) || step(k, from, code, t2, promoted);
  if (in_zone_row(S, to_row))
    return step(k, from, code, t1, promoted) || step(k, from, code, t2, promoted) ||
           step(k, from, code, t1, code) || step(k, from, code, t2, code);
  return step(k, from, code, t1, code) || step(k, from, code, t2, code);
}

template <int S, class Sink>
bool silver(Sink& k, int from, int code, int row) {
  constexpr auto steps = STEPS<S, SILVER>;
  // Inside the zone every step may promote; from the row before it only the three forward steps, which
  // come first, enter it.
  const int promoting = in_zone_row(S, row) ? 5 : in_zone_row(S, row_forward<S>(row, 1)) ? 3 : 0;
  for (int i = 0; i < promoting; ++i)
    if (step(k, from, code, from + steps[i], code + PROMOTED_BIT)) return true;
  for (int i = 0; i < 5; ++i)
    if (step(k, from, code, from + steps[i], code)) return true;
  return false;
}

// Gold and the promoted minor pieces: the code stays.
template <int S, class Sink>
bool gold(Sink& k, int from, int code, int) {
  for (int d : STEPS<S, GOLD>)
    if (step(k, from, code, from + d, code)) return true;
  return false;
}

template <int S, class Sink, class Lines>
bool bishop_or_rook(Sink& k, int from, int code, const Lines& lines) {
  const bool from_zone = in_promotion_zone(S, from);
  for (int d : lines)
    if (slide(k, from, code, d, [from_zone](int t) { return from_zone || in_promotion_zone(S, t); })) return true;
  return false;
}

template <int S, class Sink>
bool bishop(Sink& k, int from, int code, int) {
  return bishop_or_rook<S>(k, from, code, LINES<S, BISHOP>);
}

template <int S, class Sink>
bool rook(Sink& k, int from, int code, int) {
  return bishop_or_rook<S>(k, from, code, LINES<S, ROOK>);
}

// The king's square of this ply follows each try, so the node below sees where the king went.
template <int S, class Sink>
bool king(Sink& k, int from, int code, int) {
  int& king_cell = k.e.pos.king_sq[S][k.e.ply];
  for (int d : STEPS<S, KING>) {
    king_cell = from + d;
    const bool stop = step(k, from, code, from + d, code);
    king_cell = from;
    if (stop) return true;
  }
  return false;
}

template <int S, class Sink>
bool horse(Sink& k, int from, int code, int) {
  for (int d : PROMOTED_STEPS<S, HORSE>)
    if (step(k, from, code, from + d, code)) return true;
  for (int d : PROMOTED_LINES<S, HORSE>)
    if (slide_plain(k, from, code, d)) return true;
  return false;
}

template <int S, class Sink>
bool dragon(Sink& k, int from, int code, int) {
  for (int d : PROMOTED_STEPS<S, DRAGON>)
    if (step(k, from, code, from + d, code)) return true;
  for (int d : PROMOTED_LINES<S, DRAGON>)
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

// Drops of side S onto the empty `cell`, kinds pawn .. rook in order, with the rules generation keeps:
// no second pawn in a column, no piece where it could never move.
template <int S, class Sink>
bool drops_onto(Sink& k, int cell, bool pawn_in_col) {
  const uint8_t* hand = k.e.pos.hand[S];
  const int row = row_of(cell);
  for (int kind = PAWN; kind <= ROOK; ++kind) {
    if (hand[kind] == 0) continue;
    if (kind == PAWN && pawn_in_col) continue;
    if (!drop_allowed(S, kind, row)) continue;
    if (k.drop(cell, kind)) return true;
  }
  return false;
}

// One column of side S's moves: rows 0..8, drops on the empty cells (when `with_drops`), the piece's
// generator from `table` on the side's own pieces. True when a move stopped the node.
template <int S, class Sink>
bool scan_column(Sink& k, const Generator<Sink>* table, int col, bool with_drops) {
  const bool pawn_in_col = with_drops && pawn_in_column(k.e.pos.board, S, col);
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
