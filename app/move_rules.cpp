// The player's move against the legal-move list, and the reason a move that is not on it is refused.
#include "app/move_rules.h"

#include "app/record_sfen.h"
#include "app/record_slots.h"
#include "think/legal_moves.h"

namespace halvane {

const char16_t* fault_text(MoveFault fault) {
  switch (fault) {
    case MOVE_LEAVES_KING: return u"王手を放置する手は指せません。";
    case MOVE_PAWN_DROP_MATE: return u"打ち歩詰めは指せません。";
    case MOVE_OTHER_FAULT: return u"その手は指せません。";
    default: return u"";
  }
}

MoveFault player_move_fault(Engine& scratch, const GameState& gs, const MoveRecord& move) {
  const SfenPosition before = screen_position_player_to_move(gs);
  if (is_legal_move(scratch, before, move)) return MOVE_LEGAL;
  // After the move the computer is to move: if it attacks the player's king, the move left it attacked.
  SfenPosition after = before;
  apply_move(after, move);
  if (opponent_king_attacked(scratch, after)) return MOVE_LEAVES_KING;
  MoveRecord replies[MAX_LEGAL_MOVES];
  if (move.is_drop() && move.piece == PAWN && legal_moves(scratch, after, replies) == 0) return MOVE_PAWN_DROP_MATE;
  return MOVE_OTHER_FAULT;
}

bool pawn_drop_mate_played(Engine& scratch, const GameState& gs) {
  const int k = gs.record.current;
  if (k < 1) return false;
  MoveRecord last;
  int differences = 0;
  if (slot_move(gs, k - 1, last, differences) != SLOT_MOVE || !last.is_drop() || last.piece_after != PAWN) return false;
  SfenPosition now = screen_position_player_to_move(gs);
  now.side_to_move = WHITE;
  MoveRecord replies[MAX_LEGAL_MOVES];
  return legal_moves(scratch, now, replies) == 0;
}

}  // namespace halvane
