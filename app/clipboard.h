// 編集: 局面をコピー (the position on the board as SFEN), 棋譜をコピー (the record as KIF text) and 貼り付け
// (any record or position the readers know, as text). The window system holds the clipboard; these
// decide its texts. Window thread.
#pragma once

#include <string>

#include "app/game_state.h"
#include "think/think.h"

namespace halvane {

// The texts the copies put on the clipboard: the SFEN of the position on the board, and the record as
// a KIF file holds it (in UTF-8, the clipboard's text).
std::string position_copy_text(const GameState& gs);
std::string record_copy_text(const GameState& gs);

// 貼り付け: the clipboard's text read as a record. A single position (a record without moves) starts a
// game from it, the player to move; a record is taken as a loaded file is. Text that is neither is told
// in a box, with the line and the reason, and the game stays as it was. `may_replace` is asked (about
// an unsaved game) before a good text replaces the game; false keeps it.
void paste_record(GameState& gs, Engine& e, bool (*may_replace)(GameState&, Engine&));

}  // namespace halvane
