// The header KIF and KI2 files share: fields "key：value", the start position as a 手合割 name or a board
// diagram, and comments on the start ("*" lines before the first move). Read into a record's headers,
// start and first node; written back from them.
#pragma once

#include <string>
#include <vector>

#include "kif/kif_read.h"
#include "kif/line_reader.h"
#include "record/game_record.h"

namespace halvane {

// Reads the header of a KIF file up to and with the line that heads the moves ("手数----指手--"), or of
// a KI2 file (`ki2`) up to its first move, closing remark or variation line, which is handed back.
// False with `result` filled when the start is wrong or, in a KIF file, no line heads the moves.
bool read_kif_header(LineReader& lines, GameRecord& record, KifReadResult& result, bool ki2);

// The header's lines (UTF-8, no line ends): the fields in their order, the start (a 手合割 line, or a
// board diagram where the position has no name) before the players or else after the fields.
std::vector<std::string> kif_header_lines(const GameRecord& record);

}  // namespace halvane
