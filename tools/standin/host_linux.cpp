#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
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

constexpr int kEndRequests[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<int> requested{0};  // the signal that asked the stand-in to end, or 0
std::atomic<pid_t> command{0};  // the command's process, while it runs

void pass_on(int signal) {
  requested = signal;
  if (const pid_t pid = command; pid > 0) kill(pid, signal);
}

void handle(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  action.sa_flags = SA_RESTART;
  (void)sigaction(signal, &action, nullptr);  // cannot fail for a signal that exists
}

}  // namespace

void catch_end_requests() {
  for (const int signal : kEndRequests) handle(signal, pass_on);
}

int end_request() { return requested; }

void end_as_requested(int request) {
  handle(request, SIG_DFL);
  (void)std::raise(request);
  std::_Exit(128 + request);
}

Result<Done, platform::SystemError> run_in_background(std::function<void()> work) {
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

Result<bool, platform::SystemError> create_new_file(const std::filesystem::path& path, std::string_view content) {
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

Result<Done, platform::SystemError> set_environment_variable(const std::string& name, const std::string& value) {
  if (setenv(name.c_str(), value.c_str(), 1) != 0) return platform::system_error(errno);
  return Done{};
}

std::string default_shell() {
  const std::optional<std::string> shell = platform::environment_variable("SHELL");
  return shell && !shell->empty() ? *shell : "/bin/sh";
}

char path_separator() { return ':'; }

Result<int, platform::SystemError> run_command(const std::vector<std::string>& words) {
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  // What the stand-in ignores (a reader gone, a file at its size limit) or catches ends the command
  // as usual.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t usual;
  sigemptyset(&usual);
  for (const int signal : {SIGPIPE, SIGXFSZ}) sigaddset(&usual, signal);
  posix_spawnattr_setsigdefault(&attributes, &usual);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  pid_t child = 0;
  // Looked up on this process's PATH, which the stand-in has set for the command.
  const int error = posix_spawnp(&child, argv[0], nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) return platform::system_error(error);
  command = child;
  if (const int signal = requested) kill(child, signal);  // one that came before the command was known
  int status = 0;
  const pid_t waited = waitpid(child, &status, 0);  // restarted after a signal (SA_RESTART)
  command = 0;
  if (waited < 0) return platform::system_error(errno);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string default_path() {
  std::string path(confstr(_CS_PATH, nullptr, 0), '\0');
  if (path.empty()) return "/bin:/usr/bin";  // what confstr gives on every Linux
  path.resize(confstr(_CS_PATH, path.data(), path.size()) - 1);
  return path;
}

Result<std::filesystem::path, platform::SystemError> executable_path() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return platform::system_error(error.value());
  return path;
}

}  // namespace zelto::standin
