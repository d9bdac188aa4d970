// The KI2 writer: the header as the KIF writer makes it, then the main line's moves without origins, six
// to a line after their sides' marks, the comments after the move they follow, the closing remark
// ("まで54手で後手の勝ち"), and every variation as a "変化：N手" block with its own moves and end. KI2
// holds no times. CP932 with CR LF, as KIF.
#pragma once

#include <string>

#include "record/game_record.h"

namespace halvane {

// The whole file as UTF-8 text with CR LF line ends.
std::string ki2_text(const GameRecord& record);
// The file's bytes in CP932.
std::string ki2_bytes(const GameRecord& record);

}  // namespace halvane
