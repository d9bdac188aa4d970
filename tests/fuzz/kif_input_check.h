// The property every input to the KIF reader must keep, shared by the libFuzzer harness and the
// regression test that replays the inputs it found: the result is consistent, the record replays into
// valid slots, and a record that was read writes back into a file that reads into the very same record.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "app/game_state.h"
#include "app/record_check.h"
#include "app/record_slots.h"
#include "kif/kif_read.h"
#include "kif/kif_write.h"

namespace halvane::fuzz {

// `gs` is a constructed state the check may overwrite; `read` and `again` are scratch records. Returns an
// empty string when the input passes, else what went wrong.
inline std::string check_kif_input(GameState& gs, GameRecord& read, GameRecord& again, std::string_view bytes) {
  const KifReadResult result = read_kif(bytes, read);
  if (result.status != KIF_READ_OK) {
    if (result.message.empty()) return "refused without a message";
    if (read.move_count != 0) return "a refused file left moves behind";
    return {};
  }
  if (read.move_count < 0 || read.move_count > KIF_MOVE_LIMIT) return "length " + std::to_string(read.move_count);
  record_to_slots(gs, read);
  std::string problem;
  if (!record_valid(gs, problem)) return "invalid record: " + problem;
  if (std::memcmp(gs.record.record_boards[0], gs.record.initial_board, sizeof gs.record.initial_board) != 0)
    return "slot 0 is not the initial position";

  // Written back and read again, the record must come out unchanged, its end included.
  const std::string written = kif_text(read, KifDate{2000, 1, 1, 0, 0, 0});
  const KifReadResult reread = read_kif(written, again);
  if (reread.status != KIF_READ_OK) return "the written file is refused: " + reread.message;
  if (again.move_count != read.move_count) return "the written file reads back to another length";
  if (again.end != (read.end == GAME_END_KING_CAPTURED ? GAME_END_RESIGNED : read.end))
    return "the written file reads back to another end";
  for (int k = 0; k < read.move_count; ++k)
    if (!(again.moves[k] == read.moves[k])) return "move " + std::to_string(k + 1) + " differs after writing and reading";
  return {};
}

}  // namespace halvane::fuzz
