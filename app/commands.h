// The user's actions: the six buttons and the game menu commands by id, and left-button clicks on the
// board and the player's hand. Window thread only.
#pragma once

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

// Command ids: buttons and menu items.
constexpr int CMD_START = 0, CMD_FIRST = 1, CMD_BACK = 2, CMD_FORWARD = 3, CMD_LAST = 4, CMD_PAUSE = 5;
constexpr int CMD_LOAD_KIF = 10001, CMD_SAVE_KIF = 10002, CMD_CHANGE_SIDES = 10003;
constexpr int CMD_TAKE_BACK = 10004, CMD_NEW_GAME = 10005, CMD_RESIGN = 10006;   // the 対局 menu
constexpr int CMD_FLIP_VIEW = 10007;   // 盤面を反転表示
constexpr int CMD_COPY_POSITION = 10008, CMD_COPY_RECORD = 10009, CMD_PASTE = 10010;   // the 編集 menu
// 対局 → 局面編集, and the editor's buttons: 編集終了, キャンセル, 平手初期配置, 詰将棋, 全消去.
constexpr int CMD_EDIT_POSITION = 10011, CMD_EDIT_DONE = 10012, CMD_EDIT_CANCEL = 10013;
constexpr int CMD_EDIT_EVEN = 10014, CMD_EDIT_MATE = 10015, CMD_EDIT_CLEAR = 10016;
// The 検討 menu, and 対局 → ヒント.
constexpr int CMD_STUDY_START = 10301, CMD_STUDY_STOP = 10302, CMD_ANALYSE_RECORD = 10303, CMD_HINT = 10304;
constexpr int CMD_STUDY_LINES = 10310;   // + n: 検討 shows n lines (1..5)
constexpr int CMD_MATE_SEARCH = 10305;   // 検討 → 詰み探索
constexpr int CMD_ABOUT = 104, CMD_EXIT = 105, CMD_HELP = 106;

void on_command(GameState& gs, Engine& e, int id);
void on_left_button_up(GameState& gs, Engine& e, int x, int y);
// A line of the move list chosen: line k is the position after k moves (0 the start), reached as the
// navigation buttons reach it; the closing line stands for the last position.
void on_move_list_line(GameState& gs, Engine& e, int line);
// An alternative of the move on the board chosen (a node the list offered): the board and the list go there.
void on_alternative(GameState& gs, Engine& e, int node);

// The window is about to close (終了する or its close button): asks about an unsaved game first, then
// stops the computer's think and the think ahead. False when the user keeps the window open.
bool may_close(GameState& gs, Engine& e);

}  // namespace halvane
