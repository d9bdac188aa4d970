// The header KIF and KI2 files share: fields "key：value", the start position as a 手合割 name or a board
// diagram, and comments on the start ("*" lines before the first move). Read into a record's headers,
// start and first node; written back from them.
#pragma once

#include <string>
#include <vector>

#include "kif/kif_read.h"
#include "kif/line_reader.h"
#include "kif/record_builder.h"
#include "record/game_record.h"

namespace halvane {

// Reads the header of a KIF file up to and with the line that heads the moves ("手数----指手--"), or of
// a KI2 file (`ki2`) up to its first line of moves or its closing remark, which is handed back.
// False with `result` filled when the start is wrong or, in a KIF file, no line heads the moves.
bool read_kif_header(LineReader& lines, GameRecord& record, KifReadResult& result, bool ki2);

// A KIF or KI2 file's bytes as UTF-8 `text` (which `lines` is set to read) and its header read into
// `record`, the start checked to be possible. False with `result` filled when the file is refused.
bool open_kif_text(std::string_view bytes, std::string& text, LineReader& lines, GameRecord& record,
                   KifReadResult& result, bool ki2);

// The lines KIF and KI2 share among their moves: "*" comments on the position just reached, blank lines
// and the remarks that are not kept ("#", "&"), and "変化：N手", which starts a variation at move N of the
// line read last. Says whether `line` was one of them, and whether it was wrong (`result` filled).
enum SharedLine { NOT_SHARED, SHARED_READ, SHARED_REFUSED };
SharedLine read_shared_line(std::string_view line, int number, RecordBuilder& builder, KifReadResult& result);

// The header's lines (UTF-8, no line ends): the fields in their order, the start (a 手合割 line, or a
// board diagram where the position has no name) before the players or else after the fields.
std::vector<std::string> kif_header_lines(const GameRecord& record);

}  // namespace halvane
