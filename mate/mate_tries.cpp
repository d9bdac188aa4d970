// The try operations of the mate solver: make one candidate with the shared make / undo protocol, decide
// whether it is searched (check, legality, the node's pass), search below it, record a root mate, undo.
#include <cstring>

#include "mate/mate_nodes.h"

namespace halvane {

namespace {

MoveRecord record_of(int from, int mover, int to, int placed, int taken) {
  MoveRecord m;
  if (from >= 0) {
    m.from_col = col_of(from);
    m.from_row = row_of(from);
  }
  m.piece = mover;
  m.to_col = col_of(to);
  m.to_row = row_of(to);
  m.piece_after = placed;
  m.captured = taken;
  return m;
}

// Both defender passes below an attacker candidate at ply p; true when neither finds an escape.
bool proven_below_attack(MateSolver& s, int p) {
  for (int pass : {FIRST_PASS, SECOND_PASS}) {
    s.ply = p + 1;
    defender_node(s, pass);
    s.ply = p;
    s.proven[p] = s.proven[p + 1];
    if (!s.proven[p]) return false;
  }
  s.mate_len[p] = s.mate_len[p + 1];
  return true;
}

// Both attacker passes below a defender answer at ply p; leaves proven[p] 1 when either proves a mate.
void search_below_answer(MateSolver& s, int p) {
  for (int pass : {FIRST_PASS, SECOND_PASS}) {
    s.ply = p + 1;
    attacker_node(s, pass);
    s.ply = p;
    s.proven[p] = s.proven[p + 1];
    if (s.proven[p]) {
      s.mate_len[p] = s.mate_len[p + 1];
      return;
    }
  }
}

// A mate proved at the root. The mate thread goes on through every root move and keeps the shortest,
// the first in generation order among equals; the reply check stops at the first.
void root_mate(MateSolver& s, const MoveRecord& move) {
  if (s.reply_mode) {
    s.mate_move = move;
    return;
  }
  s.proven[0] = 0;
  if (s.mate_len[0] < s.best_mate_len) {
    s.best_mate_len = s.mate_len[0];
    s.mate_move = move;
  } else {
    s.mate_len[0] = s.best_mate_len;
  }
}

}  // namespace

bool capture_king(MateSolver& s, int from, int mover, int to, int placed) {
  const int p = s.ply;
  s.proven[p] = 1;
  s.mate_len[p] = p;
  if (p == 0) {
    s.mate_move = record_of(from, mover, to, placed, SENTE_KING);
    s.best_mate_len = 0;
  }
  return true;
}

bool try_attacker_move(MateSolver& s, int from, int mover, int to, int placed, int taken) {
  const int p = s.ply;
  const int focus = p < 2 ? s.pos.king_sq[SENTE][p] : s.last_to_sq[p - 1];
  make_board_move_quiet(s.effects, s.pos, p, focus, from, to, placed);
  const EffectMaps& fx = s.effects;
  // Searched only when it gives check and belongs to this pass: the second pass takes the sacrifices,
  // non-captures onto a cell the defender attacks and no other attacker piece covers.
  if (fx.count[GOTE][s.pos.king_sq[SENTE][p]] > 0 && p < mate_depth_now(s)) {
    const bool sacrifice = taken == SQ_EMPTY && fx.count[SENTE][to] > 0 && fx.count[GOTE][to] <= 0;
    if (sacrifice == (s.pass_at[p] == SECOND_PASS) && proven_below_attack(s, p) && p == 0)
      root_mate(s, record_of(from, mover, to, placed, taken));
  }
  undo_board_move(s.effects, s.pos, p, from, to, mover, taken);
  return s.proven[p] != 0;
}

bool try_attacker_drop(MateSolver& s, int cell) {
  const int p = s.ply;
  // A drop is a sacrifice when the defender attacks the cell and the attacker does not cover it. Neither
  // count on the cell itself changes by the drop (its rays and steps start beside it), so a drop of the
  // other pass, which would be taken back unsearched, is not made at all.
  const bool sacrifice = s.effects.count[SENTE][cell] > 0 && s.effects.count[GOTE][cell] == 0;
  if (sacrifice != (s.pass_at[p] == SECOND_PASS)) return s.proven[p] != 0;
  s.last_to_sq[p] = cell;
  cut_rays_through(s.effects, p, s.pos, cell);
  add_piece_effects_quiet(s.effects, p, cell, s.pos, cell);
  const EffectMaps& fx = s.effects;
  if (fx.count[GOTE][s.pos.king_sq[SENTE][p]] > 0 && p < mate_depth_now(s)) {
    if (proven_below_attack(s, p) && p == 0) {
      const int code = s.pos.board[cell];
      root_mate(s, record_of(-1, code, cell, code, SQ_EMPTY));
    }
  }
  remove_piece_effects(s.effects, p, s.pos, cell);
  extend_rays_through(s.effects, p, s.pos, cell);
  return s.proven[p] != 0;
}

bool try_defender_move(MateSolver& s, int from, int mover, int to, int placed, int taken) {
  const int p = s.ply;
  // An answer that belongs to the other pass, or lies past the ply limit, would be made and taken back
  // unsearched, which changes nothing the solver reads: it is not made at all.
  if ((taken != SQ_EMPTY) != (s.pass_at[p] == FIRST_PASS) || p >= mate_depth_now(s)) return s.proven[p] == 0;
  make_board_move_quiet(s.effects, s.pos, p, s.last_to_sq[p - 1], from, to, placed);
  // Answers that leave the king attacked are never searched, so they never count as escapes. The
  // first pass takes the captures, the second the rest.
  if (s.effects.count[GOTE][s.pos.king_sq[SENTE][p]] == 0 && p < mate_depth_now(s) &&
      (taken != SQ_EMPTY) == (s.pass_at[p] == FIRST_PASS))
    search_below_answer(s, p);
  undo_board_move(s.effects, s.pos, p, from, to, mover, taken);
  return s.proven[p] == 0;
}

bool try_defender_drop(MateSolver& s, int cell, int kind) {
  const int p = s.ply;
  // The first pass takes the drops onto cells the attacker does not reach or the defender covers; the
  // drop changes neither count on its own cell, so a drop of the other pass is not made at all.
  const bool defended = s.effects.count[GOTE][cell] == 0 || s.effects.count[SENTE][cell] > 0;
  if (defended != (s.pass_at[p] == FIRST_PASS) || p >= mate_depth_now(s)) return s.proven[p] == 0;
  --s.pos.hand[SENTE][kind];
  s.pos.board[cell] = static_cast<uint8_t>(kind);
  s.last_to_sq[p] = cell;
  cut_rays_through(s.effects, p, s.pos, cell);
  add_piece_effects_quiet(s.effects, p, cell, s.pos, cell);
  const EffectMaps& fx = s.effects;
  if (fx.count[GOTE][s.pos.king_sq[SENTE][p]] == 0) search_below_answer(s, p);
  remove_piece_effects(s.effects, p, s.pos, cell);
  extend_rays_through(s.effects, p, s.pos, cell);
  s.pos.board[cell] = SQ_EMPTY;
  ++s.pos.hand[SENTE][kind];
  return s.proven[p] == 0;
}

}  // namespace halvane
