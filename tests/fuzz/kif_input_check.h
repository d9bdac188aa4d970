// The property every input to the KIF reader must keep, shared by the libFuzzer harness and the
// regression test that replays the inputs it found: the record stays valid, the result is consistent,
// and a record that was read writes back into a file that reads into the very same record.
#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "app/game_state.h"
#include "app/kif_read.h"
#include "app/kif_write.h"
#include "app/record_check.h"

namespace halvane::fuzz {

// `gs` and `again` are constructed states the check may overwrite. Returns an empty string when the
// input passes, else what went wrong.
inline std::string check_kif_input(GameState& gs, GameState& again, std::string_view bytes) {
  const KifReadResult read = read_kif(gs, bytes);
  gs.length = read.length;
  gs.player_is_gote = 0;
  if (read.format_error != (read.length == -1)) return "format error flag and length disagree";
  if (read.length < -1 || read.length > KIF_MOVE_LIMIT) return "length " + std::to_string(read.length);
  if (read.format_error && read.message.empty()) return "format error without a message";
  std::string problem;
  if (!record_valid(gs, problem)) return "invalid record: " + problem;
  if (std::memcmp(gs.record_boards[0], gs.initial_board, sizeof gs.initial_board) != 0)
    return "slot 0 is not the initial position";
  if (read.length <= 0) return {};

  // Written back and read again, the record must come out unchanged.
  const KifWriteResult written = kif_text(gs, KifDate{2000, 1, 1, 0, 0, 0});
  if (written.error != KIF_WRITE_OK) return "a record that was read cannot be written";
  if (written.moves != read.length) return "written moves differ from the moves read";
  const KifReadResult reread = read_kif(again, written.text);
  if (reread.length != read.length) return "the written file reads back to another length";
  for (int k = 0; k <= read.length; ++k) {
    if (std::memcmp(gs.record_boards[k], again.record_boards[k], sizeof gs.record_boards[k]) != 0)
      return "slot " + std::to_string(k) + " differs after writing and reading";
    for (int side = 0; side < 2; ++side)
      if (std::memcmp(gs.record_hands[side][k], again.record_hands[side][k], sizeof gs.record_hands[side][k]) != 0)
        return "hands of slot " + std::to_string(k) + " differ after writing and reading";
  }
  return {};
}

}  // namespace halvane::fuzz
