#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace zelto::testing {
namespace {

std::vector<char*> pointers(std::vector<std::string>& strings) {
  std::vector<char*> result;
  for (std::string& s : strings) result.push_back(s.data());
  result.push_back(nullptr);
  return result;
}

struct Pipe {
  int read = -1;
  int write = -1;
};

Pipe make_pipe() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
  return {fds[0], fds[1]};
}

// Sets up descriptor `fd` of the child; gives the pipe end to read when the stream is captured.
int prepare_stream(posix_spawn_file_actions_t& actions, int fd, StreamSetup setup, std::vector<int>& to_close) {
  switch (setup) {
    case StreamSetup::captured: {
      const Pipe p = make_pipe();
      posix_spawn_file_actions_adddup2(&actions, p.write, fd);
      to_close.push_back(p.write);
      return p.read;
    }
    case StreamSetup::no_handle: posix_spawn_file_actions_addclose(&actions, fd); return -1;
    case StreamSetup::broken_pipe: {
      const Pipe p = make_pipe();
      close(p.read);
      posix_spawn_file_actions_adddup2(&actions, p.write, fd);
      to_close.push_back(p.write);
      return -1;
    }
    case StreamSetup::full_device: posix_spawn_file_actions_addopen(&actions, fd, "/dev/full", O_WRONLY, 0); return -1;
    case StreamSetup::terminal: {
      const int controller = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
      if (controller < 0 || grantpt(controller) != 0 || unlockpt(controller) != 0) {
        throw std::runtime_error("no pseudo-terminal");
      }
      posix_spawn_file_actions_addopen(&actions, fd, ptsname(controller), O_RDWR | O_NOCTTY, 0);
      return controller;
    }
  }
  return -1;
}

// Reads both pipes to their end, whichever has data first.
void drain(int out_fd, std::string& out, int err_fd, std::string& err) {
  pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string* sinks[2] = {&out, &err};
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    if (poll(fds, 2, -1) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !fds[i].revents) continue;
      char chunk[65536];
      const ssize_t got = read(fds[i].fd, chunk, sizeof chunk);  // a terminal ends with EIO
      if (got > 0) {
        sinks[i]->append(chunk, static_cast<std::size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
      }
    }
  }
}

}  // namespace

ChildProcess::ChildProcess(const ProcessLaunch& launch) {
  std::vector<std::string> argv = launch.argv;
  std::vector<std::string> env = launch.env;
  std::vector<char*> argv_pointers = pointers(argv);
  std::vector<char*> env_pointers = pointers(env);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  std::vector<int> to_close;
  out_fd_ = prepare_stream(actions, 1, launch.out, to_close);
  err_fd_ = prepare_stream(actions, 2, launch.err, to_close);

  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv_pointers[0], &actions, nullptr, argv_pointers.data(), env_pointers.data());
  posix_spawn_file_actions_destroy(&actions);
  for (int fd : to_close) close(fd);
  if (spawned != 0) throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(spawned));
  pid_ = pid;
}

bool ChildProcess::running() {
  int status = 0;
  if (!wait_status_ && waitpid(pid_, &status, WNOHANG) == pid_) wait_status_ = status;
  return !wait_status_;
}

ProcessResult ChildProcess::finish() {
  ProcessResult result;
  drain(out_fd_, result.out, err_fd_, result.err);
  int status = 0;
  while (!wait_status_) {
    if (waitpid(pid_, &status, 0) == pid_) wait_status_ = status;
    else if (errno != EINTR) throw std::runtime_error("waitpid failed");
  }
  result.status = WIFEXITED(*wait_status_) ? WEXITSTATUS(*wait_status_) : -WTERMSIG(*wait_status_);
  return result;
}

ProcessResult run_process(const ProcessLaunch& launch) { return ChildProcess(launch).finish(); }

std::string without_terminal_controls(std::string_view text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    if (text[i] == '\x1b' && i + 1 < text.size() && text[i + 1] == '[') {
      for (i += 2; i < text.size() && !(text[i] >= '@' && text[i] <= '~'); ++i) {
      }
      continue;
    }
    plain += text[i];
  }
  return plain;
}

std::vector<std::string> environment_outside_terminal() {
  std::vector<std::string> env;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view variable = *entry;
    if (!variable.starts_with("ZELTO_NODE_ID=") && !variable.starts_with("ZELTO_PORT=") &&
        !variable.starts_with("ZELTO_TOKEN=")) {
      env.emplace_back(variable);
    }
  }
  return env;
}

}  // namespace zelto::testing
