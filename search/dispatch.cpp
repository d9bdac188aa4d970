// The gate every generated board move passes: the remembered-move filter (try_move), then king
// captures, refused destinations, the base delta and the routing by the ply's mode (dispatch_move).
#include <cstdlib>

#include "search/search.h"

namespace halvane {

namespace {

// An own piece or a wall on the destination (SQ_WALL carries GOTE_BIT); a king of the other side is not.
inline bool refused_destination(int side, int captured) {
  return side == GOTE ? (captured & GOTE_BIT) != 0 : captured == SQ_WALL || (captured & (GOTE_BIT | SQ_EMPTY)) == 0;
}

}  // namespace

bool try_move(Engine& e, int from, int piece, int to, int piece_after, int captured) {
  // A refused destination ends here as it would in dispatch_move, before the remembered-move filter.
  if (refused_destination(side_of(piece), captured)) return false;
  // Remembered moves were tried before generation began; they are not searched twice. A slot whose key
  // differs cannot hold this move; the rest are compared field by field.
  const int p = e.ply;
  const uint32_t key = killer_key(from, to, piece, piece_after);
  const uint32_t* const keys = e.killer_keys[p];
  const int width = e.killer_width[p];
  if (!key_in_slots(keys, width, key)) return dispatch_move(e, from, piece, to, piece_after, captured);
  const int rays = e.effects.rays[side_of(piece)][to];
  const auto& k = e.killers;
  for (int i = 0; i < width; ++i) {
    if (keys[i] != key) continue;
    if (k[K_FROM_COL][p][i] == -1) continue;
    if (cell_of(k[K_FROM_COL][p][i], k[K_FROM_ROW][p][i]) == from &&
        cell_of(k[K_TO_COL][p][i], k[K_TO_ROW][p][i]) == to && k[K_PIECE][p][i] == piece &&
        k[K_PIECE_AFTER][p][i] == piece_after && k[K_CAPTURED][p][i] == captured &&
        k[K_DEST_RAYS][p][i] == rays)
      return false;
  }
  return dispatch_move(e, from, piece, to, piece_after, captured);
}

// The base delta of a move, from SENTE's point of view: a promotion gains its side 300 for a pawn and a
// sixth of the piece's value otherwise; a knight that stays unpromoted costs its side 15.
static int base_delta(const Engine& e, int side, int piece, int piece_after) {
  const int sign = side == GOTE ? 1 : -1;
  if (piece_after == piece) return kind_of(piece) == KNIGHT ? 15 * sign : 0;
  if (kind_of(piece) == PAWN) return -300 * sign;
  return sign * (e.capture_value[piece & 7] / 6);
}

bool dispatch_move(Engine& e, int from, int piece, int to, int piece_after, int captured) {
  const int p = e.ply;
  const int side = side_of(piece);
  // 1. King capture: the line is decided, the nearer the better for the capturer. The move before it
  //    left its king to be taken, and leaves the line with it.
  if (side == GOTE && captured == SENTE_KING) {
    e.ply_best[p] = p * KING_CAPTURE_PER_PLY - KING_VALUE;
    if (p == 0) {
      e.result_move = {col_of(from), row_of(from), piece, col_of(to), row_of(to), piece_after, captured};
      e.result_reply = MoveRecord{};
      note_root_value(e, e.result_move, e.ply_best[0]);
      pv_single(e, 0, e.result_move);
    } else {
      pv_refute_last(e, p);
    }
    return true;
  }
  if (side == SENTE && captured == GOTE_KING) {
    e.ply_best[p] = KING_VALUE - p * KING_CAPTURE_PER_PLY;
    if (p == 1) e.reply_best = {col_of(from), row_of(from), piece, col_of(to), row_of(to), piece_after, captured};
    pv_refute_last(e, p);
    return true;
  }
  // 2. An own piece or a wall on the destination (SQ_WALL carries GOTE_BIT).
  if (refused_destination(side, captured)) return false;
  // 3. Base delta, 4. the destination.
  e.ply_eval[p] = base_delta(e, side, piece, piece_after);
  last_to_sq(e, p) = to;
  // 5. The ply's mode chooses how the move is made and whether its reply is searched.
  const int mode = e.ply_mode[p];
  // Even modes belong to GOTE plies and odd ones to SENTE plies.
  if (mode >= MODE_ROOT && mode <= MODE_RECAPTURE && (mode & 1) == (side == GOTE ? 0 : 1)) {
    switch (mode) {
      case MODE_ROOT: return make_root_move(e, from, piece, to, piece_after, captured);
      case MODE_FULL: return make_full_move(e, from, piece, to, piece_after, captured);
      case MODE_GOTE_A: case MODE_SENTE_A: return make_selective_move(e, TEST_A, from, piece, to, piece_after, captured);
      case MODE_GOTE_B: case MODE_SENTE_B: return make_selective_move(e, TEST_B, from, piece, to, piece_after, captured);
      case MODE_GOTE_C: case MODE_SENTE_C: return make_selective_move(e, TEST_C, from, piece, to, piece_after, captured);
      case MODE_RECAPTURE: return make_capture_move(e, from, piece, to, piece_after, captured);
    }
  }
  // A ply without a variant ends its node with 0.
  e.ply_best[p] = 0;
  pv_start(e, p);
  return true;
}

}  // namespace halvane
