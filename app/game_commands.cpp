// Take back and resignation: each stops the computer first, then sets the record and the turn so that
// the record stays a game a KIF file can tell (its last slot the position on the turn of whoever is to
// move), and the last-move highlight shows the computer's move that led to the position on screen.
#include "app/game_commands.h"

#include <chrono>
#include <thread>

#include "app/record_slots.h"
#include "app/render.h"
#include "app/turn_monitor.h"
#include "app/ui.h"
#include "think/think_ahead.h"

namespace halvane {

namespace {

// Record slot k is a position with the player to move.
bool player_slot(const GameState& gs, int k) { return (k % 2 == 0) == (gs.record.player_is_gote == 0); }

void refuse(GameState& gs, Engine& e, const char16_t* text) {
  set_status(gs.view, text);
  repaint(gs, e);
}

// Shows slot k as the game's last position, the player to move, with the computer's move into it
// highlighted.
void continue_from(GameState& gs, int k) {
  gs.record.current = k;
  gs.record.length = k;
  show_slot(gs.record, k);
  gs.input.selection = 0;
  gs.view.score_shown = NO_SCORE;   // the evaluation was of a move that has left the record
  forget_last_move(gs.view);
  gs.view.show_last_move = 0;
  MoveRecord move;
  int differences = 0;
  if (k >= 1 && slot_move(gs, k - 1, move, differences) == SLOT_MOVE) {
    gs.view.last_move = move;
    gs.view.show_last_move = 1;
  }
  gs.flags.player_to_move = true;
}

}  // namespace

void stop_computer(GameState& gs, Engine& e) {
  // The flag first: a think that ends from here on is thrown away, and no new one starts.
  gs.flags.abandon_think = true;
  if (gs.flags.thinking) {
    stop_think(e);
    if (gs.flags.ahead) think_ahead_stop(*gs.flags.ahead);   // also the think the game may be waiting for
    // A stopped think ends within milliseconds; the monitor then clears `thinking` with the record whole.
    while (gs.flags.thinking) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (gs.flags.ahead) think_ahead_cancel(*gs.flags.ahead);
  clear_stop(e);
  gs.flags.abandon_think = false;
}

void take_back(GameState& gs, Engine& e) {
  if (!gs.flags.started) return refuse(gs, e, u"対局が始まっていないので待ったはできません。");
  stop_computer(gs, e);
  // The position before the player's last move: after a foul that move has left the record already; on
  // the computer's turn the player's move is the last one; on the player's turn the computer's answer
  // comes after it.
  const int current = gs.record.current;
  int target = current - 2;
  if (gs.flags.game_over && gs.flags.end_reason == GAME_END_FOUL)
    target = current;
  else if (!player_slot(gs, current))
    target = current - 1;
  if (target < 0 || gs.record.length < 0) return refuse(gs, e, u"これ以上は待ったできません。");

  continue_from(gs, target);
  gs.flags.end_reason = GAME_END_NONE;
  gs.flags.game_over = false;
  gs.flags.unsaved = true;
  gs.flags.input_busy = false;   // a game held at the record limit takes clicks again
  if (gs.flags.paused) {
    gs.flags.paused = false;
    set_button_caption(5, u"||");
  }
  gs.view.refresh_count = 0;
  set_status(gs.view, u"待ったしました。");
  repaint(gs, e);
}

void resign(GameState& gs, Engine& e) {
  // On the computer's turn the player's last move is taken back, so that the resignation stands on the
  // player's turn: a record tells who resigned by whose turn it is. There must be such a move.
  if (!gs.flags.started || gs.flags.game_over || (!gs.flags.player_to_move && gs.record.current < 1))
    return refuse(gs, e, u"今は投了できません。");
  if (message_box(u"投了しますか？", u"投了", BOX_QUESTION, BOX_YES_NO) != ANSWER_YES) return;
  stop_computer(gs, e);
  if (gs.flags.game_over) return;   // the game ended while the box was up
  if (!player_slot(gs, gs.record.current))
    continue_from(gs, gs.record.current - 1);
  else
    gs.record.length = gs.record.current;   // a resignation in an earlier position of the record ends it there
  gs.input.selection = 0;
  gs.flags.unsaved = true;
  end_game(gs, GAME_END_RESIGNED);
  set_status(gs.view, u"プレイヤーが投了しました。試合終了です。");
  repaint(gs, e);
}

}  // namespace halvane
