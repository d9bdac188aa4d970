// Take back and resignation: each stops the computer first, then changes the record so that it stays a
// game a KIF file can tell (a resignation stands on the turn of whoever resigns), and the last-move
// highlight shows the move that led to the position on the board.
#include "app/game_commands.h"

#include "app/game_end.h"
#include "app/record_play.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "app/ui.h"

namespace halvane {

namespace {

void refuse(GameState& gs, Engine& e, const char16_t* text) {
  set_status(gs.view, text);
  repaint(gs, e);
}

}  // namespace

void take_back(GameState& gs, Engine& e) {
  if (!gs.flags.started) return refuse(gs, e, u"対局が始まっていないので待ったはできません。");
  stop_computer(gs, e);
  // The player's last move: the move on the board on the computer's turn (or the foul that ended the
  // game), the one before it on the player's turn, after the computer's answer.
  const GameRecord& r = gs.game.record;
  int node = gs.game.cursor;
  if (player_to_move(gs) && node > 0) node = r.nodes[node].parent;
  if (node <= 0) return refuse(gs, e, u"これ以上は待ったできません。");

  withdraw_move(gs, node);
  gs.input.selection = 0;
  gs.view.score_shown = NO_SCORE;   // the evaluation was of a move that has left the record
  gs.view.show_last_move = gs.game.cursor > 0 ? 1 : 0;
  gs.flags.input_busy = false;
  if (gs.flags.paused) {
    gs.flags.paused = false;
    set_button_caption(5, u"||");
  }
  set_status(gs.view, u"待ったしました。");
  repaint(gs, e);
}

void resign(GameState& gs, Engine& e) {
  // On the computer's turn the player's last move is taken back, so that the resignation stands on the
  // player's turn: a record tells who resigned by whose turn it is. There must be such a move.
  if (!gs.flags.started || game_over(gs) || (!player_to_move(gs) && gs.game.cursor == 0))
    return refuse(gs, e, u"今は投了できません。");
  if (message_box(u"投了しますか？", u"投了", BOX_QUESTION, BOX_YES_NO) != ANSWER_YES) return;
  stop_computer(gs, e);
  if (game_over(gs)) return;   // the game ended while the box was up
  if (!player_to_move(gs)) withdraw_move(gs, gs.game.cursor);
  gs.input.selection = 0;
  end_game(gs, GAME_END_RESIGNED);
  set_status(gs.view, u"プレイヤーが投了しました。試合終了です。");
  repaint(gs, e);
}

}  // namespace halvane
