// Whole files as bytes, for the record files: the load and save commands and halvane-kif read and write
// through these, so that a file too large, unreadable or only half written is told apart from a record.
#pragma once

#include <string>
#include <string_view>

namespace halvane {

constexpr long FILE_BYTE_LIMIT = 64L << 20;   // far more than any record of 498 moves needs

// Reads the file (at most FILE_BYTE_LIMIT bytes); false when it cannot be opened or read (a directory).
bool read_file_bytes(const std::string& path, std::string& bytes);
// Creates or truncates the file and writes the bytes; false unless all of them reached the file.
bool write_file_bytes(const std::string& path, std::string_view bytes);

}  // namespace halvane
