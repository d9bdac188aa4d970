// Looks for data files in the current directory, beside the executable and in the installed data folder.
#include "app/data_files.h"

#include <unistd.h>

#include <climits>

#ifndef HALVANE_INSTALLED_DATA_DIR
#define HALVANE_INSTALLED_DATA_DIR "/usr/share/halvane"
#endif

namespace halvane {

static bool readable(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

static std::string executable_dir() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  std::string path(buffer, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string find_data_file(const std::string& relative) {
  if (readable(relative)) return relative;
  const std::string exe = executable_dir();
  const std::string candidates[] = {
      exe + "/" + relative,
      exe + "/../share/halvane/" + relative,
      std::string(HALVANE_INSTALLED_DATA_DIR) + "/" + relative,
  };
  for (const auto& path : candidates)
    if (readable(path)) return path;
  return relative;
}

}  // namespace halvane
