// The buttons and the game menu by command id: start and reset, a new game, navigation, pause, change of
// sides, the KIF files, take back and resignation; and the question about an unsaved game before a reset,
// a new game, a load or closing. Runs on the window thread; the turn monitor is woken after anything that
// may hand it the computer's turn.
#include "app/commands.h"

#include <cstring>

#include "app/game_commands.h"
#include "app/kif_file.h"
#include "app/navigation.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/turn_flow.h"
#include "app/turn_monitor.h"
#include "think/think_ahead.h"
#include "app/ui.h"

namespace halvane {

namespace {

void start_game(GameState& gs) {
  gs.flags.started = true;
  const bool sente = message_box(u"先手にしますか？", u"先手・後手の選択", BOX_QUESTION, BOX_YES_NO) == ANSWER_YES;
  gs.record.player_is_gote = sente ? 0 : 1;
  gs.flags.player_to_move = sente;   // as gote the computer's first move starts at once
  set_button_caption(CMD_START, u"初期化");
  gs.flags.game_over = false;
  gs.view.score_shown = NO_SCORE;   // nothing of an earlier game is shown
  gs.view.refresh_count = 0;
}

void reset_game(GameState& gs, Engine& e) {
  if (gs.flags.thinking && !gs.flags.game_over) {
    set_status(gs.view, u"コンピュータの思考中は戻せません。");
    repaint(gs, e);
    return;
  }
  gs.flags.started = false;
  copy_initial(gs.record, gs.record.board);
  std::memset(gs.record.hands, 0, sizeof gs.record.hands);
  gs.input.selection = 0;
  gs.view.show_last_move = 0;

  forget_last_move(gs.view);
  gs.view.score_shown = NO_SCORE;
  gs.flags.end_reason = GAME_END_NONE;

  gs.record.current = 0;
  gs.record.length = 0;
  for (int k = 0; k < RECORD_SLOTS; ++k) copy_initial(gs.record, gs.record.record_boards[k]);
  std::memset(gs.record.record_hands, 0, sizeof gs.record.record_hands);
  set_button_caption(CMD_START, u"開始");
  set_status(gs.view, TEXT_PRESS_START);
  gs.record.player_is_gote = 0;
  gs.flags.paused = false;
  gs.flags.thinking = false;
  gs.flags.player_to_move = true;
  gs.flags.game_over = false;
  gs.flags.end_reason = GAME_END_NONE;
  gs.flags.unsaved = false;
  // A game stopped at the record limit keeps input_busy set; a reset must give the board back.
  gs.flags.input_busy = false;
  gs.view.refresh_count = 0;
  repaint(gs, e);
}

void toggle_pause(GameState& gs) {
  if (gs.flags.paused) {
    gs.flags.paused = false;
    set_button_caption(CMD_PAUSE, u"||");
  } else {
    hold_computer(gs);
  }
}

// The player takes the other side of the same game: the whole record turns round.
void change_sides(GameState& gs, Engine& e) {
  if (!gs.flags.player_to_move) return;
  if (gs.record.length < 3) {
    message_box(u"反転させるには棋譜の手数が足りません。", u"失敗", BOX_WARNING, BOX_OK);
    return;
  }
  hold_computer(gs);
  rotate_record(gs.record);
  turn_by_parity(gs);
  gs.input.selection = 0;
  gs.view.show_last_move = 0;
  gs.view.score_shown = NO_SCORE;   // the evaluation was of the other side's position
  gs.view.refresh_count = 0;
  write_turn_status(gs);
  repaint(gs, e);
}

// What every command does first, under the turn lock: a think ahead stops (the think the game waits for
// is left alone: commands that would change the position refuse during a think).
void stop_thinking_ahead(GameState& gs) {
  if (gs.flags.ahead && !gs.flags.thinking) think_ahead_cancel(*gs.flags.ahead);
}

// A game with moves not yet saved: 保存 (through the save dialog), 保存しない or キャンセル. True when the
// command that asked may go on: nothing to save, saved, or the user lets the game go.
bool settle_unsaved_game(GameState& gs, Engine& e) {
  if (!gs.flags.unsaved || gs.record.length < KIF_SAVE_MIN_MOVES) return true;
  const BoxAnswer answer = message_box(u"対局を保存しますか？", u"対局の保存", BOX_QUESTION, BOX_SAVE_DISCARD_CANCEL);
  if (answer == ANSWER_NO) return true;
  if (answer != ANSWER_YES) return false;
  stop_computer(gs, e);   // the record must hold still while it is written; a stopped think starts again
  return save_kif(gs, e, true);
}

// 新規対局: what 初期化 and then 開始 do, the computer's think stopped first.
void new_game(GameState& gs, Engine& e) {
  if (!settle_unsaved_game(gs, e)) return;
  stop_computer(gs, e);
  reset_game(gs, e);
  start_game(gs);
}

}  // namespace

bool may_close(GameState& gs, Engine& e) {
  std::lock_guard<std::recursive_mutex> turn(turn_lock());
  return settle_unsaved_game(gs, e);
}

void on_command(GameState& gs, Engine& e, int id) {
  std::lock_guard<std::recursive_mutex> turn(turn_lock());
  stop_thinking_ahead(gs);
  switch (id & 0xFFFF) {
    case CMD_START:
      if (!gs.flags.started)
        start_game(gs);
      else if ((gs.flags.thinking && !gs.flags.game_over) || settle_unsaved_game(gs, e))
        reset_game(gs, e);   // during a think it refuses, without asking first
      break;
    case CMD_NEW_GAME: new_game(gs, e); break;
    case CMD_TAKE_BACK: take_back(gs, e); break;
    case CMD_RESIGN: resign(gs, e); break;
    case CMD_FIRST: go_first(gs, e); break;
    case CMD_BACK: go_back(gs, e); break;
    case CMD_FORWARD: go_forward(gs, e); break;
    case CMD_LAST: go_last(gs, e); break;
    case CMD_PAUSE: toggle_pause(gs); break;
    case CMD_LOAD_KIF:
      if (gs.flags.thinking || settle_unsaved_game(gs, e)) load_kif(gs, e);   // during a think it refuses
      break;
    case CMD_SAVE_KIF: save_kif(gs, e); break;
    case CMD_CHANGE_SIDES: change_sides(gs, e); break;
    default: break;   // the about box, the help page and closing the window are the window's own
  }
  wake_turn_threads();
}

void on_move_list_line(GameState& gs, Engine& e, int line) {
  {
    std::lock_guard<std::recursive_mutex> turn(turn_lock());
    stop_thinking_ahead(gs);
    go_to_slot(gs, e, line);
  }
  wake_turn_threads();
}

}  // namespace halvane
