// The position editor's logic: the edited position and its changes, the mate problem's defender hand, the
// check on leaving and the game started from the position. The window's controls call these and follow
// `PositionEdit::revision`; the board shows the edited position through the screen board.
#include "app/position_editor.h"

#include <algorithm>

#include "app/game_start.h"
#include "app/game_state.h"
#include "app/record_view.h"
#include "app/render.h"
#include "app/study.h"
#include "app/ui.h"
#include "app/utf8.h"
#include "core/legality.h"
#include "kif/kif_start.h"
#include "kif/kif_text.h"

namespace halvane {

namespace {

// The status line is 25 characters wide.
constexpr char16_t TEXT_EDITING[] = u"局面編集中：クリックで駒を置く・成る・反転・消す";

const SfenPosition EMPTY_POSITION = [] {
  SfenPosition pos{};
  for (uint8_t& square : pos.board) square = SQ_EMPTY;
  pos.side_to_move = BLACK;
  pos.move_number = 1;
  return pos;
}();

// After every change: the mate problem's defender again holds the rest, the board shows the position
// and the window's controls follow.
void edited(GameState& gs, Engine& e) {
  PositionEdit& edit = gs.edit;
  if (edit.mate_problem) {
    // The pieces the problem does not use (kings never go to a hand) are the defender's.
    SfenPosition& pos = edit.position;
    int rest[8];
    for (int kind = 0; kind < 8; ++kind) rest[kind] = SET_PIECES[kind] - pos.hand[pos.side_to_move][kind];
    for (const uint8_t code : pos.board)
      if (is_piece(code)) --rest[hand_kind(code)];
    for (int kind = PAWN; kind < KING; ++kind)
      pos.hand[pos.side_to_move ^ 1][kind] = static_cast<uint8_t>(rest[kind] > 0 ? rest[kind] : 0);
  }
  edit.revision += 1;
  set_status(gs.view, TEXT_EDITING);   // a refusal told before is of an older position
  show_board(gs, edit.position);
  follow_study(gs);   // 検討 thinks on the edited position
  repaint(gs, e);
}

// The next piece of a square's turn, one order for every piece so that clicks always end in an empty
// square: sente's piece, promoted, gote's, gote's promoted, none. A piece that cannot promote skips its
// promoted steps; a gote piece starts halfway.
int next_in_turn(int code) {
  const int kind = hand_kind(code);
  int turn[5], n = 0;
  for (const int side_bit : {0, GOTE_BIT}) {
    turn[n++] = kind + side_bit;
    if (can_promote(kind)) turn[n++] = kind + side_bit + PROMOTED_BIT;
  }
  turn[n++] = SQ_EMPTY;
  for (int i = 0; i + 1 < n; ++i)
    if (turn[i] == code) return turn[i + 1];
  return SQ_EMPTY;
}

std::u16string side_word(int side) { return side == BLACK ? u"先手" : u"後手"; }
std::u16string piece_word(int kind) { return utf16_from_utf8(KIF_PIECE_WORDS[kind]); }

}  // namespace

std::u16string edit_refusal(const SfenPosition& pos, bool mate_problem) {
  const PositionVerdict v = judge_position(pos, mate_problem ? KINGS_DEFENDER : KINGS_BOTH);
  const std::u16string square = v.square >= 0 ? utf16_from_utf8(kif_square_name(v.square % 9, v.square / 9)) : u"";
  switch (v.fault) {
    case POSITION_OK: return u"";
    case POSITION_KING_IN_HAND: return u"持駒に玉があります。";
    case POSITION_DEAD_PIECE: return u"行き所のない駒があります（" + square + piece_word(v.kind) + u"）。";
    case POSITION_SECOND_PAWN: return u"二歩です（" + side_word(v.side) + u"、" + square.substr(0, 1) + u"筋）。";
    case POSITION_TWO_KINGS: return side_word(v.side) + u"の玉が二枚あります。";
    case POSITION_NO_KING: return side_word(v.side) + u"の玉がありません。";
    case POSITION_TOO_MANY: return piece_word(v.kind) + u"が一組の駒の数より多くあります。";
    case POSITION_OTHER_IN_CHECK: return u"手番でない" + side_word(v.side) + u"の玉に王手がかかっています。";
  }
  return u"この局面では対局できません。";
}

void write_board_status(GameState& gs) {
  if (editing(gs))
    set_status(gs.view, TEXT_EDITING);
  else
    write_turn_status(gs);
}

void enter_position_editor(GameState& gs, Engine& e) {
  if (editing(gs)) return;
  if (gs.flags.thinking) {
    set_status(gs.view, u"コンピュータの思考中は局面を編集できません。");
    repaint(gs, e);
    return;
  }
  gs.edit.active = true;
  gs.edit.position = gs.game.position;
  gs.edit.position.move_number = 1;
  gs.edit.palette = SQ_EMPTY;
  gs.edit.mate_problem = false;
  gs.input.selection = 0;
  forget_last_move(gs.view);
  set_status(gs.view, TEXT_EDITING);
  show_position_editor(true);
  edited(gs, e);
}

void edit_choose_piece(GameState& gs, Engine& e, int code) {
  if (!editing(gs)) return;
  gs.edit.palette = is_piece(code) ? hand_kind(code) | (code & GOTE_BIT) : SQ_EMPTY;
  edited(gs, e);
}

void edit_set_hand(GameState& gs, Engine& e, int side, int kind, int count) {
  if (!editing(gs) || (side != BLACK && side != WHITE) || kind < PAWN || kind >= KING) return;
  gs.edit.position.hand[side][kind] = static_cast<uint8_t>(std::clamp(count, 0, SET_PIECES[kind]));
  edited(gs, e);
}

void edit_set_side_to_move(GameState& gs, Engine& e, int side) {
  if (!editing(gs) || (side != BLACK && side != WHITE)) return;
  // A mate problem's hands change over with its attacker: the new defender receives the rest.
  if (gs.edit.mate_problem && side != gs.edit.position.side_to_move)
    for (int kind = PAWN; kind < KING; ++kind) gs.edit.position.hand[side][kind] = 0;
  gs.edit.position.side_to_move = side;
  edited(gs, e);
}

void edit_set_start(GameState& gs, Engine& e, int handicap) {
  if (!editing(gs) || handicap < 0 || handicap >= int(std::size(HANDICAPS))) return;
  std::string unused;
  parse_sfen(HANDICAPS[handicap].sfen, gs.edit.position, unused);
  gs.edit.mate_problem = false;
  edited(gs, e);
}

void edit_mate_problem(GameState& gs, Engine& e) {
  if (!editing(gs)) return;
  SfenPosition& pos = gs.edit.position;
  const int attacker_king = pos.side_to_move == BLACK ? SENTE_KING : GOTE_KING;
  for (uint8_t& square : pos.board)
    if (square == attacker_king) square = SQ_EMPTY;
  gs.edit.mate_problem = true;
  edited(gs, e);
}

void edit_clear(GameState& gs, Engine& e) {
  if (!editing(gs)) return;
  gs.edit.position = EMPTY_POSITION;
  gs.edit.mate_problem = false;
  edited(gs, e);
}

void edit_click(GameState& gs, Engine& e, int col, int row) {
  if (!editing(gs) || col < 0 || col > 8 || row < 0 || row > 8) return;
  uint8_t& square = gs.edit.position.board[screen_line(gs, row) * 9 + screen_line(gs, col)];
  // The screen's pieces are the bottom side's plain: the palette names sides, so a turned view turns them.
  if (is_piece(square))
    square = static_cast<uint8_t>(next_in_turn(square));
  else if (is_piece(gs.edit.palette))
    square = static_cast<uint8_t>(gs.edit.palette);
  else
    return set_status(gs.view, u"置く駒を右の駒台から選んでください。"), repaint(gs, e);
  edited(gs, e);
}

void finish_editing(GameState& gs, Engine& e, bool (*may_replace)(GameState&, Engine&)) {
  if (!editing(gs)) return;
  const std::u16string refused = edit_refusal(gs.edit.position, gs.edit.mate_problem);
  if (!refused.empty()) {
    set_status(gs.view, refused.c_str());
    repaint(gs, e);
    return;
  }
  if (!may_replace(gs, e)) return;
  // The player plays the side to move: a position is set out to be played from, as a problem's solver
  // or a study's next move, and a pasted position starts the same way.
  GameRecord record;
  record.start = gs.edit.position;
  const int player_side = record.start.side_to_move;
  gs.edit.active = false;
  show_position_editor(false);
  begin_game(gs, e, std::move(record), player_side);
}

void cancel_editing(GameState& gs, Engine& e) {
  if (!editing(gs)) return;
  gs.edit.active = false;
  show_position_editor(false);
  show_position(gs);
  write_turn_status(gs);
  follow_study(gs);   // 検討 goes back to the game's position
  repaint(gs, e);
}

}  // namespace halvane
