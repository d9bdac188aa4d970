// Reading and writing whole files with the C library's binary streams: the bytes go through unchanged,
// CR LF included.
#include "kif/file_bytes.h"

#include <cstdio>

namespace halvane {

bool read_file_bytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, n);
    if (static_cast<long>(bytes.size()) >= FILE_BYTE_LIMIT) break;
  }
  const bool read = std::ferror(file) == 0;
  std::fclose(file);
  return read;
}

bool write_file_bytes(const std::string& path, std::string_view bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool stored = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && stored;
}

}  // namespace halvane
