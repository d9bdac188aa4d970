// Starting an engine as a child process with posix_spawn, signalling and reaping it, and splitting its
// output into lines.
#include "engine_client/child_process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <mutex>

extern char** environ;

namespace halvane {

namespace {

std::string system_error(const char* what, int code) { return std::string(what) + ": " + strerror(code); }

// A descriptor numbered 3 or above with close-on-exec set: a GUI started with its standard descriptors
// closed would hand out 0..2 for our pipes, and a dup2 onto itself would keep the close-on-exec flag.
int above_standard(int fd) {
  if (fd > 2) return fd;
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  close(fd);
  return moved;
}

bool make_pipe(int ends[2]) {
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  ends[0] = above_standard(ends[0]);
  ends[1] = above_standard(ends[1]);
  return ends[0] >= 0 && ends[1] >= 0;
}

void close_fd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// A write to a pipe whose reader has gone raises SIGPIPE, which by default ends the program: the window
// would vanish because an engine crashed. Ignored, the write fails with EPIPE and the client reports it.
// A handler the program installed itself is left alone.
void ignore_sigpipe() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction current {};
    if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) signal(SIGPIPE, SIG_IGN);
  });
}

}  // namespace

bool spawn_child(const std::string& path, const std::vector<std::string>& arguments, const std::string& error_log,
                 ChildProcess& child, std::string& error) {
  // 1. The program: an absolute path (the working directory changes before it starts) to an executable file.
  if (path.empty()) { error = "no engine program given"; return false; }
  std::string program = path;
  if (program.front() != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) { error = system_error("cannot resolve the engine's path", errno); return false; }
    program = std::string(cwd) + "/" + program;
  }
  struct stat info {};
  if (stat(program.c_str(), &info) != 0) { error = system_error(program.c_str(), errno); return false; }
  if (!S_ISREG(info.st_mode)) { error = program + ": not a regular file"; return false; }
  if (access(program.c_str(), X_OK) != 0) { error = system_error(program.c_str(), errno); return false; }
  const size_t slash = program.rfind('/');
  const std::string folder = slash == 0 ? "/" : program.substr(0, slash);
  ignore_sigpipe();

  // 2. Pipes, close-on-exec on this side so that no other child inherits them.
  int to_child[2] = {-1, -1}, from_child[2] = {-1, -1};
  if (!make_pipe(to_child) || !make_pipe(from_child)) {
    error = system_error("cannot make pipes for the engine", errno);
    for (int* fd : {&to_child[0], &to_child[1], &from_child[0], &from_child[1]}) close_fd(*fd);
    return false;
  }

  // 3. The child's descriptors, folder, process group and signals.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, to_child[0], 0);
  posix_spawn_file_actions_adddup2(&actions, from_child[1], 1);
  const std::string log = error_log.empty() ? "/dev/null" : error_log;
  posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
#if defined(__GLIBC__) && __GLIBC_PREREQ(2, 34)
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, defaults;
  sigemptyset(&none);
  sigfillset(&defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

  std::vector<std::string> words{program};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close_fd(to_child[0]);
  close_fd(from_child[1]);
  if (failed != 0) {
    close_fd(to_child[1]);
    close_fd(from_child[0]);
    error = system_error(("cannot start " + program).c_str(), failed);
    return false;
  }

  // 4. Our ends never block: the client's thread waits for them with poll.
  fcntl(to_child[1], F_SETFL, fcntl(to_child[1], F_GETFL) | O_NONBLOCK);
  fcntl(from_child[0], F_SETFL, fcntl(from_child[0], F_GETFL) | O_NONBLOCK);
  child.pid = pid;
  child.input = to_child[1];
  child.output = from_child[0];
#ifdef SYS_pidfd_open
  child.pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (child.pidfd >= 0) child.pidfd = above_standard(child.pidfd);
#endif
  return true;
}

void signal_child(const ChildProcess& child, int signal) {
  if (child.pid <= 0) return;
  kill(-child.pid, signal);
  kill(child.pid, signal);   // an engine that left our process group
}

bool reap_child(const ChildProcess& child, int& wait_status) {
  int status = 0;
  pid_t got;
  do got = waitpid(child.pid, &status, WNOHANG);
  while (got < 0 && errno == EINTR);
  if (got == 0) return false;
  wait_status = got == child.pid ? status : -1;
  return true;
}

void close_child_files(ChildProcess& child) {
  close_fd(child.pidfd);
  close_fd(child.input);
  close_fd(child.output);
}

int split_lines(LineSplitter& splitter, std::string_view bytes, std::vector<std::string>& lines) {
  int dropped = 0;
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, end);
    if (!splitter.dropping) {
      splitter.partial.append(piece);
      if (splitter.partial.size() > MAX_ENGINE_LINE) {
        splitter.partial.clear();
        splitter.dropping = true;
        ++dropped;
      }
    }
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
    if (!splitter.dropping) {
      if (!splitter.partial.empty() && splitter.partial.back() == '\r') splitter.partial.pop_back();
      lines.push_back(std::move(splitter.partial));
    }
    splitter.partial.clear();
    splitter.dropping = false;
  }
  return dropped;
}

}  // namespace halvane
