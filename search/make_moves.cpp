// The make variants of the board moves: each makes the move on the board, hands and effect maps, adds
// its evaluation terms, decides whether to search the reply, keeps the node's best and takes the move
// back. They return the node's cutoff test (the root never cuts).
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>

#include "search/search.h"

namespace halvane {

namespace {

// Runs the reply node one ply down and adds its value to this ply's running evaluation.
void search_reply(Engine& e, int p, int side) {
  e.ply = p + 1;
  if (side == GOTE) sente_node(e); else gote_node(e);
  e.ply = p;
  e.ply_eval[p] += e.ply_best[p + 1];
}

// The reply to a move that is not made: only its two board cells change (the caller has set the map
// cells the reply reads), and are put back after.
void search_reply_unmade(Engine& e, int p, int side, int from, int piece, int to, int piece_after, int captured) {
  e.pos.board[from] = SQ_EMPTY;
  e.pos.board[to] = static_cast<uint8_t>(piece_after);
  search_reply(e, p, side);
  e.pos.board[to] = static_cast<uint8_t>(captured);
  e.pos.board[from] = static_cast<uint8_t>(piece);
}

bool improves(const Engine& e, int side, int p) {
  return side == GOTE ? e.ply_eval[p] < e.ply_best[p] : e.ply_eval[p] > e.ply_best[p];
}

int nothing_yet(int side) { return side == GOTE ? GOTE_NOTHING_YET : SENTE_NOTHING_YET; }

// A searched move that beats the ply's best becomes it, and is remembered unless it is the ply's first.
void keep_if_better(Engine& e, int side, int p, int from, int piece, int to, int piece_after, int captured,
                    int dest_rays) {
  if (!improves(e, side, p)) return;
  if (e.ply_best[p] != nothing_yet(side)) remember_board_move(e, p, from, piece, to, piece_after, captured, dest_rays);
  e.ply_best[p] = e.ply_eval[p];
  const MoveRecord move{col_of(from), row_of(from), piece, col_of(to), row_of(to), piece_after, captured};
  if (p == 1) e.reply_best = move;
  pv_take(e, p, move);
}

// The ray bit of the line leading from a cell to the cell (difference + 256) further along it; 0 off every line.
constexpr std::array<uint8_t, 512> line_bits() {
  std::array<uint8_t, 512> bits{};
  for (int dir = 0; dir < 8; ++dir)
    for (int k = 1; k <= 8; ++k) bits[256 + k * DIR_STEP[dir]] = static_cast<uint8_t>(ray_bit(dir));
  return bits;
}
constexpr auto LINE_BITS = line_bits();

// Whether every cell strictly between `from` and `to` is empty; `line` is LINE_BITS of the pair, 0 for a
// knight's jump, which nothing blocks.
bool open_between(const uint8_t* board, int from, int to, uint8_t line) {
  if (line == 0) return true;
  const int d = DIR_STEP[std::countr_zero(line)];
  for (int c = from + d; c != to; c += d)
    if (board[c] != SQ_EMPTY) return false;
  return true;
}

// A non-capture landing where the opponent attacks and nobody of the mover's defends costs the mover 100.
int undefended_landing(const Engine& e, int side, int to) {
  const int o = 1 - side;
  if (e.effects.count[o][to] > 0 && e.effects.count[side][to] == 0) return side == GOTE ? 100 : -100;
  return 0;
}

// A recapture that beats the computer's best at ply p becomes it.
void take_recapture_if_better(Engine& e, int p, int from, int piece, int to, int piece_after, int captured) {
  if (e.ply_eval[p] >= e.ply_best[p]) return;
  e.ply_best[p] = e.ply_eval[p];
  pv_take(e, p, {col_of(from), row_of(from), piece, col_of(to), row_of(to), piece_after, captured});
}

}  // namespace

bool make_root_move(Engine& e, int from, int piece, int to, int piece_after, int captured) {
  const int p = e.ply;
  // 1. A little noise so that equal lines do not always give the same game.
  e.ply_eval[p] += draw_noise(e) % 10;
  // 2. Make the move; a capture's value.
  make_board_move_quiet(e.effects, e.pos, p, last_to_sq(e, p - 1), from, to, piece_after);
  if (captured != SQ_EMPTY) e.ply_eval[p] += e.capture_value[captured & 31];
  // 3. Undefended landing.
  else e.ply_eval[p] += undefended_landing(e, GOTE, to);
  // 4. The book's hint, the reply, the best.
  if (p < e.depth_limit) {
    const MoveRecord& hint = e.book_hint.move;
    if (hint.from_col == col_of(from) && hint.from_row == row_of(from) && hint.piece == piece &&
        hint.to_col == col_of(to) && hint.to_row == row_of(to) && hint.piece_after == piece_after &&
        hint.captured == captured)
      e.ply_eval[p] += e.book_hint.hint_score;
    search_reply(e, p, GOTE);
    if (p == 0 && !e.stop_cut)
      note_root_value(e, {col_of(from), row_of(from), piece, col_of(to), row_of(to), piece_after, captured},
                      e.ply_eval[0]);
    // A reply tree cut by an outside stop has no value: the root keeps what it had.
    if (e.ply_eval[p] < e.ply_best[p] && !e.stop_cut) {
      const MoveRecord move{col_of(from), row_of(from), piece, col_of(to), row_of(to), piece_after, captured};
      if (p == 0) {
        e.result_move = move;
        e.result_reply = e.reply_best;
        e.root_has_move.store(1, std::memory_order_relaxed);
      }
      e.ply_best[p] = e.ply_eval[p];
      pv_take(e, p, move);
    }
  }
  // 5. Undo; the root is never cut.
  undo_board_move(e.effects, e.pos, p, from, to, piece, captured);
  return false;
}

bool make_full_move(Engine& e, int from, int piece, int to, int piece_after, int captured) {
  const int p = e.ply;
  const int dest_rays = e.effects.rays[SENTE][to];
  make_board_move_quiet(e.effects, e.pos, p, last_to_sq(e, p - 1), from, to, piece_after);
  if (captured != SQ_EMPTY) e.ply_eval[p] += e.capture_value[captured & 31];
  else e.ply_eval[p] += undefended_landing(e, SENTE, to);
  if (p < e.depth_limit) {
    search_reply(e, p, SENTE);
    if (e.ply_eval[p] > e.ply_best[p]) {
      if (e.ply_best[p] != SENTE_NOTHING_YET)
        remember_board_move(e, p, from, piece, to, piece_after, captured, dest_rays);
      e.ply_best[p] = e.ply_eval[p];
      const MoveRecord move{col_of(from), row_of(from), piece, col_of(to), row_of(to), piece_after, captured};
      if (p == 1) e.reply_best = move;
      pv_take(e, p, move);
    }
  }
  undo_board_move(e.effects, e.pos, p, from, to, piece, captured);
  return sente_cutoff(e, p);
}

bool make_selective_move(Engine& e, SelectiveTest test, int from, int piece, int to, int piece_after,
                         int captured) {
  const int p = e.ply;
  const int s = side_of(piece), o = 1 - s;
  const EffectMaps& fx = e.effects;
  const int dest_rays = fx.rays[s][to];
  // 2. The variant's test, on the maps before the move. The opened-line rule: the destination lies on a
  //    line the opponent's last move opened, and the mover's side already defends it.
  const bool opened_line = fx.delta_rays[o][p - 1][to] != 0 && fx.count[s][to] > 0;
  int interest = 0;
  switch (test) {
    case TEST_A:
      if (kind_of(piece) == KING || piece_after != piece || from == last_to_sq(e, p - 2) ||
          fx.count[o][from] > 0 || opened_line)
        interest = INTEREST_RULE;
      break;
    case TEST_B:
      if (fx.count[o][from] > 0 || opened_line) interest = INTEREST_RULE;
      break;
    case TEST_C:
      if (fx.delta_count[o][p - 1][from] > 0 || opened_line) interest = INTEREST_STRONG;
      break;
  }
  // A move that nothing makes interesting is never searched and changes nothing once taken back. Where the
  // ply writes no deltas (whose leftovers an undo would change), such a move is not made at all.
  if (interest == 0 && captured == SQ_EMPTY && p >= fx.delta_plies &&
      quiet_move_threat_is_zero(fx, e.pos, from, to, piece_after))
    return side_cutoff(e, s, p);
  // A SENTE move whose reply only looks for recaptures is searched (a capture always, a quiet move whose
  // zero threat code did not end it just above). Its reply reads only the recapture cells, so the move is
  // not made; the king safety of MODE_SENTE_A reads every map, so there it is.
  if (s == SENTE && e.ply_mode[p] != MODE_SENTE_A && reply_reads(e, p) == REPLY_READS_RECAPTURE_CELLS) {
    const int king = e.pos.king_sq[SENTE][p];
    const OtherSideAfter gote = captured == SQ_EMPTY
                                    ? other_side_after_quiet_move(fx, e.pos, from, to, piece_after, king)
                                    : other_side_after_capture(fx, e.pos, from, to, king);
    const int capture_value = captured == SQ_EMPTY ? 0 : e.capture_value[captured & 31];
    if (gote.count_to <= 0 && gote.count_cell <= 0) {
      // Nothing attacks the piece just moved or the king: the recapture node reads those two counts only.
      e.ply_eval[p] += capture_value;
      EffectMaps& maps = e.effects;
      const int8_t king_count = maps.count[GOTE][king];
      const int8_t gote_count = maps.count[GOTE][to];
      maps.count[GOTE][king] = 0;
      maps.count[GOTE][to] = 0;
      search_reply(e, p, s);
      maps.count[GOTE][to] = gote_count;
      maps.count[GOTE][king] = king_count;
      keep_if_better(e, s, p, from, piece, to, piece_after, captured, dest_rays);
      return side_cutoff(e, s, p);
    }
    // Recaptures are not made either when the ply after them only scores the human's recapture; then
    // both sides' counts and rays on the destination are set too, which those replies read.
    if (reply_reads(e, p + 1) == REPLY_READS_DESTINATION) {
      EffectMaps& maps = e.effects;
      // SENTE on the destination: the mover's own effect there goes; a SENTE ray stopped on `from` and
      // pointing at `to` goes on to it, in the line the mover's own ray (if any) came along. A remembered
      // move whose line has since been blocked reaches neither, and changes nothing there.
      const uint8_t line = LINE_BITS[256 + to - from];
      int sente_count_to = maps.count[SENTE][to];
      int sente_rays_to = maps.rays[SENTE][to];
      if (open_between(e.pos.board, from, to, line)) {
        const uint8_t extended = maps.rays[SENTE][from] & line;
        sente_count_to += extended != 0 ? 0 : -1;
        sente_rays_to = (sente_rays_to & ~line) | extended;
      }
      // 4, 5. A capture's value, or an undefended landing.
      e.ply_eval[p] += capture_value;
      if (captured == SQ_EMPTY && gote.count_to > 0 && sente_count_to == 0) e.ply_eval[p] -= 100;
      const int8_t king_count = maps.count[GOTE][king];
      const int8_t gote_count = maps.count[GOTE][to];
      const uint8_t gote_rays = maps.rays[GOTE][to];
      const int8_t sente_count = maps.count[SENTE][to];
      const uint8_t sente_rays = maps.rays[SENTE][to];
      maps.count[GOTE][king] = static_cast<int8_t>(gote.count_cell);
      maps.count[GOTE][to] = static_cast<int8_t>(gote.count_to);
      maps.rays[GOTE][to] = static_cast<uint8_t>(gote.rays_to);
      maps.count[SENTE][to] = static_cast<int8_t>(sente_count_to);
      maps.rays[SENTE][to] = static_cast<uint8_t>(sente_rays_to);
      search_reply_unmade(e, p, s, from, piece, to, piece_after, captured);
      maps.rays[SENTE][to] = sente_rays;
      maps.count[SENTE][to] = sente_count;
      maps.rays[GOTE][to] = gote_rays;
      maps.count[GOTE][to] = gote_count;
      maps.count[GOTE][king] = king_count;
      keep_if_better(e, s, p, from, piece, to, piece_after, captured, dest_rays);
      return side_cutoff(e, s, p);
    }
  }
  // 3. Make the move; a capture is always interesting. 4. What the moved piece now touches, needed only
  //    while nothing else has made the move interesting (the threat code is never negative).
  int threat = 0;
  if (interest == 0 && captured == SQ_EMPTY)
    threat = make_board_move(e.effects, e.pos, p, last_to_sq(e, p - 1), from, to, piece_after);
  else
    make_board_move_quiet(e.effects, e.pos, p, last_to_sq(e, p - 1), from, to, piece_after);
  if (captured != SQ_EMPTY) {
    e.ply_eval[p] += e.capture_value[captured & 31];
    interest = INTEREST_CAPTURE;
  } else {
    // 5. Undefended landing.
    e.ply_eval[p] += undefended_landing(e, s, to);
  }
  interest |= threat;
  // 6. The human's king safety enters every move of ply 3, searched or not.
  if (s == SENTE && e.ply_mode[p] == MODE_SENTE_A) e.ply_eval[p] += king_safety(e);
  // 7. Only interesting moves count at all; the node's pass stands in for the others.
  if (interest > 0 && p < e.depth_limit) {
    search_reply(e, p, s);
    keep_if_better(e, s, p, from, piece, to, piece_after, captured, dest_rays);
  }
  // 8. Undo.
  undo_board_move(e.effects, e.pos, p, from, to, piece, captured);
  return side_cutoff(e, s, p);
}

bool make_capture_move(Engine& e, int from, int piece, int to, int piece_after, int captured) {
  const int p = e.ply;
  // A reply that reads only the destination is run on the move not made: the board and SENTE's count and
  // rays there are set as the make would leave them. A SENTE ray stopped on `from` and pointing at `to`
  // goes on over the path the recapturer just took and now reaches it.
  if (captured != SQ_EMPTY && reply_reads(e, p) == REPLY_READS_DESTINATION) {
    e.ply_eval[p] += e.capture_value[captured & 31];
    if (p < e.depth_limit) {
      EffectMaps& fx = e.effects;
      const uint8_t extended = fx.rays[SENTE][from] & LINE_BITS[256 + to - from];
      const int8_t count_before = fx.count[SENTE][to];
      const uint8_t rays_before = fx.rays[SENTE][to];
      if (extended != 0) {
        fx.count[SENTE][to] = static_cast<int8_t>(count_before + 1);
        fx.rays[SENTE][to] = static_cast<uint8_t>(rays_before | extended);
      }
      search_reply_unmade(e, p, GOTE, from, piece, to, piece_after, captured);
      fx.count[SENTE][to] = count_before;
      fx.rays[SENTE][to] = rays_before;
      take_recapture_if_better(e, p, from, piece, to, piece_after, captured);
    }
    return gote_cutoff(e, p);
  }
  make_board_move_quiet(e.effects, e.pos, p, last_to_sq(e, p - 1), from, to, piece_after);
  if (captured != SQ_EMPTY) {
    e.ply_eval[p] += e.capture_value[captured & 31];
    if (p < e.depth_limit) {
      search_reply(e, p, GOTE);
      take_recapture_if_better(e, p, from, piece, to, piece_after, captured);
    }
  }
  undo_board_move(e.effects, e.pos, p, from, to, piece, captured);
  return gote_cutoff(e, p);
}

}  // namespace halvane
