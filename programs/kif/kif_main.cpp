// halvane-kif: "check FILE" reads a KIF record as the game's load command does and prints its moves in
// USI and the final position as SFEN; "write OUT.kif MOVE..." plays USI moves from the initial position
// and saves them as the game's save command does. The messages the window would show in boxes go to
// standard error as "caption: text", with the reason in English on the line after. A file is written
// as the window saves it: in full or not at all.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/sfen.h"
#include "kif/file_bytes.h"
#include "kif/kif_read.h"
#include "kif/kif_write.h"

using namespace halvane;

namespace {

constexpr const char* CANNOT_OPEN = "棋譜ファイルを開けませんでした。";

constexpr const char* USAGE =
    "usage: halvane-kif check FILE\n"
    "       halvane-kif write OUT.kif MOVE...   (USI moves from the initial position)\n"
    "       halvane-kif --help\n";

// Asked for, the usage is the answer; after a mistake it is the complaint.
int usage(bool asked) {
  std::fputs(USAGE, asked ? stdout : stderr);
  return asked ? 0 : 2;
}

int check(const char* file) {
  std::string bytes;
  const FileStatus opened = read_file_bytes(file, bytes);
  if (!opened.ok()) {
    std::fprintf(stderr, "%s: %s\n%s: %s\n", file, CANNOT_OPEN, file, file_status_text(opened).c_str());
    return 1;
  }
  auto record = std::make_unique<GameRecord>();
  const KifReadResult read = read_kif(bytes, *record);
  if (read.status != KIF_READ_OK) {
    std::fprintf(stderr, "棋譜読み込みエラー: 棋譜ファイルのフォーマットが合いません。\n%s: %s\n", file,
                 read.message.c_str());
    return 1;
  }
  std::fprintf(stderr, "成功: 棋譜ファイルを開けました。\n");
  SfenPosition pos = startpos();
  std::printf("moves %d\nusi", record->move_count);
  for (int k = 0; k < record->move_count; ++k) {
    std::printf(" %s", move_to_usi(record->moves[k]).c_str());
    apply_move(pos, record->moves[k]);
  }
  std::printf("\nsfen %s\n", format_sfen(pos).c_str());
  return 0;
}

int write(const char* out, int count, char** moves) {
  if (count > KIF_MOVE_LIMIT) {
    std::fprintf(stderr, "a record holds at most %d moves\n", KIF_MOVE_LIMIT);
    return 1;
  }
  auto record = std::make_unique<GameRecord>();
  SfenPosition pos = startpos();
  for (int i = 0; i < count; ++i) {
    MoveRecord& move = record->moves[i];
    std::string error;
    if (!parse_usi_move(moves[i], pos, move, error)) {
      std::fprintf(stderr, "move %d (%s): %s\n", i + 1, moves[i], error.c_str());
      return 1;
    }
    apply_move(pos, move);
    record->move_count = i + 1;
  }
  if (record->move_count < KIF_SAVE_MIN_MOVES) {
    std::fprintf(stderr, "失敗: 保存する棋譜の手数が足りません。\n");
    return 1;
  }
  // The game has not ended: the file closes with "中断".
  const FileStatus written = write_file_bytes(out, kif_text(*record, local_kif_date()));
  if (!written.ok()) {
    std::fprintf(stderr, "%s: 棋譜ファイルを保存できませんでした。\n%s: %s\n", out, out, file_status_text(written).c_str());
    return 1;
  }
  std::fprintf(stderr, "成功: 棋譜ファイルを保存しました。\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "check") == 0) return check(argv[2]);
  if (argc >= 3 && std::strcmp(argv[1], "write") == 0) return write(argv[2], argc - 3, argv + 3);
  const bool asked = argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0);
  return usage(asked);
}
