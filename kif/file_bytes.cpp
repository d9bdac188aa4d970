// Reading and writing whole files on POSIX descriptors: the bytes go through unchanged, CR LF included.
// A save writes a temporary file in the target's folder, flushes it to the disk and renames it over the
// target, so that a full disk or an I/O error at any point leaves the old file as it was.
#include "kif/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

namespace halvane {

namespace {

int system_open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

FileStatus refused(FileProblem problem) { return {problem, FILE_STEP_OPEN, 0}; }
FileStatus failed(FileStep step, int error) { return {FILE_SYSTEM_ERROR, step, error}; }

// The file a save replaces: the path itself, or the file that its chain of symbolic links names, so
// that the link stays a link. A loop of links is left to the system calls to refuse (ELOOP).
std::string save_target(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    char link[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), link, sizeof link - 1);
    if (n <= 0) break;
    const std::string named(link, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    path = named.front() == '/' || slash == std::string::npos ? named : path.substr(0, slash + 1) + named;
  }
  return path;
}

std::string folder_of(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A fresh name beside the target, hidden, never one that exists (the open is exclusive). It does not
// repeat the target's name, so that a name near the system's limit still has room for it.
std::string temporary_name(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  return folder_of(target) + "/.halvane-save-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
}

// Gives the new file the old one's owner and group where the system allows it: the owner only the
// administrator may give, a group any of its members. Where both are refused the file is the saver's, as
// any new file would be.
bool keep_owner(int fd, const struct stat& old) {
  return ::fchown(fd, old.st_uid, old.st_gid) == 0 || ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
}

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = file_ops.write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;   // no progress and no reason: never loop on it
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

const FileOps SYSTEM_FILE_OPS = {system_open, ::write, ::fsync, ::rename};
FileOps file_ops = SYSTEM_FILE_OPS;

FileStatus read_file_bytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  // 1. A name that is no regular file is refused without opening it: opening a device may do something
  //    (a tape rewinds), and a FIFO would wait for a writer.
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return failed(FILE_STEP_OPEN, errno);
  if (!S_ISREG(st.st_mode)) return refused(FILE_NOT_REGULAR);
  // 2. The descriptor's own type and size decide, in case the name was replaced in between; the open
  //    does not wait even then.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENXIO ? refused(FILE_NOT_REGULAR) : failed(FILE_STEP_OPEN, errno);
  FileStatus status;
  if (::fstat(fd, &st) != 0) {
    status = failed(FILE_STEP_OPEN, errno);
  } else if (!S_ISREG(st.st_mode)) {
    status = refused(FILE_NOT_REGULAR);
  } else if (st.st_size > FILE_BYTE_LIMIT) {
    status = refused(FILE_TOO_LARGE);
  } else {
    // 3. The bytes, no more than the limit even if the file grows meanwhile.
    bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        status = failed(FILE_STEP_READ, errno);
        break;
      }
      if (n == 0) break;
      bytes.append(buffer, static_cast<size_t>(n));
      if (static_cast<long>(bytes.size()) > FILE_BYTE_LIMIT) {
        status = refused(FILE_TOO_LARGE);
        break;
      }
    }
  }
  ::close(fd);
  if (!status.ok()) bytes.clear();
  return status;
}

FileStatus write_file_bytes(const std::string& path, std::string_view bytes) {
  // 1. The file to replace, and its permissions if it exists. Only a regular file is replaced: a save
  //    never puts a file in place of a folder, a device or a FIFO.
  const std::string target = save_target(path);
  struct stat st;
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return failed(FILE_STEP_OPEN, errno);
  if (exists && !S_ISREG(st.st_mode)) return refused(FILE_NOT_REGULAR);
  // A file its owner made read-only stays as it is, although the folder would let it be replaced.
  if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return failed(FILE_STEP_OPEN, errno);

  // 2. The temporary file beside it, so that the rename stays within one file system. A new file gets
  //    the usual permissions (0666 less the umask), a replaced one those it had.
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = temporary_name(target);
    fd = file_ops.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return failed(FILE_STEP_CREATE, errno);

  // 3. The bytes, on the disk, then in place of the old file. A failure at any step removes the
  //    temporary file and leaves the old one untouched.
  FileStatus status;
  if (exists) {
    keep_owner(fd, st);
    if (::fchmod(fd, st.st_mode & 07777) != 0) status = failed(FILE_STEP_CREATE, errno);
  }
  if (status.ok() && !write_all(fd, bytes)) status = failed(FILE_STEP_WRITE, errno);
  if (status.ok() && file_ops.fsync(fd) != 0) status = failed(FILE_STEP_SYNC, errno);
  if (::close(fd) != 0 && status.ok()) status = failed(FILE_STEP_WRITE, errno);
  if (status.ok() && file_ops.rename(temporary.c_str(), target.c_str()) != 0) status = failed(FILE_STEP_RENAME, errno);
  if (!status.ok()) {
    ::unlink(temporary.c_str());
    return status;
  }

  // 4. The rename itself on the disk. The new file is in place whatever this answers (some file
  //    systems refuse to flush a folder), so it is no failure of the save.
  const int folder = ::open(folder_of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  return status;
}

std::string file_status_text(const FileStatus& status) {
  switch (status.problem) {
    case FILE_OK: return "done";
    case FILE_NOT_REGULAR: return "not a regular file";
    case FILE_TOO_LARGE:
      return "larger than " + std::to_string(FILE_BYTE_LIMIT_MIB) + " MiB, the limit for a record file";
    case FILE_SYSTEM_ERROR: break;
  }
  static constexpr const char* STEPS[] = {"opening",      "reading",        "creating the temporary file",
                                          "writing",      "flushing to disk", "replacing the file"};
  return std::string(STEPS[status.step]) + ": " + std::strerror(status.error);
}

}  // namespace halvane
