// Effect maps kept exact through every move: the per-kind add / remove routines, the ray cut and extend
// through a cell, the full rebuild, and the make / undo protocol that every searcher composes from them.
#include "engine/effects.h"

#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "engine/piece_moves.h"

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
// (code AND 15) standing on `cell`. One instance per piece code, so no kind test runs inside the walk.
template <int Side, int Kind, Op OP>
int piece_effects(EffectMaps& fx, int ply, int focus, const uint8_t* board, int cell) {
  constexpr PieceMoves K = PIECE_MOVES[Kind];
  constexpr int MY_KIND = Kind & 7;
  constexpr int INC = OP == Op::REMOVE ? -1 : 1;
  int32_t* const count = fx.count[Side];
  int32_t* const rays = fx.rays[Side];
  int32_t* const dcount = OP == Op::BUILD ? nullptr : fx.delta_count[Side][ply];
  int32_t* const drays = OP == Op::BUILD ? nullptr : fx.delta_rays[Side][ply];
  int threat = 0;

  // Single steps land whatever the target holds, wall included.
  for (int i = 0; i < K.n_steps; ++i) {
    const int t = cell + side_step(Side, Kind, i);
    count[t] += INC;
    if constexpr (OP != Op::BUILD) dcount[t] += INC;
    if constexpr (OP == Op::ADD) threat += contact_code<Side>(fx, board, t, focus, MY_KIND);
  }

  // A ray covers the empty cells beyond the piece and the first non-empty one; only that stop cell
  // counts towards the threat code.
  for (int j = 0; j < K.n_lines; ++j) {
    const int dir = side_line(Side, Kind, j);
    const int d = DIR_STEP[dir];
    const int32_t bit = ray_bit(dir);
    int t = cell + d;
    for (;;) {
      count[t] += INC;
      if constexpr (OP == Op::REMOVE) {
        rays[t] &= ~bit;
        dcount[t] -= 1;
        drays[t] &= ~bit;
      } else {
        rays[t] |= bit;
        if constexpr (OP != Op::BUILD) {
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

// One routine per piece code 0..31: bit 16 picks the side, the low four bits the kind.
template <Op OP, int... C>
constexpr std::array<EffectFn, 32> effect_table(std::integer_sequence<int, C...>) {
  return {&piece_effects<(C & GOTE_BIT) ? GOTE : SENTE, C & 15, OP>...};
}
constexpr auto ADD_EFFECTS = effect_table<Op::ADD>(std::make_integer_sequence<int, 32>{});
constexpr auto RESTORE_EFFECTS = effect_table<Op::RESTORE>(std::make_integer_sequence<int, 32>{});
constexpr auto REMOVE_EFFECTS = effect_table<Op::REMOVE>(std::make_integer_sequence<int, 32>{});
constexpr auto BUILD_EFFECTS = effect_table<Op::BUILD>(std::make_integer_sequence<int, 32>{});

// Walks every ray of either side that reaches `cell` on beyond it, one cell past each until a non-empty
// one: shortening (cut) or lengthening (extend) it.
template <bool EXTEND>
inline void rays_through(EffectMaps& fx, int ply, const uint8_t* board, int cell) {
  for (int side = 0; side < 2; ++side) {
    uint32_t bits = static_cast<uint32_t>(fx.rays[side][cell]);
    if (bits == 0) continue;
    int32_t* const count = fx.count[side];
    int32_t* const rays = fx.rays[side];
    int32_t* const dcount = fx.delta_count[side][ply];
    int32_t* const drays = fx.delta_rays[side][ply];
    do {
      const int dir = std::countr_zero(bits);
      bits &= bits - 1;
      const int d = DIR_STEP[dir];
      const int32_t bit = ray_bit(dir);
      int t = cell + d;
      for (;;) {
        if constexpr (EXTEND) {
          count[t] += 1;
          rays[t] |= bit;
          dcount[t] += 1;
          drays[t] |= bit;
        } else {
          count[t] -= 1;
          rays[t] &= ~bit;
          dcount[t] -= 1;
          drays[t] &= ~bit;
        }
        if (board[t] != SQ_EMPTY) break;
        t += d;
      }
    } while (bits != 0);
  }
}

}  // namespace

void rebuild_effects(EffectMaps& fx, const EnginePosition& pos) {
  std::memset(&fx, 0, sizeof fx);
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
  return ADD_EFFECTS[code & 31](fx, ply, focus, pos.board, cell);
}

void add_piece_effects_quiet(EffectMaps& fx, int ply, int focus, const EnginePosition& pos, int cell) {
  fx.cur_ply = ply;
  fx.focus = focus;
  const int code = pos.board[cell];
  if (code >= SQ_EMPTY) return;
  RESTORE_EFFECTS[code & 31](fx, ply, focus, pos.board, cell);
}

void remove_piece_effects(EffectMaps& fx, int ply, const EnginePosition& pos, int cell) {
  const int code = pos.board[cell];
  if (code >= SQ_EMPTY) return;
  REMOVE_EFFECTS[code & 31](fx, ply, 0, pos.board, cell);
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

// The make protocol; THREAT says whether the caller reads the moved piece's threat code.
template <bool THREAT>
inline int make_board_move_with(EffectMaps& fx, EnginePosition& pos, int ply, int focus, int from, int to,
                                int piece_after) {
  const int captured = pos.board[to];
  // 1, 2. The mover's old effects and the captured piece's effects go, walked over the board as it was.
  remove_piece_effects(fx, ply, pos, from);
  remove_piece_effects(fx, ply, pos, to);
  // 3. Rays that stopped on the mover go on, while `to` still holds the captured piece to stop them.
  extend_rays_through(fx, ply, pos, from);
  // 4. The board; a captured piece enters the mover's hand demoted.
  pos.board[from] = SQ_EMPTY;
  pos.board[to] = static_cast<uint8_t>(piece_after);
  if (captured == SQ_EMPTY) {
    // 5. Rays that passed over the empty destination now end on the mover.
    cut_rays_through(fx, ply, pos, to);
  } else {
    ++pos.hand[side_of(piece_after)][hand_kind(captured)];
  }
  // 6. The mover's new effects.
  if constexpr (THREAT) return add_piece_effects(fx, ply, focus, pos, to);
  add_piece_effects_quiet(fx, ply, focus, pos, to);
  return 0;
}

}  // namespace

int make_board_move(EffectMaps& fx, EnginePosition& pos, int ply, int focus, int from, int to, int piece_after) {
  return make_board_move_with<true>(fx, pos, ply, focus, from, to, piece_after);
}

void make_board_move_quiet(EffectMaps& fx, EnginePosition& pos, int ply, int focus, int from, int to,
                           int piece_after) {
  make_board_move_with<false>(fx, pos, ply, focus, from, to, piece_after);
}

void undo_board_move(EffectMaps& fx, EnginePosition& pos, int ply, int from, int to, int piece, int captured) {
  // 1, 2. The mover's effects on the destination go; rays it stopped go on when nothing is put back.
  remove_piece_effects(fx, ply, pos, to);
  if (captured == SQ_EMPTY) extend_rays_through(fx, ply, pos, to);
  // 3. The board, then 4. rays over the old square end on the mover again.
  pos.board[to] = static_cast<uint8_t>(captured);
  pos.board[from] = static_cast<uint8_t>(piece);
  cut_rays_through(fx, ply, pos, from);
  // 5. The captured piece comes back out of the hand, 6. then the mover's effects.
  add_piece_effects_quiet(fx, ply, UNDO_FOCUS, pos, to);
  if (captured != SQ_EMPTY) --pos.hand[side_of(piece)][hand_kind(captured)];
  add_piece_effects_quiet(fx, ply, UNDO_FOCUS, pos, from);
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
