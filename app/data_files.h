// Finding the program's picture files: the current directory first, as the program always did, then its
// own data folder beside the executable, then the installed data folder.
#pragma once

#include <string>

namespace halvane {

// The path of `relative` (for example "koma/hu1.gif") in the first folder that holds it; `relative`
// itself when none does, so that the caller's load fails as it would have.
std::string find_data_file(const std::string& relative);

}  // namespace halvane
