// The texts of a game's end and its announcement: status line and box, for each way a game can end.
#include "app/game_end.h"

#include "app/engine_opponent.h"
#include "app/record_play.h"
#include "app/ui.h"
#include "app/utf8.h"
#include "kif/kif_write.h"

namespace halvane {

namespace {

// By reason (NONE, RESIGNED, KING_CAPTURED, MATED, FOUL, FOUL_WIN, TIME_LOSS, ENTERING_KING), then the
// computer's loss or the human's.
constexpr const char16_t* STATUS_TEXTS[8][2] = {
    {u"対局を中断しました。", u"対局を中断しました。"},
    {u"コンピュータが投了しました。試合終了です。", u"あなたが投了しました。試合終了です。"},
    {u"コンピュータの玉を取りました。試合終了です。", u"プレイヤーの玉が取られました。試合終了です。"},
    {u"コンピュータの玉が詰みました。試合終了です。", u"詰みです。試合終了です。"},
    {u"コンピュータの反則負けです。試合終了です。", u"あなたの反則負けです。試合終了です。"},
    {u"コンピュータの反則負けです。試合終了です。", u"あなたの反則負けです。試合終了です。"},
    {u"コンピュータが時間切れです。試合終了です。", u"時間切れです。あなたの負けです。"},
    {u"入玉宣言であなたの勝ちです。試合終了です。", u"コンピュータの入玉宣言勝ちです。試合終了です。"},
};
constexpr const char16_t* HOW_TEXTS[8][2] = {
    {u"対局を中断しました。", u"対局を中断しました。"},
    {u"コンピュータが投了しました。", u"あなたが投了しました。"},
    {u"コンピュータの玉を取りました。", u"あなたの玉が取られました。"},
    {u"コンピュータの玉が詰みました。", u"あなたの玉が詰みました。"},
    {u"コンピュータが反則手を指しました。", u"反則手を指しました。"},
    {u"コンピュータが反則手を指しました。", u"反則手を指しました。"},
    {u"コンピュータの持ち時間が切れました。", u"あなたの持ち時間が切れました。"},
    {u"あなたが入玉宣言をしました。", u"コンピュータが入玉宣言をしました。"},
};

int reason_index(GameEnd reason) {
  if (reason == GAME_END_TIME_LOSS) return 6;
  if (reason == GAME_END_ENTERING_KING) return 7;
  return reason >= GAME_END_NONE && reason <= GAME_END_FOUL_WIN ? reason : 0;
}

}  // namespace

bool player_lost_game(GameEnd reason, int side_to_move, int player_side) {
  if (reason == GAME_END_NONE || reason == GAME_END_SUSPENDED) return false;
  const bool player_to_move = side_to_move == player_side;
  // A foul in the record and a declared win are the side to move's wins; every other end its loss.
  const bool mover_wins = reason == GAME_END_FOUL_WIN || reason == GAME_END_ENTERING_KING;
  return mover_wins ? !player_to_move : player_to_move;
}

const char16_t* game_end_status(GameEnd reason, bool player_lost) {
  return STATUS_TEXTS[reason_index(reason)][player_lost ? 1 : 0];
}

std::u16string game_end_line(GameEnd reason, int moves, int side_to_move) {
  // The record's own closing line, as the saved file writes it.
  return utf16_from_utf8(kif_closing_line(reason, moves, side_to_move));
}

std::u16string shown_line_closing(const GameState& gs) {
  const GameRecord& r = gs.game.record;
  const int moves = r.nodes[gs.game.line_tip].ply;
  const int side = moves % 2 == 0 ? r.start.side_to_move : r.start.side_to_move ^ 1;
  return game_end_line(r.nodes[gs.game.line_tip].end, moves, side);
}

std::u16string game_end_box_text(GameEnd reason, bool player_lost, int moves, int side_to_move, int player_side) {
  std::u16string text = HOW_TEXTS[reason_index(reason)][player_lost ? 1 : 0];
  text += u"\n";
  if (reason == GAME_END_NONE)
    text += u"勝敗はつきませんでした。";
  else
    text += player_lost ? u"コンピュータの勝ちです。" : u"あなたの勝ちです。";
  text += u"\n（" + game_end_line(reason, moves, side_to_move);
  text += player_side == WHITE ? u"、あなたは後手）" : u"、あなたは先手）";
  return text;
}

void end_game(GameState& gs, GameEnd reason) {
  end_line_here(gs);
  gs.game.record.nodes[gs.game.cursor].end = reason;
  gs.game.line_tip = gs.game.cursor;
  gs.game.revision += 1;
  gs.flags.unsaved = true;
  const int moves = cursor_ply(gs), side = side_to_move(gs);
  const bool lost = player_lost_game(reason, side, gs.game.player_side);
  set_status(gs.view, game_end_status(reason, lost));
  gs.view.score_shown = NO_SCORE;
  // The box is the window's: opened there once the view is drawn again (any progress strip cleared).
  show_game_end_box(game_end_box_text(reason, lost, moves, side, gs.game.player_side).c_str(), GAME_END_CAPTION);
  engine_game_over(gs);   // an engine playing the computer is told
}

}  // namespace halvane
