// Stepping through the game record. Each step shows a recorded slot, holds the computer (so that it does
// not start thinking on a position the user is only looking at), clears a game end so that play can go
// on from there, and gives the turn by the slot's parity.
#include "app/navigation.h"

#include <cstring>

#include "app/render.h"
#include "app/ui.h"

namespace halvane {

namespace {

constexpr char16_t PAUSED_CAPTION[] = u"■";

void refuse(GameState& gs, Engine& e, const char16_t* text) {
  set_status(gs, text);
  repaint(gs, e);
}

void navigation_tail(GameState& gs, Engine& e) {
  gs.game_over = false;
  forget_last_move(gs);
  hold_computer(gs);
  turn_by_parity(gs);
  repaint(gs, e);
}

void show_recorded(GameState& gs, Engine& e, int slot) {
  gs.show_last_move = 0;
  gs.current = slot;
  show_slot(gs, slot);
  navigation_tail(gs, e);
}

}  // namespace

void hold_computer(GameState& gs) {
  gs.paused = true;
  set_button_caption(5, PAUSED_CAPTION);
}

void go_first(GameState& gs, Engine& e) {
  if (gs.thinking) return refuse(gs, e, u"コンピュータの思考中は最初に戻せません。");
  hold_computer(gs);
  gs.selection = 0;
  gs.show_last_move = 0;
  gs.current = 0;
  copy_initial(gs, gs.board);
  std::memset(gs.hands, 0, sizeof gs.hands);
  gs.player_to_move = gs.player_is_gote == 0;
  forget_last_move(gs);
  gs.game_over = false;
  repaint(gs, e);
}

void go_back(GameState& gs, Engine& e) {
  if (gs.thinking) return refuse(gs, e, u"コンピュータの思考中は１手戻せません。");
  gs.selection = 0;
  if (gs.current < 1) return refuse(gs, e, u"今は１手戻せません。");
  show_recorded(gs, e, gs.current - 1);
}

void go_forward(GameState& gs, Engine& e) {
  if (gs.thinking) return refuse(gs, e, u"コンピュータの思考中は１手進められません。");
  gs.selection = 0;
  if (gs.current >= RECORD_SLOTS - 1 || gs.current >= gs.length) return refuse(gs, e, u"今は１手進められません。");
  show_recorded(gs, e, gs.current + 1);
}

void go_last(GameState& gs, Engine& e) {
  if (gs.thinking) return refuse(gs, e, u"コンピュータの思考中は最後まで進められません。");
  gs.selection = 0;
  if (gs.length < 2) return refuse(gs, e, u"今は最後まで進められません。");
  show_recorded(gs, e, gs.length < RECORD_SLOTS ? gs.length : RECORD_SLOTS - 1);
}

}  // namespace halvane
