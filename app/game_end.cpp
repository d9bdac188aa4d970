// The texts of a game's end and its announcement: status line and box, for each way a game can end.
#include "app/game_end.h"

#include "app/ui.h"
#include "app/utf8.h"
#include "kif/kif_write.h"

namespace halvane {

namespace {

// By reason (NONE, RESIGNED, KING_CAPTURED, MATED, FOUL), then the human's loss or the computer's.
constexpr const char16_t* STATUS_TEXTS[5][2] = {
    {u"対局を中断しました。", u"対局を中断しました。"},
    {u"コンピュータが投了しました。試合終了です。", u"あなたが投了しました。試合終了です。"},
    {u"コンピュータの玉を取りました。試合終了です。", u"プレイヤーの玉が取られました。試合終了です。"},
    {u"コンピュータの玉が詰みました。試合終了です。", u"詰みです。試合終了です。"},
    {u"コンピュータの反則負けです。試合終了です。", u"あなたの反則負けです。試合終了です。"},
};
constexpr const char16_t* HOW_TEXTS[5][2] = {
    {u"対局を中断しました。", u"対局を中断しました。"},
    {u"コンピュータが投了しました。", u"あなたが投了しました。"},
    {u"コンピュータの玉を取りました。", u"あなたの玉が取られました。"},
    {u"コンピュータの玉が詰みました。", u"あなたの玉が詰みました。"},
    {u"コンピュータが反則手を指しました。", u"反則手を指しました。"},
};

int reason_index(GameEnd reason) { return reason >= GAME_END_NONE && reason <= GAME_END_FOUL ? reason : 0; }

void append(char16_t* out, int& n, int capacity, const char16_t* text) {
  for (int i = 0; text[i] && n < capacity - 1; ++i) out[n++] = text[i];
  out[n] = 0;
}

}  // namespace

bool player_lost_game(GameEnd reason, int moves, int player_is_gote) {
  if (reason == GAME_END_NONE) return false;
  const bool sente_to_move = moves % 2 == 0;
  return sente_to_move == (player_is_gote == 0);
}

const char16_t* game_end_status(GameEnd reason, bool player_lost) {
  return STATUS_TEXTS[reason_index(reason)][player_lost ? 1 : 0];
}

void game_end_line(GameEnd reason, int moves, char16_t out[32]) {
  // The record's own closing line, as the saved file writes it.
  const std::u16string text = utf16_from_utf8(kif_closing_line(reason, moves, moves % 2 == 0 ? BLACK : WHITE));
  int n = 0;
  out[0] = 0;
  append(out, n, 32, text.c_str());
}

std::u16string game_end_box_text(GameEnd reason, bool player_lost, int moves, int player_is_gote) {
  std::u16string text = HOW_TEXTS[reason_index(reason)][player_lost ? 1 : 0];
  text += u"\n";
  if (reason == GAME_END_NONE)
    text += u"勝敗はつきませんでした。";
  else
    text += player_lost ? u"コンピュータの勝ちです。" : u"あなたの勝ちです。";
  char16_t line[32];
  game_end_line(reason, moves, line);
  text += u"\n（";
  text += line;
  text += player_is_gote ? u"、あなたは後手）" : u"、あなたは先手）";
  return text;
}

void end_game(GameState& gs, GameEnd reason) {
  gs.flags.end_reason = reason;
  gs.flags.game_over = true;
  tell_game_end(gs, reason);
}

void tell_game_end(GameState& gs, GameEnd reason) {
  const int moves = gs.record.length < 0 ? 0 : gs.record.length;
  const bool lost = player_lost_game(reason, moves, gs.record.player_is_gote);
  set_status(gs.view, game_end_status(reason, lost));
  gs.view.score_shown = NO_SCORE;
  // The box is the window's: opened there once the view is drawn again (any progress strip cleared).
  show_game_end_box(game_end_box_text(reason, lost, moves, gs.record.player_is_gote).c_str(), GAME_END_CAPTION);
}

}  // namespace halvane
