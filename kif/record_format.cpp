// Telling the formats apart by content: KIF and KI2 share their header, so their moves decide, and they
// are looked for first; then the first line that is not blank decides for the one-line USI and SFEN forms
// and for CSA (whose first statement is its version, a name, a field, a position line or a move).
#include "kif/record_format.h"

#include <cctype>

#include "kif/csa_read.h"
#include "kif/csa_write.h"
#include "kif/ki2_read.h"
#include "kif/ki2_write.h"
#include "kif/kif_encoding.h"
#include "kif/kif_write.h"
#include "kif/usi_record.h"

namespace halvane {

namespace {

struct FormatName {
  RecordFormat format;
  const char* name;
  const char* extension;
};
constexpr FormatName FORMAT_NAMES[] = {
    {FORMAT_KIF, "KIF", "kif"}, {FORMAT_KIFU, "KIFU", "kifu"}, {FORMAT_KI2, "KI2", "ki2"},
    {FORMAT_CSA, "CSA", "csa"}, {FORMAT_SFEN, "SFEN", "sfen"}, {FORMAT_USI, "USI", "usi"},
};

bool usi_line(std::string_view line) {
  std::string_view rest = line;
  const std::string_view word = next_word(rest);
  if (word == "position" || word == "sfen" || word == "startpos" || word == "moves") return true;
  // A bare SFEN: its board's ranks are separated by "/".
  return word.find('/') != std::string_view::npos && word.find_first_not_of("/+0123456789plnsgbrkPLNSGBRK") == std::string_view::npos;
}

bool csa_line(std::string_view line) {
  if (line == "+" || line == "-") return true;
  for (const char* head : {"V1", "V2", "V3", "N+", "N-", "$", "PI", "P+", "P-"})
    if (starts_with(line, head)) return true;
  if (line.size() >= 2 && line[0] == 'P' && line[1] >= '1' && line[1] <= '9') return true;
  return line.size() >= 7 && (line[0] == '+' || line[0] == '-') && std::isdigit(static_cast<unsigned char>(line[1])) &&
         std::isdigit(static_cast<unsigned char>(line[4])) && std::isupper(static_cast<unsigned char>(line[5]));
}

}  // namespace

const char* record_format_name(RecordFormat format) {
  for (const FormatName& f : FORMAT_NAMES)
    if (f.format == format) return f.name;
  return "unknown";
}

RecordFormat detect_record_format(std::string_view bytes) {
  const KifEncoding encoding = detect_kif_encoding(bytes);
  if (encoding == KIF_NOT_TEXT) return FORMAT_KIF;
  const std::string text = kif_to_utf8(bytes);
  LineReader lines{text};
  std::string_view line;
  // 1. KIF heads its moves with a line of its own; KI2 marks each move with its side and closes with
  //    「まで」. No line of CSA or USI starts so, whatever a header field of theirs holds.
  bool ki2 = false;
  while (lines.next(line)) {
    const std::string_view trimmed = trim_kif_blanks(line);
    if (starts_with(trimmed, "手数")) return encoding == KIF_CP932 ? FORMAT_KIF : FORMAT_KIFU;
    for (const char* mark : {"▲", "△", "▼", "▽", "☗", "☖", "まで"}) ki2 |= starts_with(trimmed, mark);
  }
  if (ki2) return FORMAT_KI2;
  // 2. The first line that is neither blank nor a CSA remark ("'"): a USI line, or CSA.
  for (lines = LineReader{text}; lines.next(line);) {
    const std::string_view trimmed = trim_kif_blanks(line);
    if (trimmed.empty() || starts_with(trimmed, "'")) continue;
    if (usi_line(trimmed)) return starts_with(trimmed, "sfen") || trimmed.find('/') < trimmed.find(' ') ? FORMAT_SFEN : FORMAT_USI;
    if (csa_line(trimmed)) return FORMAT_CSA;
    break;
  }
  return encoding == KIF_CP932 ? FORMAT_KIF : FORMAT_KIFU;
}

KifReadResult read_record(std::string_view bytes, GameRecord& record, RecordFormat* format) {
  const RecordFormat found = detect_record_format(bytes);
  if (format) *format = found;
  switch (found) {
    case FORMAT_KI2: return read_ki2(bytes, record);
    case FORMAT_CSA: return read_csa(bytes, record);
    case FORMAT_SFEN:
    case FORMAT_USI: return read_usi_record(bytes, record);
    default: return read_kif(bytes, record);
  }
}

std::string write_record(const GameRecord& record, RecordFormat format) {
  switch (format) {
    case FORMAT_KIFU: return kif_bytes(record, true);
    case FORMAT_KI2: return ki2_bytes(record);
    case FORMAT_CSA: return csa_bytes(record);
    case FORMAT_SFEN: return usi_record_text(record, false);
    case FORMAT_USI: return usi_record_text(record, true);
    default: return kif_bytes(record, false);
  }
}

RecordFormat format_for_extension(std::string_view name) {
  const size_t dot = name.rfind('.');
  std::string extension(dot == std::string_view::npos ? name : name.substr(dot + 1));
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const FormatName& f : FORMAT_NAMES)
    if (extension == f.extension) return f.format;
  return FORMAT_UNKNOWN;
}

}  // namespace halvane
