// An engine program as a child process: started by its path with its own folder as working directory,
// pipes for its input and output (non-blocking on this side), its errors to a log or /dev/null, in a
// process group of its own so that a wrapper script's children are signalled too. Also the line
// splitter for what it writes, which never lets one line grow without bound.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace halvane {

struct ChildProcess {
  pid_t pid = -1;
  int pidfd = -1;    // readable once the process has ended; -1 where the kernel offers none
  int input = -1;    // the engine's standard input (we write)
  int output = -1;   // the engine's standard output (we read)
};

// Starts `path` (made absolute against the current directory) in its folder, with `arguments` after its
// name (engines need none; a test engine takes its behaviour from one). `error_log` names the file
// its standard error is appended to; "" sends it to /dev/null. On failure returns false with a message and
// leaves nothing open. SIGPIPE is ignored in this process from the first start on (a write to an engine
// that has gone fails with EPIPE instead of ending the program); the child gets every signal's default.
bool spawn_child(const std::string& path, const std::vector<std::string>& arguments, const std::string& error_log,
                 ChildProcess& child, std::string& error);

// Sends `signal` to the child's process group and to the child itself.
void signal_child(const ChildProcess& child, int signal);

// Collects the child's exit without waiting: true once it has ended, with its raw wait status (-1 when the
// status was lost, as when SIGCHLD is ignored and the system reaped it).
bool reap_child(const ChildProcess& child, int& wait_status);

// Closes every descriptor still open (the pid stays for the record).
void close_child_files(ChildProcess& child);

// Lines longer than this are dropped whole: no protocol line comes near it (the longest, a combo option
// with a hundred choices or a long best line, stays under 4 KiB).
constexpr size_t MAX_ENGINE_LINE = 64 * 1024;

struct LineSplitter {
  std::string partial;      // the start of a line whose end has not come
  bool dropping = false;    // inside an over-long line: everything up to its end is dropped
};

// Adds bytes read from the engine; appends each completed line (without "\r\n" or "\n") to `lines`, and
// returns how many over-long lines were dropped.
int split_lines(LineSplitter& splitter, std::string_view bytes, std::vector<std::string>& lines);

}  // namespace halvane
