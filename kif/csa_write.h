// The CSA writer (V2.2): the version, the players and the fields CSA has names for, the start ("PI" with
// the pieces a handicap takes off when the position is the initial one less some pieces, else the ranks
// "P1".."P9" and both hands), the side to move, the main line's moves with their times ("T12") and "'*"
// comments, and its end. CSA holds no variations; the fields it has no name for are kept as remarks.
// CP932 with CR LF, said by the encoding line CSA V3.0 puts first ("'CSA encoding=SHIFT_JIS", a remark
// to V2.2 readers).
#pragma once

#include <string>

#include "record/game_record.h"

namespace halvane {

// The whole file as UTF-8 text with CR LF line ends.
std::string csa_text(const GameRecord& record);
// The file's bytes in CP932.
std::string csa_bytes(const GameRecord& record);

}  // namespace halvane
