#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <memory>

#include "host.h"

extern char** environ;

namespace zelto::standin {
namespace {

using platform::SystemError;

constexpr int kEndRequests[] = {SIGINT, SIGTERM, SIGHUP};
// The signals whose handling the stand-in changes: the end requests, and those the platform layer
// ignores (a reader gone, a file at its size limit).
constexpr int kChanged[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ};

sigset_t ignored_at_start;
std::atomic<int> requested{0};        // the signal that asked the stand-in to end, or 0
std::atomic<pid_t> command_group{0};  // the command's process group, while it runs

void pass_on(int signal) {
  requested = signal;
  if (const pid_t group = command_group; group > 0) kill(-group, signal);
}

void handle(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = SA_RESTART;
  (void)sigaction(signal, &action, nullptr);  // cannot fail for a signal that exists
}

// The controlling terminal, when the stand-in's process group has it (it runs in the foreground);
// closed when it goes.
class Terminal {
 public:
  Terminal() : fd_(open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY)) {}
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;
  ~Terminal() {
    if (fd_ >= 0) close(fd_);
  }
  int fd() const { return fd_; }
  bool held() const { return fd_ >= 0 && tcgetpgrp(fd_) == getpgrp(); }
  // Makes `group` the terminal's foreground group, also from the background, where the terminal
  // would stop the stand-in for it (SIGTTOU).
  void give_to(pid_t group) const {
    sigset_t ttou, was;
    sigemptyset(&ttou);
    sigaddset(&ttou, SIGTTOU);
    pthread_sigmask(SIG_BLOCK, &ttou, &was);
    (void)tcsetpgrp(fd_, group);  // fails only when the terminal has gone: then nobody needs it
    pthread_sigmask(SIG_SETMASK, &was, nullptr);
  }

 private:
  int fd_;
};

// The command stopped (Ctrl+Z, or it read the terminal from the background): the stand-in takes
// the terminal back and stops the same way, so that its caller, a shell, takes over. Once continued
// it gives the terminal back, when it has it, and continues the command.
void stop_with(pid_t command, int signal, const Terminal& terminal, bool gave_terminal) {
  if (gave_terminal) terminal.give_to(getpgrp());
  (void)kill(getpid(), signal);  // the stand-in leaves the stop signals' handling as it found it
  if (gave_terminal && terminal.held()) terminal.give_to(command);
  (void)kill(-command, SIGCONT);
}

}  // namespace

void catch_end_requests() {
  sigemptyset(&ignored_at_start);
  for (const int signal : kChanged) {
    struct sigaction was {};
    if (sigaction(signal, nullptr, &was) == 0 && was.sa_handler == SIG_IGN) sigaddset(&ignored_at_start, signal);
  }
  for (const int signal : kEndRequests) {
    if (!sigismember(&ignored_at_start, signal)) handle(signal, pass_on);
  }
}

Result<CommandEnd, SystemError> run_command(const std::vector<std::string>& words) {
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  // The command's own process group, with the signals as the stand-in found them.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t as_found;
  sigemptyset(&as_found);
  for (const int signal : kChanged) {
    if (!sigismember(&ignored_at_start, signal)) sigaddset(&as_found, signal);
  }
  posix_spawnattr_setsigdefault(&attributes, &as_found);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  // The terminal, when the stand-in has it, goes to the command before it runs.
  const Terminal terminal;
  const bool gives_terminal = terminal.held();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (gives_terminal) posix_spawn_file_actions_addtcsetpgrp_np(&actions, terminal.fd());
  pid_t child = 0;
  // Looked up on this process's PATH, which the stand-in has set for the command.
  const int error = posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return platform::system_error(error);
  command_group = child;
  if (const int signal = requested) kill(-child, signal);  // one that came before the group was known
  int status = 0;
  for (;;) {
    if (waitpid(child, &status, WUNTRACED) < 0) {
      if (errno == EINTR) continue;
      command_group = 0;
      return platform::system_error(errno);
    }
    if (!WIFSTOPPED(status)) break;
    stop_with(child, WSTOPSIG(status), terminal, gives_terminal);
  }
  command_group = 0;
  if (gives_terminal) terminal.give_to(getpgrp());
  if (WIFSIGNALED(status)) return CommandEnd{128 + WTERMSIG(status), WTERMSIG(status)};
  return CommandEnd{WEXITSTATUS(status), 0};
}

void end_like(CommandEnd command) {
  if (const int signal = requested ? requested.load() : command.signal) {
    if (!sigismember(&ignored_at_start, signal)) {
      handle(signal, SIG_DFL);
      (void)std::raise(signal);
    }
    std::_Exit(128 + signal);
  }
  std::exit(command.status);
}

Result<Done, SystemError> run_in_background(std::function<void()> work) {
  auto held = std::make_unique<std::function<void()>>(std::move(work));
  const auto run = [](void* given) -> void* {
    (*std::unique_ptr<std::function<void()>>(static_cast<std::function<void()>*>(given)))();
    return nullptr;
  };
  pthread_t thread{};
  if (const int error = pthread_create(&thread, nullptr, run, held.get()); error != 0) {
    return platform::system_error(error);
  }
  (void)held.release();  // the thread's now
  pthread_detach(thread);
  return Done{};
}

Result<bool, SystemError> create_new_file(const std::filesystem::path& path, std::string_view content) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return false;
    return platform::system_error(errno);
  }
  int error = 0;
  while (!content.empty()) {
    const ssize_t written = write(fd, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = written < 0 ? errno : EIO;  // no progress: never loop forever
      break;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0) return true;
  (void)unlink(path.c_str());  // what was written of it
  return platform::system_error(error);
}

Result<Done, SystemError> set_environment_variable(const std::string& name, const std::string& value) {
  if (setenv(name.c_str(), value.c_str(), 1) != 0) return platform::system_error(errno);
  return Done{};
}

std::string default_shell() {
  const std::optional<std::string> shell = platform::environment_variable("SHELL");
  return shell && !shell->empty() ? *shell : "/bin/sh";
}

char path_separator() { return ':'; }

std::string default_path() {
  std::string path(confstr(_CS_PATH, nullptr, 0), '\0');
  if (path.empty()) return "/bin:/usr/bin";  // what confstr gives on every Linux
  path.resize(confstr(_CS_PATH, path.data(), path.size()) - 1);
  return path;
}

Result<std::filesystem::path, SystemError> executable_path() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return platform::system_error(error.value());
  return path;
}

}  // namespace zelto::standin
