// Whole files as bytes, for the record files and the window's settings: the load and save commands,
// halvane-kif and the settings read and write through these. Reading takes only regular files of a
// bounded size; writing never leaves a file half written: the bytes go to a temporary file beside the
// target, which replaces the target only once all of them are on the disk.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace halvane {

// A record of thousands of moves is well below 1 MiB; anything larger is no record, and reading it whole
// would only cost memory.
constexpr int FILE_BYTE_LIMIT_MIB = 16;
constexpr long FILE_BYTE_LIMIT = static_cast<long>(FILE_BYTE_LIMIT_MIB) << 20;

enum FileProblem {
  FILE_OK,
  FILE_NOT_REGULAR,    // a directory, a device, a FIFO or a socket: refused before a byte is read
  FILE_TOO_LARGE,      // more than FILE_BYTE_LIMIT bytes
  FILE_SYSTEM_ERROR,   // a system call failed; `error` holds its errno
};

// The step of a read or a save that failed, for the messages.
enum FileStep { FILE_STEP_OPEN, FILE_STEP_READ, FILE_STEP_CREATE, FILE_STEP_WRITE, FILE_STEP_SYNC, FILE_STEP_RENAME };

struct FileStatus {
  FileProblem problem = FILE_OK;
  FileStep step = FILE_STEP_OPEN;
  int error = 0;   // errno of the failed system call
  bool ok() const { return problem == FILE_OK; }
};

// The system calls a save goes through. Tests replace one to make a save fail at that step.
struct FileOps {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*write)(int fd, const void* data, size_t size);
  int (*fsync)(int fd);
  int (*rename)(const char* from, const char* to);
};
extern FileOps file_ops;
extern const FileOps SYSTEM_FILE_OPS;

// Reads a regular file of at most FILE_BYTE_LIMIT bytes. Never waits on a FIFO or a device.
FileStatus read_file_bytes(const std::string& path, std::string& bytes);
// Replaces the file with the bytes, or leaves it as it was and no temporary file behind. A symbolic link
// is followed: the file it names is replaced and the link stays. An existing file keeps its permissions
// (and its owner where the system allows); one that may not be written is not replaced either.
FileStatus write_file_bytes(const std::string& path, std::string_view bytes);

// The failure in English, for halvane-kif: "not a regular file", "larger than 16 MiB", the system's text.
std::string file_status_text(const FileStatus& status);

}  // namespace halvane
