// The attacker's candidates at a mate-search node: every board move of every GOTE piece, scanned column
// by column and row by row, then drops onto the cells around the SENTE king from which the dropped
// piece attacks it. Each candidate goes to its try at once; the first that proves the node ends it.
#include <array>
#include <cstdlib>

#include "core/piece_moves.h"
#include "core/second_pawn.h"
#include "mate/mate_nodes.h"

namespace halvane {

namespace {

constexpr int SW = STEP_SW, S = STEP_S, SE = STEP_SE, W = STEP_W, E = STEP_E, NW = STEP_NW, N = STEP_N, NE = STEP_NE;

// The attacker's steps and lines in generation order.
template <int KIND>
constexpr auto STEPS = STEPS_IN<GOTE, KIND, GOTE_GENERATION_ORDER>;
template <int KIND>
constexpr auto LINES = LINES_IN<GOTE, KIND, GOTE_GENERATION_ORDER>;

// The attacker may land on an empty cell or a SENTE piece; a GOTE piece or a wall stops it.
inline bool attacker_lands(int target) { return target == SQ_EMPTY || is_sente_piece(target); }

// The direction index from cell a towards cell b when they share a file, rank or diagonal, else -1.
int line_dir(int a, int b) {
  const int dc = col_of(b) - col_of(a), dr = row_of(b) - row_of(a);
  if ((dc == 0 && dr == 0) || (dc != 0 && dr != 0 && std::abs(dc) != std::abs(dr))) return -1;
  if (dc == 0) return dr < 0 ? D_N : D_S;
  if (dr == 0) return dc < 0 ? D_W : D_E;
  if (dr < 0) return dc < 0 ? D_NW : D_NE;
  return dc < 0 ? D_SW : D_SE;
}

// Whether a move could give check at all: the placed piece reaches the king's cell by one of its steps or
// lies on one of its rays towards it (whether the ray is open the try finds out), or a GOTE ray heading
// for the king arrives on the vacated cell, so that it might open. A move that cannot check would only be
// made and taken back unsearched, so it is passed over.
bool may_check(const MateSolver& s, int from, int to, int placed, int king) {
  const int kind = placed & 15;
  const PieceMoves& moves = PIECE_MOVES[kind];
  for (int i = 0; i < moves.n_steps; ++i)
    if (to + side_step(GOTE, kind, i) == king) return true;
  if (moves.n_lines > 0) {
    const int dir = line_dir(to, king);
    for (int j = 0; j < moves.n_lines && dir >= 0; ++j)
      if (side_line(GOTE, kind, j) == dir) return true;
  }
  const int from_dir = line_dir(from, king);
  return from_dir >= 0 && (s.effects.rays[GOTE][from] & ray_bit(from_dir)) != 0;
}

// One candidate with the given placed code; the SENTE king on the target is taken at once.
bool attack(MateSolver& s, int from, int mover, int to, int placed) {
  const int target = s.pos.board[to];
  if (target == SENTE_KING) return capture_king(s, from, mover, to, placed);
  if (!may_check(s, from, to, placed, s.pos.king_sq[SENTE][s.ply])) return false;
  s.last_to_sq[s.ply] = to;
  return try_attacker_move(s, from, mover, to, placed, target);
}

bool step(MateSolver& s, int from, int mover, int to, Promo promo) {
  if (!attacker_lands(s.pos.board[to])) return false;
  if (promo != NEVER && attack(s, from, mover, to, mover | PROMOTED_BIT)) return true;
  return promo != ONLY && attack(s, from, mover, to, mover);
}

// A ray: every cell up to and including the first non-empty one. `promo_of` picks the promotion per target.
template <typename PromoOf>
bool ray(MateSolver& s, int from, int mover, int d, PromoOf promo_of) {
  for (int to = from + d;; to += d) {
    const int target = s.pos.board[to];
    if (!attacker_lands(target)) return false;
    if (step(s, from, mover, to, promo_of(to))) return true;
    if (target != SQ_EMPTY) return false;
  }
}

template <class Dirs>
bool steps(MateSolver& s, int from, int mover, const Dirs& dirs, Promo promo = NEVER) {
  for (int d : dirs)
    if (step(s, from, mover, from + d, promo)) return true;
  return false;
}

template <class Dirs>
bool rays(MateSolver& s, int from, int mover, const Dirs& dirs, bool promotes) {
  auto promo_of = [&](int to) { return slider_promo(GOTE, promotes, from, to); };
  for (int d : dirs)
    if (ray(s, from, mover, d, promo_of)) return true;
  return false;
}

bool king_moves(MateSolver& s, int from) {
  const int p = s.ply;
  bool decided = false;
  for (int d : STEPS<KING>) {
    const int to = from + d;
    if (!attacker_lands(s.pos.board[to])) continue;
    s.pos.king_sq[GOTE][p] = to;
    if (attack(s, from, GOTE_KING, to, GOTE_KING)) {
      decided = true;
      break;
    }
  }
  s.pos.king_sq[GOTE][p] = from;
  return decided;
}

bool piece_moves(MateSolver& s, int from, int code) {
  const int row = row_of(from);
  switch (code) {
    case PAWN + GOTE_BIT:
      return step(s, from, code, from + STEPS<PAWN>[0], landing_promo(GOTE, PAWN, row + 1));
    case LANCE + GOTE_BIT:
      return ray(s, from, code, LINES<LANCE>[0], [](int to) { return landing_promo(GOTE, LANCE, row_of(to)); });
    case KNIGHT + GOTE_BIT:
      switch (landing_promo(GOTE, KNIGHT, row + 2)) {
        case ONLY: return steps(s, from, code, STEPS<KNIGHT>, ONLY);
        case BOTH: return steps(s, from, code, STEPS<KNIGHT>, ONLY) || steps(s, from, code, STEPS<KNIGHT>);
        default: return steps(s, from, code, STEPS<KNIGHT>);
      }
    case SILVER + GOTE_BIT: {
      // From the row before the zone only the three forward steps, which come first, enter it.
      constexpr std::array<int, 3> FORWARD = {STEPS<SILVER>[0], STEPS<SILVER>[1], STEPS<SILVER>[2]};
      if (in_zone_row(GOTE, row)) return steps(s, from, code, STEPS<SILVER>, ONLY) || steps(s, from, code, STEPS<SILVER>);
      if (in_zone_row(GOTE, row + 1)) return steps(s, from, code, FORWARD, ONLY) || steps(s, from, code, STEPS<SILVER>);
      return steps(s, from, code, STEPS<SILVER>);
    }
    case GOLD + GOTE_BIT:
    case PRO_PAWN + GOTE_BIT:
    case PRO_LANCE + GOTE_BIT:
    case PRO_KNIGHT + GOTE_BIT:
    case PRO_SILVER + GOTE_BIT:
      return steps(s, from, code, STEPS<GOLD>);
    case BISHOP + GOTE_BIT:
      return rays(s, from, code, LINES<BISHOP>, true);
    case ROOK + GOTE_BIT:
      return rays(s, from, code, LINES<ROOK>, true);
    case GOTE_KING:
      return king_moves(s, from);
    case HORSE + GOTE_BIT:
      return steps(s, from, code, STEPS<HORSE>) || rays(s, from, code, LINES<HORSE>, false);
    case DRAGON + GOTE_BIT:
      return steps(s, from, code, STEPS<DRAGON>) || rays(s, from, code, LINES<DRAGON>, false);
    default:
      return false;
  }
}

// One drop of `kind` onto the empty `cell` when the hand holds one; true when it proved the node.
bool drop(MateSolver& s, int cell, int kind) {
  uint8_t& in_hand = s.pos.hand[GOTE][kind];
  if (in_hand == 0) return false;
  --in_hand;
  s.pos.board[cell] = static_cast<uint8_t>(kind | GOTE_BIT);
  try_attacker_drop(s, cell);
  s.pos.board[cell] = SQ_EMPTY;
  ++in_hand;
  return s.proven[s.ply] != 0;
}

// The kinds (lance .. rook, in that order) that a GOTE piece dropped on king + d attacks the king with:
// `near` reach it from that cell, `far` also from further out along the same line. Read from the
// movement table; the pawn north of the king is dropped on its own, where the second-pawn rule allows.
struct LineDrops {
  int d;
  int near[6];
  int n_near;
  int far[6];
  int n_far;
};

constexpr LineDrops line_drops(int d) {
  LineDrops l{d, {}, 0, {}, 0};
  for (int kind = LANCE; kind <= ROOK; ++kind) {
    if (steps_by(GOTE, kind, -d) || slides_by(GOTE, kind, -d)) l.near[l.n_near++] = kind;
    if (slides_by(GOTE, kind, -d)) l.far[l.n_far++] = kind;
  }
  return l;
}

// The lines in the order they are tried, then the two knight cells (the one towards column 0 first).
constexpr LineDrops LINE_DROPS[8] = {line_drops(N),  line_drops(NW), line_drops(NE), line_drops(SW),
                                     line_drops(SE), line_drops(W),  line_drops(E),  line_drops(S)};
constexpr int KNIGHT_DROPS[2] = {-STEPS<KNIGHT>[1], -STEPS<KNIGHT>[0]};
static_assert(LINE_DROPS[0].n_near == 4 && LINE_DROPS[0].n_far == 2 && LINE_DROPS[3].n_near == 2 &&
              KNIGHT_DROPS[0] == -33 && KNIGHT_DROPS[1] == -31);

// Drops on an empty cell next to the king, then, while the line stays empty, the long-range pieces
// further out along it. One instance per line, so the kind lists are known when it is compiled.
template <int LINE>
bool drops_on_line(MateSolver& s, int king) {
  constexpr LineDrops l = LINE_DROPS[LINE];
  const int cell = king + l.d;
  if (s.pos.board[cell] != SQ_EMPTY) return false;
  for (int i = 0; i < l.n_near; ++i)
    if (drop(s, cell, l.near[i])) return true;
  bool any_far = false;
  for (int i = 0; i < l.n_far; ++i) any_far |= s.pos.hand[GOTE][l.far[i]] != 0;
  if (!any_far) return false;
  for (int out = cell + l.d; s.pos.board[out] == SQ_EMPTY; out += l.d)
    for (int i = 0; i < l.n_far; ++i)
      if (drop(s, out, l.far[i])) return true;
  return false;
}

bool checking_drops(MateSolver& s) {
  const int k = s.pos.king_sq[SENTE][s.ply];
  // North of the king: the pawn only where its column holds no GOTE pawn yet.
  const int north = k + N;
  if (s.pos.board[north] == SQ_EMPTY && !pawn_in_column(s.pos.board, GOTE, col_of(k)) && drop(s, north, PAWN)) return true;
  return drops_on_line<0>(s, k) || drops_on_line<1>(s, k) || drops_on_line<2>(s, k) || drops_on_line<3>(s, k) ||
         drops_on_line<4>(s, k) || drops_on_line<5>(s, k) || drops_on_line<6>(s, k) || drops_on_line<7>(s, k) ||
         (s.pos.board[k + KNIGHT_DROPS[0]] == SQ_EMPTY && drop(s, k + KNIGHT_DROPS[0], KNIGHT)) ||
         (s.pos.board[k + KNIGHT_DROPS[1]] == SQ_EMPTY && drop(s, k + KNIGHT_DROPS[1], KNIGHT));
}

}  // namespace

void generate_checks(MateSolver& s) {
  // No king to attack: no move gives check, and there are no cells around it to drop on.
  if (!has_king(s.pos, SENTE, s.ply)) return;
  for (int col = 0; col < 9; ++col)
    for (int row = 0; row < 9; ++row) {
      const int cell = cell_of(col, row);
      const int code = s.pos.board[cell];
      if (is_gote_piece(code) && piece_moves(s, cell, code)) return;
    }
  checking_drops(s);
}

}  // namespace halvane
