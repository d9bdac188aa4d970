// drop_search: the effects, interest and scoring of a drop that already stands on its cell, the search
// of its reply, and taking its effects back. The root refuses a pawn drop that mates.
#include <bit>
#include <cstdint>
#include <cstdlib>

#include "search/search.h"

namespace halvane {

namespace {

// The reply to the human's drop: the computer's node one ply down; a drop that beats the ply's best
// becomes it, remembered unless it is the ply's first.
void sente_drop_reply(Engine& e, int p, int cell, int code) {
  e.ply = p + 1;
  gote_node(e);
  e.ply = p;
  e.ply_eval[p] += e.ply_best[p + 1];
  if (e.ply_eval[p] > e.ply_best[p]) {
    if (e.ply_best[p] != SENTE_NOTHING_YET) remember_drop(e, p, cell, code);
    e.ply_best[p] = e.ply_eval[p];
    const MoveRecord drop{-1, -1, code, col_of(cell), row_of(cell), code, SQ_EMPTY};
    if (p == 1) e.reply_best = drop;
    pv_take(e, p, drop);
  }
}

bool lands_undefended(const Engine& e, int side, int cell) {
  return e.effects.count[1 - side][cell] > 0 && e.effects.count[side][cell] == 0;
}

// From ply 2 (the computer's drops) and ply 3 (the human's) a drop is searched only for a strong reason:
// a line the other side's last move opened, a pawn's own rule, or a threat code of at least
// INTEREST_STRONG, none of which counts once the piece lands undefended on an attacked cell. The counts
// on the cell itself do not change by the drop, and its threat code is told without making it.
bool drop_goes_unsearched(Engine& e, int cell, int code) {
  const int p = e.ply;
  const EffectMaps& fx = e.effects;
  const int side = side_of(code), other = 1 - side;
  if (p < (side == GOTE ? 2 : 3)) return false;
  if (fx.delta_rays[other][p - 1][cell] != 0 && fx.count[side][cell] > 0) return false;
  if (lands_undefended(e, side, cell)) return true;
  if ((code & 7) == PAWN) {
    const int ahead = e.pos.board[side == GOTE ? cell + 16 : cell - 16];
    const bool pawn_rule = side == GOTE ? ahead == KNIGHT || ahead == SILVER || cell >= 0x80
                                        : ahead == KNIGHT + GOTE_BIT || ahead == SILVER + GOTE_BIT || cell <= 0x70;
    if (pawn_rule) return false;
  }
  return drop_threat(fx, e.pos, cell, last_to_sq(e, p - 1)) < INTEREST_STRONG;
}

void gote_drop_search(Engine& e, int cell, int code) {
  const int p = e.ply;
  EffectMaps& fx = e.effects;
  const int kind = code & 7;
  int interest = 0;
  // 2. A pawn that hits a knight or silver, or stands deep in the human's half, is worth a look.
  if (kind == PAWN) {
    const int ahead = e.pos.board[cell + 16];
    if (ahead == KNIGHT || ahead == SILVER || cell >= 0x80) interest = INTEREST_STRONG;
  }
  if (p == 0) {
    // 3. Every root drop is searched.
    interest = INTEREST_ROOT_DROP;
    add_piece_effects_quiet(fx, p, last_to_sq(e, 0), e.pos, cell);
    e.ply_eval[0] += draw_noise(e) % 10;
    if (lands_undefended(e, GOTE, cell)) e.ply_eval[0] += 100;
  } else {
    // 4. Below the root an undefended drop onto an attacked cell is never searched.
    interest |= add_piece_effects(fx, p, last_to_sq(e, p - 1), e.pos, cell);
    if (lands_undefended(e, GOTE, cell)) interest = 0;
  }
  // 5. A cell on a line the human's last move opened, which the computer defends.
  if (p >= 1 && fx.delta_rays[SENTE][p - 1][cell] != 0 && fx.count[GOTE][cell] > 0) interest |= INTEREST_STRONG;
  // 6. The reply.
  if (interest >= INTEREST_RULE && p < e.depth_limit && (p < 2 || interest >= INTEREST_STRONG)) {
    e.ply = p + 1;
    sente_node(e);
    e.ply = p;
    e.ply_eval[p] += e.ply_best[p + 1];
    // A pawn drop that mates is no move of the root's.
    if (p == 0 && !e.stop_cut && !(kind == PAWN && e.ply_eval[0] <= ROOT_PAWN_DROP_MATE))
      note_root_value(e, {-1, -1, code, col_of(cell), row_of(cell), code, SQ_EMPTY}, e.ply_eval[0]);
    // At the root, a reply tree cut by an outside stop has no value.
    if (e.ply_eval[p] < e.ply_best[p] && !(p == 0 && e.stop_cut)) {
      const MoveRecord drop{-1, -1, code, col_of(cell), row_of(cell), code, SQ_EMPTY};
      if (p == 0) {
        // The human's king falls at ply 2 after a root pawn drop: a mate by dropping a pawn, which the
        // rules forbid. The drop is left out.
        if (kind == PAWN && e.ply_eval[0] <= ROOT_PAWN_DROP_MATE) {
          e.ply_eval[0] = e.ply_best[0];
        } else {
          e.result_move = drop;
          e.result_reply = e.reply_best;
          e.root_has_move.store(1, std::memory_order_relaxed);
          pv_take(e, 0, drop);
        }
      } else {
        if (e.ply_best[p] != GOTE_NOTHING_YET) remember_drop(e, p, cell, code);
        pv_take(e, p, drop);
      }
      e.ply_best[p] = e.ply_eval[p];
    }
  }
  // 7. Take the effects back.
  remove_piece_effects(fx, p, e.pos, cell);
  extend_rays_through(fx, p, e.pos, cell);
}

void sente_drop_search(Engine& e, int cell, int code) {
  const int p = e.ply;
  EffectMaps& fx = e.effects;
  const int kind = code & 7;
  int interest = 0;
  // 2. Pawn bonus, mirrored.
  if (kind == PAWN) {
    const int ahead = e.pos.board[cell - 16];
    if (ahead == KNIGHT + GOTE_BIT || ahead == SILVER + GOTE_BIT || cell <= 0x70) interest = INTEREST_STRONG;
  }
  if (p == 1) {
    // 3. Right after the root move.
    interest |= add_piece_effects(fx, p, last_to_sq(e, 0), e.pos, cell);
    if (fx.delta_rays[GOTE][0][cell] != 0) interest |= INTEREST_RULE;
    if (lands_undefended(e, SENTE, cell)) {
      if (interest >= INTEREST_CHECK) {
        // A checking knight drop backed by a ray on the cell ahead is a real threat.
        e.ply_eval[1] += kind == KNIGHT && fx.rays[SENTE][cell - 16] != 0 ? 500 : -100;
        interest = INTEREST_RULE;
      } else {
        e.ply_eval[1] -= 100;
        interest = interest > 0 ? INTEREST_RULE : 0;
      }
    } else {
      interest = interest > 0 ? INTEREST_RULE : 0;
    }
  } else {
    // 4. Deeper.
    interest |= add_piece_effects(fx, p, last_to_sq(e, p - 1), e.pos, cell);
    if (lands_undefended(e, SENTE, cell)) interest = 0;
  }
  // 5. A cell on a line the computer's last move opened, which the human defends.
  if (fx.delta_rays[GOTE][p - 1][cell] != 0 && fx.count[SENTE][cell] > 0) interest |= INTEREST_STRONG;
  // 6. Deeper plies want a strong reason; ply 3 weighs the kings' surroundings.
  if (p >= 3) {
    if (interest < INTEREST_STRONG) interest = 0;
    if (p == 3) e.ply_eval[3] += king_safety(e);
  }
  // 7. The reply.
  if (interest >= INTEREST_RULE && p < e.depth_limit) sente_drop_reply(e, p, cell, code);
  // 8. Take the effects back.
  remove_piece_effects(fx, p, e.pos, cell);
  extend_rays_through(fx, p, e.pos, cell);
}

}  // namespace

void drop_search(Engine& e, int cell) {
  const int code = e.pos.board[cell];
  // Where the ply writes no deltas, a drop that would be taken back unsearched leaves nothing behind, so
  // it is not put into the maps at all.
  if (e.ply >= e.effects.delta_plies && drop_goes_unsearched(e, cell, code)) return;
  // A searched drop of the human past ply 3 whose reply only looks for recaptures. The drop changes no
  // count or ray on its own cell; of what the reply reads it changes only GOTE's count on the human's
  // king, by cutting GOTE's rays over the cell. When GOTE attacks neither, the reply runs on the maps as
  // they stand, whose two counts read are already the drop's.
  const int p = e.ply;
  EffectMaps& fx = e.effects;
  if (p > 3 && !(code & GOTE_BIT) && reply_reads(e, p) == REPLY_READS_RECAPTURE_CELLS) {
    const int king = e.pos.king_sq[SENTE][p];
    if (fx.count[GOTE][cell] == 0 && fx.count[GOTE][king] == 0) {
      // Nothing attacks the piece just dropped or the king: the recapture node reads those two counts only.
      sente_drop_reply(e, p, cell, code);
      return;
    }
    // When the ply after the recaptures only scores the human's, they are not made either, so the drop
    // need not be: GOTE's count on the king is set as the cut would leave it for the reply.
    if (reply_reads(e, p + 1) == REPLY_READS_DESTINATION) {
      const int8_t king_count = fx.count[GOTE][king];
      int after = king_count;
      for (uint32_t bits = fx.rays[GOTE][cell]; bits != 0; bits &= bits - 1) {
        const int d = DIR_STEP[std::countr_zero(bits)];
        for (int c = cell + d;; c += d) {
          if (c == king) --after;
          if (e.pos.board[c] != SQ_EMPTY) break;
        }
      }
      fx.count[GOTE][king] = static_cast<int8_t>(after);
      sente_drop_reply(e, p, cell, code);
      fx.count[GOTE][king] = king_count;
      return;
    }
  }
  cut_rays_through(e.effects, e.ply, e.pos, cell);   // 1. the new piece ends every ray that passed here
  if (code & GOTE_BIT) gote_drop_search(e, cell, code);
  else sente_drop_search(e, cell, code);
}

}  // namespace halvane
