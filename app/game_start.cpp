// The game begun here: the record, the sides, the header and the window's state at its start.
#include "app/game_start.h"

#include "app/commands.h"
#include "app/kif_file.h"
#include "app/play_clock.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/study.h"
#include "app/turn_flow.h"
#include "app/ui.h"

namespace halvane {

void begin_game(GameState& gs, Engine& e, GameRecord record, int player_side) {
  stop_computer(gs, e);
  study_stop(gs, e);   // a game is played, not studied
  // The game's own header: when it began, and where.
  record.headers.clear();
  set_header(record, "開始日時", kif_date_text(kif_clock()));
  set_header(record, "棋戦", "ハルベイン");
  if (gs.clock.settings.limited) set_header(record, "持ち時間", time_control_text(gs.clock.settings));
  gs.game.player_side = player_side;   // as the second mover, the computer's first move starts at once
  gs.game.view_flipped = false;
  gs.game.own_game = true;
  take_record(gs, std::move(record));
  gs.flags.started = true;
  gs.flags.paused = false;   // a new game is played, whatever was held while the last one was looked at
  set_button_caption(CMD_PAUSE, u"||");
  gs.flags.unsaved = false;
  gs.flags.input_busy = false;
  gs.input.selection = 0;
  gs.view.show_last_move = 0;
  set_button_caption(CMD_START, u"初期化");
  gs.view.score_shown = NO_SCORE;   // nothing of an earlier game is shown
  write_turn_status(gs);
  repaint(gs, e);
}

}  // namespace halvane
