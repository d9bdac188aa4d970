// The KI2 reader: the header as KIF writes it (fields, 手合割 or a board diagram), then moves without
// origins, several to a line, each after its side's mark ("▲７六歩　△３四歩"), resolved against the
// position by KI2's words; "*" comments, the closing remark ("まで64手で後手の勝ち") that tells how a line
// ended, and "変化：N手" variations. Errors come back with their line and reason, as from the KIF reader.
#pragma once

#include <string_view>

#include "kif/kif_read.h"

namespace halvane {

// Fills `record` with the whole file (CP932 or UTF-8). On an error `record` is left as a new record.
KifReadResult read_ki2(std::string_view bytes, GameRecord& record);

}  // namespace halvane
