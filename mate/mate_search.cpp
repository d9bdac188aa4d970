// The mate search proper: the attacker and defender nodes with their two passes, the mate thread's run
// (both passes at the root, the shortest mate kept, a pawn-drop mate in one refused) and the reply check
// that asks, on the rotated position, whether the human could force mate.
#include "mate/mate_search.h"

#include <cstring>

#include "mate/mate_nodes.h"

namespace halvane {

namespace {

// The line has come back to the root position: same king square, same hands, same board.
bool back_at_root(const MateSolver& s) {
  return s.pos.board[s.root_king_sq[SENTE]] == SENTE_KING &&
         std::memcmp(s.pos.hand, s.root_hand, sizeof s.root_hand) == 0 &&
         std::memcmp(s.pos.board + FIRST_CELL, s.root_board + FIRST_CELL, LAST_CELL - FIRST_CELL + 1) == 0;
}

void copy_king_stacks_from_parent(MateSolver& s, int p) {
  s.pos.king_sq[SENTE][p] = s.pos.king_sq[SENTE][p - 1];
  s.pos.king_sq[GOTE][p] = s.pos.king_sq[GOTE][p - 1];
}

}  // namespace

void attacker_node(MateSolver& s, int pass) {
  const int p = s.ply;
  if (++s.nodes == s.node_hook_at) s.node_hook(s);
  s.proven[p] = 0;
  if (p >= mate_depth_now(s)) return;
  // 1. A line of checks that only returns to the start proves nothing.
  if (!s.reply_mode && p >= 4 && back_at_root(s)) return;
  if (pass == FIRST_PASS) s.mate_len[p] = p;
  s.pass_at[p] = pass;
  if (p >= 2) copy_king_stacks_from_parent(s, p);
  // 2. Checks in generation order; the first proved one decides (the mate thread's root goes on).
  generate_checks(s);
}

void defender_node(MateSolver& s, int pass) {
  const int p = s.ply;
  if (++s.nodes == s.node_hook_at) s.node_hook(s);
  s.proven[p] = 0;
  // 1. At the limit the defender has escaped.
  if (p >= mate_depth_now(s)) return;
  // 2. The attacker's last move left its own king attacked: it was no move.
  if (s.effects.count[SENTE][s.pos.king_sq[GOTE][p - 1]] > 0) return;
  if (pass == FIRST_PASS) s.mate_len[p] = p;
  s.pass_at[p] = pass;
  // 3. Lost unless some answer escapes.
  s.proven[p] = 1;
  copy_king_stacks_from_parent(s, p);
  generate_evasions(s);
}

void arm_mate_solver(MateSolver& s, int depth) {
  s.mate_found.store(0, std::memory_order_relaxed);
  s.proven[0] = 0;
  s.base_depth.store(depth, std::memory_order_relaxed);
  s.depth_limit.store(depth, std::memory_order_relaxed);
}

void run_mate_search(MateSolver& s) {
  s.reply_mode = false;
  s.nodes = 0;
  // 1. No answer yet.
  s.mate_found.store(0, std::memory_order_relaxed);
  s.proven[0] = 0;
  s.best_mate_len = NO_MATE_LEN;
  // 2, 3. Kings (NO_KING for a side without one: an attacker's king that is never in check) and per-ply
  // state.
  fill_king_stacks(s.pos);
  for (int ply = 0; ply < MAX_PLY; ++ply) {
    s.proven[ply] = 0;
    s.pass_at[ply] = SECOND_PASS;
    s.mate_len[ply] = 100;
  }
  // 4. The root position, for the repetition test.
  std::memcpy(s.root_board, s.pos.board, BOARD_CELLS);
  std::memcpy(s.root_hand, s.pos.hand, sizeof s.root_hand);
  s.root_king_sq[SENTE] = s.pos.king_sq[SENTE][0];
  s.root_king_sq[GOTE] = s.pos.king_sq[GOTE][0];
  // Without a defending king there is nothing to check, let alone mate. The defender's king never
  // leaves the board below (a move onto it is recorded as the mate, never made), so the root decides.
  if (!has_king(s.pos, SENTE, 0)) return;
  // 5, 6. Both passes at the root. Only a king capture at the root leaves proven[0] at 1 after the first.
  for (int pass : {FIRST_PASS, SECOND_PASS}) {
    if (pass == SECOND_PASS && s.proven[0]) break;
    s.depth_limit.store(s.base_depth.load(std::memory_order_relaxed), std::memory_order_relaxed);
    rebuild_effects(s.effects, s.pos);
    s.effects.delta_plies = 0;   // the mate solver never reads the per-ply deltas
    s.ply = 0;
    attacker_node(s, pass);
  }
  // 7, 8. Any mate kept at the root?
  if (s.best_mate_len != NO_MATE_LEN) s.proven[0] = 1;
  if (s.proven[0] != 1) return;
  // 9. A pawn dropped to mate at once is against the rules.
  if (s.mate_move.is_drop() && s.mate_move.piece == PAWN + GOTE_BIT && s.mate_len[0] < 2) return;
  // The answer is final: publish it after mate_move and mate_len[0].
  s.mate_found.store(1, std::memory_order_release);
}

int reply_probe(MateSolver& s, const uint8_t board[BOARD_CELLS], const uint8_t sente_hand[8],
                const uint8_t gote_hand[8]) {
  s.proven[0] = 0;
  std::memcpy(s.pos.board, board, BOARD_CELLS);
  std::memcpy(s.pos.hand[SENTE], sente_hand, 8);
  std::memcpy(s.pos.hand[GOTE], gote_hand, 8);
  // The human's pieces become the GOTE pieces, so the attacker's code asks for the human's mate. The
  // turn refills both king stacks from the rotated kings (NO_KING for a side without one).
  rotate_position(s.pos, s.saved_board);
  return run_reply_check(s);
}

int run_reply_check(MateSolver& s) {
  s.reply_mode = true;
  std::memset(s.proven, 0, sizeof s.proven);
  // The computer without a king (a mate problem's attacker) cannot be mated.
  if (!has_king(s.pos, SENTE, 0)) return 0;
  s.depth_limit.store(s.base_depth.load(std::memory_order_relaxed), std::memory_order_relaxed);
  rebuild_effects(s.effects, s.pos);
  s.effects.delta_plies = 0;
  s.ply = 0;
  attacker_node(s, FIRST_PASS);
  // Every move has been taken back, so the second pass needs no rebuild.
  if (!s.proven[0]) attacker_node(s, SECOND_PASS);
  return s.proven[0];
}

}  // namespace halvane
