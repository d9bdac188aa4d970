// Effect maps kept exact through every move: the per-kind add / remove routines, the ray cut and extend
// through a cell, the full rebuild, and the make / undo protocol that every searcher composes from them.
#include "core/effects.h"

#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "core/piece_moves.h"

namespace halvane {

namespace {

// What a routine does to the maps: a rebuild only counts, an addition also writes the ply's deltas and
// sums the threat code, a restore writes what an addition writes without the threat code (an undo drops
// it), a removal undoes an addition.
enum class Op { BUILD, ADD, RESTORE, REMOVE };

// The threat contribution of one contact cell of a piece of `Side` with kind `my_kind` (code AND 7).
template <int Side>
inline int contact_code(const EffectMaps& fx, const uint8_t* board, int t, int focus, int my_kind) {
  constexpr int ENEMY = Side ^ 1;
  constexpr int ENEMY_KING = Side == SENTE ? GOTE_KING : SENTE_KING;
  const int code = board[t];
  if (code == SQ_WALL) return 0;
  if (code == ENEMY_KING) return 0x1000;
  const int defended = fx.count[ENEMY][t] > 0 ? 16 : 0;
  if (code == SQ_EMPTY || side_of(code) == Side) return defended;
  return 0xC0 + defended + (t == focus ? 128 : 0) + (my_kind < (code & 7) ? 64 : 0);
}

// Adds, removes or (for a rebuild) counts every effect of one piece of side `Side` and kind `Kind`
// (code AND 15) standing on `cell`; DELTAS says whether the ply's deltas are written too. One instance
// per piece code, so no kind test runs inside the walk.
template <int Side, int Kind, Op OP, bool DELTAS>
int piece_effects(EffectMaps& fx, int ply, int focus, const uint8_t* board, int cell) {
  constexpr PieceMoves K = PIECE_MOVES[Kind];
  constexpr int MY_KIND = Kind & 7;
  constexpr int INC = OP == Op::REMOVE ? -1 : 1;
  constexpr bool WRITE_DELTAS = DELTAS && OP != Op::BUILD;
  int8_t* const count = fx.count[Side];
  uint8_t* const rays = fx.rays[Side];
  int8_t* const dcount = WRITE_DELTAS ? fx.delta_count[Side][ply] : nullptr;
  uint8_t* const drays = WRITE_DELTAS ? fx.delta_rays[Side][ply] : nullptr;
  int threat = 0;

  // Single steps land whatever the target holds, wall included.
  for (int i = 0; i < K.n_steps; ++i) {
    const int t = cell + side_step(Side, Kind, i);
    count[t] += INC;
    if constexpr (WRITE_DELTAS) dcount[t] += INC;
    if constexpr (OP == Op::ADD) threat += contact_code<Side>(fx, board, t, focus, MY_KIND);
  }

  // A ray covers the empty cells beyond the piece and the first non-empty one; only that stop cell
  // counts towards the threat code.
  for (int j = 0; j < K.n_lines; ++j) {
    const int dir = side_line(Side, Kind, j);
    const int d = DIR_STEP[dir];
    const uint8_t bit = static_cast<uint8_t>(ray_bit(dir));
    int t = cell + d;
    for (;;) {
      count[t] += INC;
      if constexpr (OP == Op::REMOVE) {
        rays[t] &= ~bit;
        if constexpr (WRITE_DELTAS) {
          dcount[t] -= 1;
          drays[t] &= ~bit;
        }
      } else {
        rays[t] |= bit;
        if constexpr (WRITE_DELTAS) {
          dcount[t] += 1;
          drays[t] |= bit;
        }
      }
      if (board[t] != SQ_EMPTY) break;
      t += d;
    }
    if constexpr (OP == Op::ADD) threat += contact_code<Side>(fx, board, t, focus, MY_KIND);
  }
  return threat;
}

using EffectFn = int (*)(EffectMaps&, int, int, const uint8_t*, int);

// One routine per piece code 0..31: bit 16 picks the side, the low four bits the kind. Entry 32 + code
// is the same routine writing the ply's deltas.
template <Op OP, int... C>
constexpr std::array<EffectFn, 64> effect_table(std::integer_sequence<int, C...>) {
  return {&piece_effects<(C & GOTE_BIT) ? GOTE : SENTE, C & 15, OP, (C & 32) != 0>...};
}
constexpr auto ADD_EFFECTS = effect_table<Op::ADD>(std::make_integer_sequence<int, 64>{});
constexpr auto RESTORE_EFFECTS = effect_table<Op::RESTORE>(std::make_integer_sequence<int, 64>{});
constexpr auto REMOVE_EFFECTS = effect_table<Op::REMOVE>(std::make_integer_sequence<int, 64>{});
constexpr auto BUILD_EFFECTS = effect_table<Op::BUILD>(std::make_integer_sequence<int, 32>{});

// The table index of the piece code `code` at `ply`: the delta-writing routine while the ply keeps deltas.
inline int effect_index(const EffectMaps& fx, int ply, int code) {
  return (code & 31) | (ply < fx.delta_plies ? 32 : 0);
}

// Walks every ray of either side that reaches `cell` on beyond it, one cell past each until a non-empty
// one: shortening (cut) or lengthening (extend) it.
template <bool EXTEND, bool DELTAS>
inline void rays_through_with(EffectMaps& fx, int ply, const uint8_t* board, int cell) {
  for (int side = 0; side < 2; ++side) {
    uint32_t bits = fx.rays[side][cell];
    if (bits == 0) continue;
    int8_t* const count = fx.count[side];
    uint8_t* const rays = fx.rays[side];
    int8_t* const dcount = fx.delta_count[side][ply];
    uint8_t* const drays = fx.delta_rays[side][ply];
    do {
      const int dir = std::countr_zero(bits);
      bits &= bits - 1;
      const int d = DIR_STEP[dir];
      const uint8_t bit = static_cast<uint8_t>(ray_bit(dir));
      int t = cell + d;
      for (;;) {
        if constexpr (EXTEND) {
          count[t] += 1;
          rays[t] |= bit;
          if constexpr (DELTAS) {
            dcount[t] += 1;
            drays[t] |= bit;
          }
        } else {
          count[t] -= 1;
          rays[t] &= ~bit;
          if constexpr (DELTAS) {
            dcount[t] -= 1;
            drays[t] &= ~bit;
          }
        }
        if (board[t] != SQ_EMPTY) break;
        t += d;
      }
    } while (bits != 0);
  }
}

template <bool EXTEND>
inline void rays_through(EffectMaps& fx, int ply, const uint8_t* board, int cell) {
  if (ply < fx.delta_plies) rays_through_with<EXTEND, true>(fx, ply, board, cell);
  else rays_through_with<EXTEND, false>(fx, ply, board, cell);
}

}  // namespace

void rebuild_effects(EffectMaps& fx, const EnginePosition& pos) {
  std::memset(&fx, 0, sizeof fx);
  fx.delta_plies = DELTA_PLIES;
  for (int row = 0; row < 9; ++row) {
    for (int col = 0; col < 9; ++col) {
      const int cell = cell_of(col, row);
      const int code = pos.board[cell];
      if (code < SQ_EMPTY) BUILD_EFFECTS[code & 31](fx, 0, 0, pos.board, cell);
    }
  }
}

int add_piece_effects(EffectMaps& fx, int ply, int focus, const EnginePosition& pos, int cell) {
  fx.cur_ply = ply;
  fx.focus = focus;
  const int code = pos.board[cell];
  if (code >= SQ_EMPTY) return 0;
  return ADD_EFFECTS[effect_index(fx, ply, code)](fx, ply, focus, pos.board, cell);
}

void add_piece_effects_quiet(EffectMaps& fx, int ply, int focus, const EnginePosition& pos, int cell) {
  fx.cur_ply = ply;
  fx.focus = focus;
  const int code = pos.board[cell];
  if (code >= SQ_EMPTY) return;
  RESTORE_EFFECTS[effect_index(fx, ply, code)](fx, ply, focus, pos.board, cell);
}

void remove_piece_effects(EffectMaps& fx, int ply, const EnginePosition& pos, int cell) {
  const int code = pos.board[cell];
  if (code >= SQ_EMPTY) return;
  REMOVE_EFFECTS[effect_index(fx, ply, code)](fx, ply, 0, pos.board, cell);
}

// The bit on `cell` itself stays: the ray now ends on the piece just put there.
void cut_rays_through(EffectMaps& fx, int ply, const EnginePosition& pos, int cell) {
  rays_through<false>(fx, ply, pos.board, cell);
}

// The board at `cell` itself is not read, so this may run before or after the cell is emptied.
void extend_rays_through(EffectMaps& fx, int ply, const EnginePosition& pos, int cell) {
  rays_through<true>(fx, ply, pos.board, cell);
}

namespace {

// The per-code routines at a cell for a make or undo whose ply is known to write deltas (D) or not.
template <bool D>
inline void remove_at(EffectMaps& fx, int ply, const uint8_t* board, int cell) {
  const int code = board[cell];
  if (code < SQ_EMPTY) REMOVE_EFFECTS[(code & 31) | (D ? 32 : 0)](fx, ply, 0, board, cell);
}
template <bool D>
inline void restore_at(EffectMaps& fx, int ply, int focus, const uint8_t* board, int cell) {
  const int code = board[cell];
  if (code < SQ_EMPTY) RESTORE_EFFECTS[(code & 31) | (D ? 32 : 0)](fx, ply, focus, board, cell);
}

// The make protocol; THREAT says whether the caller reads the moved piece's threat code.
template <bool THREAT, bool D>
inline int make_board_move_with(EffectMaps& fx, EnginePosition& pos, int ply, int focus, int from, int to,
                                int piece_after) {
  const int captured = pos.board[to];
  // 1, 2. The mover's old effects and the captured piece's effects go, walked over the board as it was.
  remove_at<D>(fx, ply, pos.board, from);
  remove_at<D>(fx, ply, pos.board, to);
  // 3. Rays that stopped on the mover go on, while `to` still holds the captured piece to stop them.
  rays_through_with<true, D>(fx, ply, pos.board, from);
  // 4. The board; a captured piece enters the mover's hand demoted.
  pos.board[from] = SQ_EMPTY;
  pos.board[to] = static_cast<uint8_t>(piece_after);
  if (captured == SQ_EMPTY) {
    // 5. Rays that passed over the empty destination now end on the mover.
    rays_through_with<false, D>(fx, ply, pos.board, to);
  } else {
    ++pos.hand[side_of(piece_after)][hand_kind(captured)];
  }
  // 6. The mover's new effects.
  fx.cur_ply = ply;
  fx.focus = focus;
  if constexpr (THREAT) return ADD_EFFECTS[(piece_after & 31) | (D ? 32 : 0)](fx, ply, focus, pos.board, to);
  restore_at<D>(fx, ply, focus, pos.board, to);
  return 0;
}

template <bool D>
inline void undo_board_move_with(EffectMaps& fx, EnginePosition& pos, int ply, int from, int to, int piece,
                                 int captured) {
  // 1, 2. The mover's effects on the destination go; rays it stopped go on when nothing is put back.
  remove_at<D>(fx, ply, pos.board, to);
  if (captured == SQ_EMPTY) rays_through_with<true, D>(fx, ply, pos.board, to);
  // 3. The board, then 4. rays over the old square end on the mover again.
  pos.board[to] = static_cast<uint8_t>(captured);
  pos.board[from] = static_cast<uint8_t>(piece);
  rays_through_with<false, D>(fx, ply, pos.board, from);
  // 5. The captured piece comes back out of the hand, 6. then the mover's effects.
  fx.cur_ply = ply;
  fx.focus = UNDO_FOCUS;
  restore_at<D>(fx, ply, UNDO_FOCUS, pos.board, to);
  if (captured != SQ_EMPTY) --pos.hand[side_of(piece)][hand_kind(captured)];
  restore_at<D>(fx, ply, UNDO_FOCUS, pos.board, from);
}

}  // namespace

int make_board_move(EffectMaps& fx, EnginePosition& pos, int ply, int focus, int from, int to, int piece_after) {
  if (ply < fx.delta_plies) return make_board_move_with<true, true>(fx, pos, ply, focus, from, to, piece_after);
  return make_board_move_with<true, false>(fx, pos, ply, focus, from, to, piece_after);
}

void make_board_move_quiet(EffectMaps& fx, EnginePosition& pos, int ply, int focus, int from, int to,
                           int piece_after) {
  if (ply < fx.delta_plies) make_board_move_with<false, true>(fx, pos, ply, focus, from, to, piece_after);
  else make_board_move_with<false, false>(fx, pos, ply, focus, from, to, piece_after);
}

void undo_board_move(EffectMaps& fx, EnginePosition& pos, int ply, int from, int to, int piece, int captured) {
  if (ply < fx.delta_plies) undo_board_move_with<true>(fx, pos, ply, from, to, piece, captured);
  else undo_board_move_with<false>(fx, pos, ply, from, to, piece, captured);
}

namespace {

// The other side's effects on `t` after the move from -> to (to empty before it), from the maps before it.
// The make changes them twice: rays of theirs that stopped on `from` go on over the board with `to` still
// empty, then every ray of theirs over `to` (those just extended included) ends there.
class EnemyCountAfter {
 public:
  EnemyCountAfter(const EffectMaps& fx, const uint8_t* board, int enemy, int from, int to, int piece_after)
      : fx_(fx), board_(board), enemy_(enemy), from_(from), to_(to), piece_after_(piece_after) {
    // The ray bits on `to` when the cut runs: its own, plus each extended ray that reached it.
    to_bits_ = fx.rays[enemy][to];
    for (uint32_t bits = fx.rays[enemy][from]; bits != 0; bits &= bits - 1) {
      const int dir = std::countr_zero(bits);
      for (int c = from + DIR_STEP[dir];; c += DIR_STEP[dir]) {
        if (c == to) to_bits_ |= 1u << dir;
        if (board[c] != SQ_EMPTY && c != to) break;
      }
    }
  }
  int at(int t) const {
    int n = fx_.count[enemy_][t];
    for (uint32_t bits = fx_.rays[enemy_][from_]; bits != 0; bits &= bits - 1) {
      const int d = DIR_STEP[std::countr_zero(bits)];
      for (int c = from_ + d;; c += d) {
        if (c == t) ++n;
        if (board_[c] != SQ_EMPTY && c != to_) break;
      }
    }
    for (uint32_t bits = to_bits_; bits != 0; bits &= bits - 1) {
      const int d = DIR_STEP[std::countr_zero(bits)];
      for (int c = to_ + d;; c += d) {
        if (c == t) --n;
        if (after(c) != SQ_EMPTY) break;
      }
    }
    return n;
  }
  // The ray bits on `to` after the move: the cut leaves them there, the rays now ending on the mover.
  uint32_t rays_on_to() const { return to_bits_; }
  // The board after the move.
  int after(int c) const { return c == from_ ? SQ_EMPTY : c == to_ ? piece_after_ : board_[c]; }

