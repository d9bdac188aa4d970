// 検討 → 詰み探索: the mate solver on the position on the board, the side to move attacking, on a thread of
// its own with a time limit. Its answer reaches the window thread as an event carrying the generation it
// was asked at (a newer search, a change of the position or closing drops it) and is shown in a box that
// offers to add the mating line to the record as a variation. Window thread only, but for the search.
#pragma once

#include <cstdint>
#include <string>

#include "app/game_state.h"
#include "app/settings_file.h"
#include "think/mate_line.h"

namespace halvane {

constexpr int MATE_SEARCH_LIMIT_MS = DEFAULT_MATE_SEARCH_SECONDS * 1000;

// What the box says: "7手詰みです。" and the line ("▲２二金 △同　玉 …まで", or where it stops short and
// why), "詰みはありません。" when the solver proved none within its ply limit, or
// "見つかりませんでした（時間切れ）". `first_mover` is the attacker, BLACK or WHITE.
std::u16string mate_answer_text(const MateLine& line, int first_mover);

// Starts the search on the position on the board (a search under way is stopped first); the status
// line says so. `limit_ms` bounds the solving and the line's recovery together.
void start_mate_search(GameState& gs, Engine& e, int limit_ms = MATE_SEARCH_LIMIT_MS);
// Stops a search under way and waits for its thread; an answer already posted is dropped.
void stop_mate_search();
// The search's answer on the window thread: dropped unless `generation` is the latest search's and the
// board still shows the position it was asked for; otherwise the box, and 棋譜に追加 adds the line.
void on_mate_answer(GameState& gs, Engine& e, uint64_t generation, const MateLine& line);

}  // namespace halvane
