// Why a file could not be read or saved, as the message boxes tell it: the record files of the load and
// save commands and the window's settings file.
#pragma once

#include <string>

#include "kif/file_bytes.h"

namespace halvane {

// One sentence in Japanese, from the refusal or the system's error number: 「容量不足です。」,
// 「書き込み権限がありません。」, 「通常のファイルではありません。」; other errors name the system's own text.
std::u16string file_error_text(const FileStatus& status, bool saving);

}  // namespace halvane