 private:
  const EffectMaps& fx_;
  const uint8_t* board_;
  int enemy_, from_, to_, piece_after_;
  uint32_t to_bits_;
};

}  // namespace

bool quiet_move_threat_is_zero(const EffectMaps& fx, const EnginePosition& pos, int from, int to, int piece_after) {
  const int side = side_of(piece_after);
  const int kind = piece_after & 15;
  const EnemyCountAfter enemy(fx, pos.board, side ^ 1, from, to, piece_after);
  // A touched cell adds nothing when it is a wall, or empty or own and not attacked by the other side;
  // anything else (the other side's king or piece, an attacked cell) makes the code positive.
  auto adds_nothing = [&](int t) {
    const int code = enemy.after(t);
    if (code == SQ_WALL) return true;
    if (code != SQ_EMPTY && side_of(code) != side) return false;
    return enemy.at(t) <= 0;
  };
  const SideMoves& k = SIDE_MOVES[side][kind];
  for (int i = 0; i < k.n_steps; ++i)
    if (!adds_nothing(to + side_step(side, kind, i))) return false;
  for (int j = 0; j < k.n_lines; ++j) {
    const int d = DIR_STEP[side_line(side, kind, j)];
    int t = to + d;
    while (enemy.after(t) == SQ_EMPTY) t += d;
    if (!adds_nothing(t)) return false;
  }
  return true;
}

OtherSideAfter other_side_after_quiet_move(const EffectMaps& fx, const EnginePosition& pos, int from, int to,
                                           int piece_after, int cell) {
  const EnemyCountAfter enemy(fx, pos.board, side_of(piece_after) ^ 1, from, to, piece_after);
  return {enemy.at(to), static_cast<int>(enemy.rays_on_to()), enemy.at(cell)};
}

// The make takes the captured piece's effects away (a ray of its own stopped on `from` included), then lets
// the other side's rays still stopped on `from` go on until the first occupied cell, `to` at the latest;
// nothing passes over `to`, which stays occupied.
OtherSideAfter other_side_after_capture(const EffectMaps& fx, const EnginePosition& pos, int from, int to, int cell) {
  const uint8_t* board = pos.board;
  const int enemy = side_of(board[to]);
  OtherSideAfter after{fx.count[enemy][to], fx.rays[enemy][to], fx.count[enemy][cell]};
  // The captured piece's effects, walked over the board before the move.
  const int kind = board[to] & 15;
  const SideMoves& k = SIDE_MOVES[enemy][kind];
  for (int i = 0; i < k.n_steps; ++i)
    if (to + side_step(enemy, kind, i) == cell) --after.count_cell;
  uint32_t own_ray_on_from = 0;
  for (int j = 0; j < k.n_lines; ++j) {
    const int dir = side_line(enemy, kind, j);
    for (int c = to + DIR_STEP[dir];; c += DIR_STEP[dir]) {
      if (c == cell) --after.count_cell;
      if (c == from) own_ray_on_from = ray_bit(dir);
      if (board[c] != SQ_EMPTY) break;
    }
  }
  for (uint32_t bits = fx.rays[enemy][from] & ~own_ray_on_from; bits != 0; bits &= bits - 1) {
    const int dir = std::countr_zero(bits);
    for (int c = from + DIR_STEP[dir];; c += DIR_STEP[dir]) {
      if (c == to) {
        ++after.count_to;
        after.rays_to |= ray_bit(dir);
      }
      if (c == cell) ++after.count_cell;
      if (board[c] != SQ_EMPTY) break;
    }
  }
  return after;
}

int drop_threat(const EffectMaps& fx, const EnginePosition& pos, int cell, int focus) {
  const uint8_t* board = pos.board;
  const int code = board[cell];
  const int side = side_of(code), enemy = side ^ 1;
  const int kind = code & 15, my_kind = code & 7;
  const int enemy_king = side == SENTE ? GOTE_KING : SENTE_KING;
  const uint32_t cut_bits = fx.rays[enemy][cell];
  // The other side's effects on `t` once its rays over `cell` end there.
  auto enemy_count = [&](int t) {
    int n = fx.count[enemy][t];
    for (uint32_t bits = cut_bits; bits != 0; bits &= bits - 1) {
      const int d = DIR_STEP[std::countr_zero(bits)];
      for (int c = cell + d;; c += d) {
        if (c == t) --n;
        if (board[c] != SQ_EMPTY) break;
      }
    }
    return n;
  };
  // The same contribution as contact_code gives.
  auto contact = [&](int t) {
    const int target = board[t];
    if (target == SQ_WALL) return 0;
    if (target == enemy_king) return 0x1000;
    const int defended = enemy_count(t) > 0 ? 16 : 0;
    if (target == SQ_EMPTY || side_of(target) == side) return defended;
    return 0xC0 + defended + (t == focus ? 128 : 0) + (my_kind < (target & 7) ? 64 : 0);
  };
  const SideMoves& k = SIDE_MOVES[side][kind];
  int threat = 0;
  for (int i = 0; i < k.n_steps; ++i) threat += contact(cell + side_step(side, kind, i));
  for (int j = 0; j < k.n_lines; ++j) {
    const int d = DIR_STEP[side_line(side, kind, j)];
    int t = cell + d;
    while (board[t] == SQ_EMPTY) t += d;
    threat += contact(t);
  }
  return threat;
}

int make_drop(EffectMaps& fx, EnginePosition& pos, int ply, int focus, int cell, int code) {
  --pos.hand[side_of(code)][hand_kind(code)];
  pos.board[cell] = static_cast<uint8_t>(code);
  cut_rays_through(fx, ply, pos, cell);
  return add_piece_effects(fx, ply, focus, pos, cell);
}

void undo_drop(EffectMaps& fx, EnginePosition& pos, int ply, int cell) {
  const int code = pos.board[cell];
  remove_piece_effects(fx, ply, pos, cell);
  extend_rays_through(fx, ply, pos, cell);
  pos.board[cell] = SQ_EMPTY;
  ++pos.hand[side_of(code)][hand_kind(code)];
}

}  // namespace halvane
