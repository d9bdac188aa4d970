// One entry to every record format: a file or pasted text is read by what it holds, whatever its name
// (KIF and KIFU, KI2, CSA, a SFEN or a USI position line), and a record is written in the format a file
// name's extension asks for. The load command, halvane-kif and the clipboard go through here.
#pragma once

#include <string>
#include <string_view>

#include "kif/kif_read.h"

namespace halvane {

enum RecordFormat {
  FORMAT_KIF,       // KIF in CP932 (.kif)
  FORMAT_KIFU,      // KIF in UTF-8 (.kifu)
  FORMAT_KI2,       // KI2, moves without origins (.ki2)
  FORMAT_CSA,       // CSA V2.2 (.csa)
  FORMAT_SFEN,      // "sfen <SFEN> moves ..." (.sfen)
  FORMAT_USI,       // "position startpos moves ..." (.usi)
  FORMAT_UNKNOWN,
};

// The format's name for messages: "KIF", "KIFU", "KI2", "CSA", "SFEN", "USI".
const char* record_format_name(RecordFormat format);

// The format the bytes are written in, told by their lines, not by a name: a KIF's line heading the
// moves, KI2's marked moves (or its closing remark), a USI line or SFEN, CSA's statements. Text that is
// none of them is taken as KIF, whose reader then says what is missing. UTF-8 KIF is FORMAT_KIFU.
RecordFormat detect_record_format(std::string_view bytes);

// Reads the bytes in the format they are written in (`format`, when given, tells which).
KifReadResult read_record(std::string_view bytes, GameRecord& record, RecordFormat* format = nullptr);

// The file's bytes in `format` (FORMAT_UNKNOWN writes KIF).
std::string write_record(const GameRecord& record, RecordFormat format);

// The format a file name's extension (or the extension alone: ".csa", "ki2") names, upper or lower
// case; FORMAT_UNKNOWN for any other.
RecordFormat format_for_extension(std::string_view name);

}  // namespace halvane
