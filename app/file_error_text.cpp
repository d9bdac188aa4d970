// The Japanese sentences for a failed read or save, chosen by the error number.
#include "app/file_error_text.h"

#include <cerrno>
#include <cstring>

#include "app/utf8.h"

namespace halvane {

std::u16string file_error_text(const FileStatus& status, bool saving) {
  switch (status.problem) {
    case FILE_OK: return u"";
    case FILE_NOT_REGULAR: return u"通常のファイルではありません。";
    case FILE_TOO_LARGE:
      return u"ファイルが大きすぎます（上限は " + utf16_from_utf8(std::to_string(FILE_BYTE_LIMIT_MIB)) + u" MiB です）。";
    case FILE_SYSTEM_ERROR: break;
  }
  switch (status.error) {
    case ENOSPC: return u"ディスクの容量不足です。";
    case EDQUOT: return u"ディスクの使用量の上限に達したため容量不足です。";
    case EACCES:
    case EPERM: return saving ? u"書き込み権限がありません。" : u"読み込む権限がありません。";
    case EROFS: return u"読み取り専用の場所には書き込めません。";
    case EIO: return u"ディスクの入出力エラーです。";
    case ENOENT: return saving ? u"保存先のフォルダがありません。" : u"ファイルが見つかりません。";
    case ENAMETOOLONG: return u"ファイル名が長すぎます。";
    default: break;
  }
  return (saving ? u"書き込みに失敗しました（" : u"読み込みに失敗しました（") +
         utf16_from_utf8(std::strerror(status.error)) + u"）。";
}

}  // namespace halvane
