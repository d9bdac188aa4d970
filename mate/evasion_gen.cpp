// The defender's candidates at a mate-search node, in one scan of the board column by column: on an
// empty interposition cell the drops, on each SENTE piece its captures, king steps and interpositions.
// Each candidate goes to its try at once; the first answer that escapes ends the node.
#include <array>
#include <bit>
#include <cstring>

#include "core/piece_moves.h"
#include "core/second_pawn.h"
#include "mate/mate_nodes.h"

namespace halvane {

namespace {

// The defender's steps and lines in generation order; the horse and dragon keep GOTE's order.
template <int KIND>
constexpr auto STEPS = STEPS_IN<SENTE, KIND, SENTE_GENERATION_ORDER>;
template <int KIND>
constexpr auto LINES = LINES_IN<SENTE, KIND, SENTE_GENERATION_ORDER>;
template <int KIND>
constexpr auto PROMOTED_STEPS = STEPS_IN<SENTE, KIND, GOTE_GENERATION_ORDER>;
template <int KIND>
constexpr auto PROMOTED_LINES = LINES_IN<SENTE, KIND, GOTE_GENERATION_ORDER>;

// What the defender's scan needs at hand: the cells between the king and every GOTE ray that reaches it,
// where a piece put down blocks the check. They are read from the rays themselves rather than from the
// ray bits the attacker's last move set, which carry no bit on the cell a discovered check was uncovered
// from nor on the cells between it and the slider behind.
struct Scan {
  MateSolver& s;
  uint8_t on_line[BOARD_CELLS];   // ray bits of the checking lines, per empty cell between slider and king
  // When every check comes from a slider: a lone slider's cell, where a capture answers the check; two
  // sliders leave the king steps as the only answers.
  int slider_cell = -1;
  int sliders = 0;
  bool lone_stepper = false;   // a single check by a step: only taking it, beside or a knight's jump away
};

void mark_checking_lines(Scan& sc, int king) {
  const uint8_t* board = sc.s.pos.board;
  uint32_t bits = static_cast<uint32_t>(sc.s.effects.rays[GOTE][king]);
  while (bits != 0) {
    const int dir = std::countr_zero(bits);
    bits &= bits - 1;
    const int d = DIR_STEP[dir];
    int cell = king - d;
    for (; board[cell] == SQ_EMPTY; cell -= d) sc.on_line[cell] |= static_cast<uint8_t>(ray_bit(dir));
    sc.slider_cell = cell;
    ++sc.sliders;
  }
  const int checks = sc.s.effects.count[GOTE][king];
  sc.lone_stepper = checks == 1 && sc.sliders == 0;
  if (checks != sc.sliders) sc.sliders = 0;
}

bool beside_or_jump(int d) {
  switch (d) {
    case 1: case -1: case 15: case -15: case 16: case -16: case 17: case -17: case 31: case -31: case 33: case -33:
      return true;
    default:
      return false;
  }
}

// Whether an answer onto `to` may leave the king unattacked; the rest are never made. A king step onto
// an attacked cell stays attacked (moving the king cuts no ray to that cell); against a lone slider
// another piece must take it or land between.
bool may_escape(const Scan& sc, int mover, int to) {
  if (mover == SENTE_KING) return sc.s.effects.count[GOTE][to] == 0;
  if (sc.lone_stepper) return beside_or_jump(to - sc.s.pos.king_sq[SENTE][sc.s.ply]);
  return sc.sliders != 1 || sc.on_line[to] != 0 || to == sc.slider_cell;
}

// What a target cell offers: the GOTE king is taken (the attacker left it en prise, so the defender
// escapes); a wall or own piece nothing; a GOTE piece a capture; an empty cell a move only for the king
// or onto an interposition cell.
enum Target { BLOCKED, TAKES_KING, CAPTURE, EMPTY_PASS, EMPTY_MOVE };

Target classify(const Scan& sc, int to, bool king) {
  const int target = sc.s.pos.board[to];
  if (target == GOTE_KING) return TAKES_KING;
  if (target == SQ_EMPTY) return king || sc.on_line[to] != 0 ? EMPTY_MOVE : EMPTY_PASS;
  return is_gote_piece(target) ? CAPTURE : BLOCKED;
}

// Offers one target cell; true when the node is decided (an answer escaped).
bool answer(Scan& sc, int from, int mover, int to, Promo promo, Target kind) {
  MateSolver& s = sc.s;
  if (kind == TAKES_KING) {
    s.proven[s.ply] = 0;
    return true;
  }
  if (kind != CAPTURE && kind != EMPTY_MOVE) return false;
  const int taken = s.pos.board[to];
  s.last_to_sq[s.ply] = to;
  if (!may_escape(sc, mover, to)) return false;
  if (promo != NEVER && try_defender_move(s, from, mover, to, mover | PROMOTED_BIT, taken)) return true;
  if (promo != ONLY && try_defender_move(s, from, mover, to, mover, taken)) return true;
  return false;
}

template <class Dirs>
bool steps(Scan& sc, int from, int mover, const Dirs& dirs, Promo promo = NEVER) {
  for (int d : dirs)
    if (answer(sc, from, mover, from + d, promo, classify(sc, from + d, false))) return true;
  return false;
}

template <typename PromoOf>
bool ray(Scan& sc, int from, int mover, int d, PromoOf promo_of) {
  for (int to = from + d;; to += d) {
    const Target kind = classify(sc, to, false);
    if (kind == BLOCKED) return false;
    if (answer(sc, from, mover, to, promo_of(to), kind)) return true;
    if (kind == CAPTURE) return false;
  }
}

template <class Dirs>
bool rays(Scan& sc, int from, int mover, const Dirs& dirs, bool promotes) {
  auto promo_of = [&](int to) { return slider_promo(SENTE, promotes, from, to); };
  for (int d : dirs)
    if (ray(sc, from, mover, d, promo_of)) return true;
  return false;
}

bool king_moves(Scan& sc, int from) {
  MateSolver& s = sc.s;
  const int p = s.ply;
  bool decided = false;
  for (int d : STEPS<KING>) {
    const int to = from + d;
    s.pos.king_sq[SENTE][p] = to;
    if (answer(sc, from, SENTE_KING, to, NEVER, classify(sc, to, true))) {
      decided = true;
      break;
    }
  }
  s.pos.king_sq[SENTE][p] = from;
  return decided;
}

bool piece_moves(Scan& sc, int from, int code) {
  const int row = row_of(from);
  switch (code) {
    case PAWN:
      return steps(sc, from, code, STEPS<PAWN>, landing_promo(SENTE, PAWN, row - 1));
    case LANCE:
      return ray(sc, from, code, LINES<LANCE>[0], [](int to) { return landing_promo(SENTE, LANCE, row_of(to)); });
    case KNIGHT:
      switch (landing_promo(SENTE, KNIGHT, row - 2)) {
        case ONLY: return steps(sc, from, code, STEPS<KNIGHT>, ONLY);
        case BOTH: return steps(sc, from, code, STEPS<KNIGHT>, ONLY) || steps(sc, from, code, STEPS<KNIGHT>);
        default: return steps(sc, from, code, STEPS<KNIGHT>);
      }
    case SILVER: {
      // From the row before the zone only the three forward steps, which come first, enter it.
      constexpr std::array<int, 3> FORWARD = {STEPS<SILVER>[0], STEPS<SILVER>[1], STEPS<SILVER>[2]};
      if (in_zone_row(SENTE, row)) return steps(sc, from, code, STEPS<SILVER>, ONLY) || steps(sc, from, code, STEPS<SILVER>);
      if (in_zone_row(SENTE, row - 1)) return steps(sc, from, code, FORWARD, ONLY) || steps(sc, from, code, STEPS<SILVER>);
      return steps(sc, from, code, STEPS<SILVER>);
    }
    case GOLD:
    case PRO_PAWN:
    case PRO_LANCE:
    case PRO_KNIGHT:
    case PRO_SILVER:
      return steps(sc, from, code, STEPS<GOLD>);
    case BISHOP:
      return rays(sc, from, code, LINES<BISHOP>, true);
    case ROOK:
      return rays(sc, from, code, LINES<ROOK>, true);
    case SENTE_KING:
      return king_moves(sc, from);
    case HORSE:
      return steps(sc, from, code, PROMOTED_STEPS<HORSE>) || rays(sc, from, code, PROMOTED_LINES<HORSE>, false);
    case DRAGON:
      return steps(sc, from, code, PROMOTED_STEPS<DRAGON>) || rays(sc, from, code, PROMOTED_LINES<DRAGON>, false);
    default:
      return false;
  }
}

// Drops onto an empty cell on a checking line, and only where the defender already covers the cell: a
// piece dropped on an uncovered cell would just be taken, so such futile drops are never offered.
bool interposing_drops(Scan& sc, int cell, bool pawn_in_col) {
  MateSolver& s = sc.s;
  if (sc.on_line[cell] == 0 || s.effects.count[SENTE][cell] == 0) return false;
  const int row = row_of(cell);
  const uint8_t* hand = s.pos.hand[SENTE];
  for (int kind = PAWN; kind <= ROOK; ++kind) {
    if (hand[kind] == 0) continue;
    if (kind == PAWN && pawn_in_col) continue;
    if (!drop_allowed(SENTE, kind, row)) continue;
    if (try_defender_drop(s, cell, kind)) return true;
  }
  return false;
}

}  // namespace

void generate_evasions(MateSolver& s) {
  Scan sc{s, {}};
  mark_checking_lines(sc, s.pos.king_sq[SENTE][s.ply]);
  for (int col = 0; col < 9; ++col) {
    const bool pawn_in_col = pawn_in_column(s.pos.board, SENTE, col);
    for (int row = 0; row < 9; ++row) {
      const int cell = cell_of(col, row);
      const int code = s.pos.board[cell];
      if (sc.sliders >= 2 && code != SENTE_KING) continue;
      if (code == SQ_EMPTY) {
        if (interposing_drops(sc, cell, pawn_in_col)) return;
      } else if (is_sente_piece(code)) {
        if (piece_moves(sc, cell, code)) return;
      }
    }
  }
}

}  // namespace halvane
