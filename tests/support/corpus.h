// The shared corpus (real KIF files, published mate problems), read by path beside the project. Every test
// that reads it skips the same way when it is not there: a fresh clone without ../shared still passes.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

namespace halvane::test_support {

inline std::filesystem::path corpus_path(const char* relative) {
  return std::filesystem::path(HALVANE_CORPUS_DIR) / relative;
}

}  // namespace halvane::test_support

// Skips the calling test (or fixture SetUp) with one clear message when `path` is missing.
#define HALVANE_SKIP_WITHOUT_CORPUS(path)                                                        \
  if (!std::filesystem::exists(path))                                                          \
  GTEST_SKIP() << "shared corpus not found at " << (path).string() << ": skipped"
