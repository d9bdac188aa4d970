// Why a KIF file could not be loaded, as the load's box tells it: the line and what is wrong there, in
// Japanese where the reader's reason is known ("12行目：10手目 二歩です。").
#pragma once

#include <string>

#include "kif/kif_read.h"

namespace halvane {

std::u16string load_failure_text(const KifReadResult& result);

}  // namespace halvane
