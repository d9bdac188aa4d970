// halvane-kif: "check FILE" reads a record (KIF, KIFU, KI2, CSA, SFEN or a USI line, told by its content)
// as the game's load command does and prints its start and main line in USI, the final position as SFEN
// and the number of variations; "write OUT.kif MOVE..." plays USI moves from the initial position and
// saves them as the game's save command does; "convert IN OUT" writes a record again whole, in the format
// OUT's extension names. The messages the window would show in boxes go to standard error as "caption:
// text", with the reason in English on the line after. A file is written as the window saves it: in full
// or not at all. "analyse IN OUT" thinks on every position of IN's main line with the analyst (Halvane's
// own halvane-usi beside this program, or --engine PATH) as the window's 棋譜解析 does and writes the record
// with its evaluations, lines and best moves as tagged comments.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/engine_list.h"
#include "app/record_analysis.h"
#include "core/legality.h"
#include "core/sfen.h"
#include "kif/file_bytes.h"
#include "kif/kif_read.h"
#include "kif/kif_write.h"
#include "kif/record_format.h"
#include "think/strength.h"

using namespace halvane;

namespace {

constexpr const char* CANNOT_OPEN = "棋譜ファイルを開けませんでした。";

constexpr const char* USAGE =
    "usage: halvane-kif check FILE\n"
    "       halvane-kif write OUT.kif MOVE...   (USI moves from the initial position)\n"
    "       halvane-kif convert IN OUT          (IN in any format; OUT.kif, .kifu, .ki2, .csa, .sfen or .usi)\n"
    "       halvane-kif analyse IN OUT [--seconds S] [--level chuukara|karakuchi|gekikara] [--engine PATH]\n"
    "       halvane-kif --help\n";

// Asked for, the usage is the answer; after a mistake it is the complaint.
int usage(bool asked) {
  std::fputs(USAGE, asked ? stdout : stderr);
  return asked ? 0 : 2;
}

// Reads a record file; false (with the reason on standard error) when it cannot be read or is no record.
bool load(const char* file, GameRecord& record) {
  std::string bytes;
  const FileStatus opened = read_file_bytes(file, bytes);
  if (!opened.ok()) {
    std::fprintf(stderr, "%s: %s\n%s: %s\n", file, CANNOT_OPEN, file, file_status_text(opened).c_str());
    return false;
  }
  const KifReadResult read = read_record(bytes, record);
  if (read.status != KIF_READ_OK) {
    std::fprintf(stderr, "棋譜読み込みエラー: 棋譜ファイルのフォーマットが合いません。\n%s: %s\n", file,
                 read.message.c_str());
    return false;
  }
  return true;
}

// Writes a file in full or not at all; false (with the reason) when it could not be written.
bool save(const char* out, const std::string& bytes) {
  const FileStatus written = write_file_bytes(out, bytes);
  if (written.ok()) return true;
  std::fprintf(stderr, "%s: 棋譜ファイルを保存できませんでした。\n%s: %s\n", out, out, file_status_text(written).c_str());
  return false;
}

int check(const char* file) {
  GameRecord record;
  if (!load(file, record)) return 1;
  std::fprintf(stderr, "成功: 棋譜ファイルを開けました。\n");
  const std::vector<int> line = line_from(record, 0);
  std::printf("start %s\nmoves %d\nusi", format_sfen(record.start).c_str(), static_cast<int>(line.size()) - 1);
  for (size_t k = 1; k < line.size(); ++k) std::printf(" %s", move_to_usi(record.nodes[line[k]].move).c_str());
  std::printf("\nsfen %s\nvariations %d\n", format_sfen(position_at(record, line.back())).c_str(),
              variation_count(record));
  return 0;
}

int write(const char* out, int count, char** moves) {
  GameRecord record;
  set_header(record, "開始日時", kif_date_text(local_kif_date()));
  SfenPosition pos = record.start;
  int node = 0;
  for (int i = 0; i < count; ++i) {
    MoveRecord move;
    std::string error;
    if (!parse_usi_move(moves[i], pos, move, error)) {
      std::fprintf(stderr, "move %d (%s): %s\n", i + 1, moves[i], error.c_str());
      return 1;
    }
    // Only moves the rules allow: a record is never impossible.
    const MoveVerdict verdict = judge_move(pos, move);
    if (verdict != MOVE_OK) {
      std::fprintf(stderr, "move %d (%s): %s\n", i + 1, moves[i], verdict_text(verdict));
      return 1;
    }
    apply_move(pos, move);
    node = add_move(record, node, move);
  }
  if (count < KIF_SAVE_MIN_MOVES) {
    std::fprintf(stderr, "失敗: 保存する棋譜の手数が足りません。\n");
    return 1;
  }
  // The game has not ended: the file closes with "中断".
  if (!save(out, kif_bytes(record))) return 1;
  std::fprintf(stderr, "成功: 棋譜ファイルを保存しました。\n");
  return 0;
}

// OUT's name says no format this program writes.
int unknown_format(const char* out) {
  std::fprintf(stderr, "%s: the name must end in .kif, .kifu, .ki2, .csa, .sfen or .usi\n", out);
  return 2;
}

// Reads a record as check does and writes it again whole (start, variations, comments, times and ends, as
// far as OUT's format holds them).
int convert(const char* in, const char* out) {
  const RecordFormat format = format_for_extension(out);
  if (format == FORMAT_UNKNOWN) return unknown_format(out);
  GameRecord record;
  if (!load(in, record)) return 1;
  if (!save(out, write_record(record, format))) return 1;
  std::fprintf(stderr, "成功: 棋譜ファイルを保存しました。\n");
  return 0;
}

// 棋譜解析 from the command line: S seconds a position (1 by default), the own engine at level L (its
// default when none is given) or another USI engine.
int analyse(int argc, char** argv) {
  const char* in = argv[2];
  const char* out = argv[3];
  double seconds = DEFAULT_ANALYSIS_MS / 1000.0;
  RegisteredEngine engine = default_engine_list().engines[0];
  for (int i = 4; i < argc; i += 2) {
    if (i + 1 >= argc) return usage(false);
    const std::string option = argv[i], value = argv[i + 1];
    if (option == "--seconds") {
      char* end = nullptr;
      seconds = std::strtod(value.c_str(), &end);
      if (*end != '\0' || !(seconds > 0 && seconds <= 3600)) return usage(false);
    } else if (option == "--level") {
      if (!level_named(value)) return usage(false);
      std::vector<std::string> names;
      for (const Strength* level : STRENGTHS) names.push_back(level->name);
      engine.options = {{"Strength", OPTION_COMBO, names.back(), 0, 0, names, value}};
    } else if (option == "--engine") {
      engine = {value, value, {}};
    } else {
      return usage(false);
    }
  }
  const RecordFormat format = format_for_extension(out);
  if (format == FORMAT_UNKNOWN) return unknown_format(out);
  GameRecord record;
  if (!load(in, record)) return 1;
  EngineEventQueue queue;
  AnalysisSession session;
  const bool analysed =
      analysis_start(session, engine, [&queue](EngineEvent&& event) { push_event(queue, std::move(event)); }) &&
      analyse_record(session, queue, record, static_cast<int>(seconds * 1000 + 0.5), [](int done, int total) {
        std::fprintf(stderr, "\r解析 %d/%d", done, total);
        if (done == total) std::fputc('\n', stderr);
      });
  if (!analysed) {
    std::fprintf(stderr, "\n%s: %s\n", engine.path.c_str(), session.error.c_str());
    return 1;
  }
  if (session.client) client_close(*session.client);
  if (!save(out, write_record(record, format))) return 1;
  std::fprintf(stderr, "成功: 棋譜ファイルを保存しました。\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "check") == 0) return check(argv[2]);
  if (argc >= 3 && std::strcmp(argv[1], "write") == 0) return write(argv[2], argc - 3, argv + 3);
  if (argc == 4 && std::strcmp(argv[1], "convert") == 0) return convert(argv[2], argv[3]);
  if (argc >= 4 && std::strcmp(argv[1], "analyse") == 0) return analyse(argc, argv);
  const bool asked = argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
  return usage(asked);
}
