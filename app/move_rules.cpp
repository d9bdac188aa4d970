// The player's move against the rules, the reason a move is refused, and the computer's claim of a foul.
#include "app/move_rules.h"

#include "app/game_end.h"

namespace halvane {

const char16_t* refusal_text(MoveVerdict verdict) {
  switch (verdict) {
    case MOVE_OK: return u"";
    case MOVE_LEAVES_KING: return u"王手を放置する手は指せません。";
    case MOVE_PAWN_DROP_MATE: return u"打ち歩詰めは指せません。";
    case MOVE_SECOND_PAWN: return u"二歩は指せません。";
    default: return u"その手は指せません。";
  }
}

bool claim_player_foul(GameState& gs) {
  const GameRecord& r = gs.game.record;
  if (gs.game.cursor == 0) return false;
  const RecordNode& n = r.nodes[gs.game.cursor];
  const SfenPosition before = position_at(r, n.parent);
  if (before.side_to_move != gs.game.player_side) return false;
  const MoveVerdict verdict = judge_move(before, n.move);
  if (verdict == MOVE_OK) return false;
  // The foul stays in the record, and the computer, to move after it, wins by it.
  end_game(gs, GAME_END_FOUL_WIN);
  if (verdict == MOVE_LEAVES_KING) set_status(gs.view, u"王手放置の反則負けです。試合終了です。");
  if (verdict == MOVE_PAWN_DROP_MATE) set_status(gs.view, u"打ち歩詰めの反則負けです。試合終了です。");
  return true;
}

}  // namespace halvane
