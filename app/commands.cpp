// The buttons and the game menu by command id: start and reset, a new game, navigation, pause, change of
// sides and the view's flip, the KIF files, take back and resignation; and the question about an unsaved
// game before a reset, a new game, a load or closing. Runs on the window thread; the game goes on after
// anything that may hand the turn to the computer.
#include "app/commands.h"

#include "app/clipboard.h"
#include "app/engine_opponent.h"
#include "app/game_commands.h"
#include "app/game_start.h"
#include "app/kif_file.h"
#include "app/mate_search.h"
#include "app/navigation.h"
#include "app/position_editor.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/strength_choice.h"
#include "app/study.h"
#include "app/turn_flow.h"
#include "app/ui.h"
#include "kif/kif_start.h"
#include "kif/kif_write.h"
#include "think/think_ahead.h"

namespace halvane {

namespace {

void reset_game(GameState& gs, Engine& e) {
  if (gs.flags.thinking && !game_over(gs)) {
    set_status(gs.view, u"コンピュータの思考中は戻せません。");
    repaint(gs, e);
    return;
  }
  stop_computer(gs, e);
  gs.flags.started = false;
  gs.game.player_side = BLACK;
  gs.game.view_flipped = false;
  gs.game.own_game = true;
  take_record(gs, GameRecord{});
  gs.input.selection = 0;
  gs.view.show_last_move = 0;
  gs.view.score_shown = NO_SCORE;
  set_button_caption(CMD_START, u"開始");
  set_status(gs.view, TEXT_PRESS_START);
  gs.flags.paused = false;
  gs.flags.unsaved = false;
  gs.flags.input_busy = false;
  repaint(gs, e);
}

void toggle_pause(GameState& gs) {
  if (gs.flags.paused) {
    gs.flags.paused = false;
    set_button_caption(CMD_PAUSE, u"||");
    return;
  }
  hold_computer(gs);
  // The think under way goes on and plays; only the computer's next turn is held. Said, so that ■ never
  // reads as stopped.
  if (gs.flags.thinking) set_status(gs.view, TEXT_PAUSE_AFTER_THINK);
}

// 盤を反転させる: the player takes the other side of the same game at the position shown.
void change_sides(GameState& gs, Engine& e) {
  if (!player_to_move(gs) || gs.flags.thinking) return;
  if (shown_moves(gs) < 3) {
    message_box(u"反転させるには棋譜の手数が足りません。", u"失敗", BOX_WARNING, BOX_OK);
    return;
  }
  hold_computer(gs);
  gs.game.player_side ^= 1;
  show_position(gs);
  gs.input.selection = 0;
  gs.view.score_shown = NO_SCORE;   // the evaluation was of the other side's position
  write_turn_status(gs);
  repaint(gs, e);
}

// 盤面を反転表示: the board seen from the other side; the game (or the position edited) is untouched.
void flip_view(GameState& gs, Engine& e) {
  gs.game.view_flipped = !gs.game.view_flipped;
  gs.input.selection = 0;
  if (editing(gs))
    show_board(gs, gs.edit.position);
  else
    show_position(gs);
  repaint(gs, e);
}

// While a position is edited only the editor's own commands, 検討 and 詰み探索 on the edited position,
// the view's flip and the window's own (the about box, help, closing) are taken; anything else waits for
// 編集終了 or キャンセル.
bool taken_while_editing(int id) {
  return (id >= CMD_EDIT_POSITION && id <= CMD_EDIT_CLEAR) || id == CMD_STUDY_START || id == CMD_STUDY_STOP ||
         id == CMD_MATE_SEARCH || (id > CMD_STUDY_LINES && id <= CMD_STUDY_LINES + MAX_STUDY_LINES) ||
         id == CMD_FLIP_VIEW || id == CMD_ABOUT || id == CMD_HELP || id == CMD_EXIT;
}

// What every command does first: a think ahead stops (the think the game waits for is left alone:
// commands that would change the position refuse during a think, or stop it themselves).
void stop_thinking_ahead(GameState& gs) {
  if (gs.flags.ahead && !gs.flags.thinking) think_ahead_cancel(*gs.flags.ahead);
}

// A game with moves not yet saved: 保存 (through the save dialog), 保存しない or キャンセル; a game too short
// to be saved can only be let go or kept. True when the command that asked may go on.
bool settle_unsaved_game(GameState& gs, Engine& e) {
  if (!gs.flags.unsaved || gs.game.record.nodes.size() < 2) return true;
  if (main_line_moves(gs) < KIF_SAVE_MIN_MOVES)
    return message_box(u"この対局は手数が足りないため保存できません。\n保存せずに破棄しますか？", u"対局の保存", BOX_QUESTION,
                       BOX_YES_NO) == ANSWER_YES;
  const BoxAnswer answer = message_box(u"対局を保存しますか？", u"対局の保存", BOX_QUESTION, BOX_SAVE_DISCARD_CANCEL);
  if (answer == ANSWER_NO) return true;
  if (answer != ANSWER_YES) return false;
  stop_computer(gs, e);   // the record must hold still while it is written; the turn goes on afterwards
  return save_kif(gs, e, true);
}

// 新規対局 (and 開始): the dialog's 手合割, sides and level, then the game begun from its start, the
// computer's think stopped first; cancelled, nothing changes. Preset to 平手 with the player first at the
// level played so far.
void new_game(GameState& gs, Engine& e) {
  NewGameChoice choice;
  choice.level = gs.flags.strength ? strength_index(*gs.flags.strength) : -1;
  choice.clock = gs.clock.settings;
  EngineList& engines = study_of(gs).engines;
  for (const RegisteredEngine& engine : engines.engines) choice.engines.push_back(engine.name);
  choice.opponent = engines.opponent;
  if (!new_game_dialog(choice) || !settle_unsaved_game(gs, e)) return;
  stop_computer(gs, e);
  reset_game(gs, e);
  gs.clock.settings = choice.clock;   // this game's, and the next one 開始 begins
  if (choice.level >= 0 && choice.level < STRENGTH_COUNT) choose_strength(gs, *STRENGTHS[choice.level]);
  // The opponent chosen (the window's own think, or a registered engine), kept for the next game too.
  const bool engine_chosen = choice.opponent >= 0 && choice.opponent < static_cast<int>(engines.engines.size());
  engines.opponent = engine_chosen ? choice.opponent : -1;
  choose_engine_opponent(gs, engine_chosen ? &engines.engines[choice.opponent] : nullptr);
  GameRecord record;
  std::string unused;
  if (choice.handicap > 0 && choice.handicap < int(std::size(HANDICAPS)))
    parse_sfen(HANDICAPS[choice.handicap].sfen, record.start, unused);
  begin_game(gs, e, std::move(record), choice.player_side == 0 ? BLACK : WHITE);
}

// 局面をコピー, 棋譜をコピー: the text on the clipboard, said in the status line.
void copy_text(GameState& gs, Engine& e, const std::string& text, const char16_t* said) {
  set_clipboard_text(text);
  set_status(gs.view, said);
  repaint(gs, e);
}

}  // namespace

bool may_close(GameState& gs, Engine& e) {
  if (!settle_unsaved_game(gs, e)) return false;
  stop_computer(gs, e);
  stop_mate_search();
  study_stop(gs, e);
  close_analyst(gs);
  close_engine_opponent(gs);
  return true;
}

void on_command(GameState& gs, Engine& e, int id) {
  stop_thinking_ahead(gs);
  if (editing(gs) && !taken_while_editing(id & 0xFFFF)) {
    set_status(gs.view, u"編集終了かキャンセルで局面編集を終えてください。");
    repaint(gs, e);
    return;
  }
  switch (id & 0xFFFF) {
    case CMD_START:
      if (!gs.flags.started)
        new_game(gs, e);
      else if ((gs.flags.thinking && !game_over(gs)) || settle_unsaved_game(gs, e))
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
    case CMD_FLIP_VIEW: flip_view(gs, e); break;
    case CMD_COPY_POSITION: copy_text(gs, e, position_copy_text(gs), u"局面をコピーしました。"); break;
    case CMD_COPY_RECORD: copy_text(gs, e, record_copy_text(gs), u"棋譜をコピーしました。"); break;
    case CMD_PASTE: paste_record(gs, e, settle_unsaved_game); break;
    case CMD_EDIT_POSITION:
      // 検討 goes on with the edited position; 棋譜解析 and a hint are of the game's, which the editor
      // leaves behind
      if (study_of(gs).mode != STUDY_OFF && study_of(gs).mode != STUDY_CONSIDER && !gs.flags.thinking) study_stop(gs, e);
      enter_position_editor(gs, e);
      break;
    case CMD_EDIT_DONE: finish_editing(gs, e, settle_unsaved_game); break;
    case CMD_EDIT_CANCEL: cancel_editing(gs, e); break;
    case CMD_EDIT_EVEN: edit_set_start(gs, e, 0); break;
    case CMD_EDIT_MATE: edit_mate_problem(gs, e); break;
    case CMD_EDIT_CLEAR: edit_clear(gs, e); break;
    case CMD_MATE_SEARCH: start_mate_search(gs, e, study_of(gs).mate_search_ms); break;
    case CMD_STUDY_START: study_start(gs, e); break;
    case CMD_STUDY_STOP: study_stop(gs, e); break;
    case CMD_ANALYSE_RECORD: analyse_game_record(gs, e); break;
    case CMD_HINT: ask_hint(gs, e); break;
    default:
      if (id > CMD_STUDY_LINES && id <= CMD_STUDY_LINES + MAX_STUDY_LINES) set_study_lines(gs, e, id - CMD_STUDY_LINES);
      break;   // the about box, the help page and closing the window are the window's own
  }
  advance_game(gs, e);
}

void on_move_list_line(GameState& gs, Engine& e, int line) {
  stop_thinking_ahead(gs);
  go_to_line(gs, e, line);
  advance_game(gs, e);
}

void on_alternative(GameState& gs, Engine& e, int node) {
  stop_thinking_ahead(gs);
  go_to_alternative(gs, e, node);
  advance_game(gs, e);
}

}  // namespace halvane
