// KIF game-record files: the save and load menu commands. Files are CP932 text with CR LF line ends.
#pragma once

#include "app/game_state.h"
#include "kif/kif_read.h"
#include "kif/kif_write.h"
#include "think/think.h"

namespace halvane {

// Returns whether the whole record was written. `asked` is a save the unsaved-game question asked for:
// a cancelled dialog is then the user's cancel, not told as a failure.
bool save_kif(GameState& gs, Engine& e, bool asked = false);
void load_kif(GameState& gs, Engine& e);

// A read record becomes the game, as a loaded file does: at its start, paused, the player on sente.
void take_loaded_record(GameState& gs, Engine& e, GameRecord record);
// The record as a file saves it: a game begun here names its players (the computer by its level), as
// 下手 and 上手 in a handicap game.
GameRecord record_to_save(const GameState& gs);

// What the last load_kif read: the moves, or where and why the file was refused.
const KifReadResult& last_kif_load();

// The clock save_kif takes its date from; tests put a fixed one here.
extern KifDate (*kif_clock)();

}  // namespace halvane
