#include <arpa/inet.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "host.h"

extern char** environ;

namespace zelto::standin {
namespace {

constexpr std::size_t kLongestRequest = 64 << 20;

std::atomic<int> requested{0};  // the signal that asked the stand-in to end, or 0
std::atomic<pid_t> command{0};  // the command's process, while it runs

void pass_on(int signal) {
  requested = signal;
  if (const pid_t pid = command; pid > 0) kill(pid, signal);
}

[[noreturn]] void fail(const std::string& what) { throw std::runtime_error(what + ": " + std::strerror(errno)); }

std::string read_line(int connection) {
  std::string line;
  char chunk[65536];
  while (line.find('\n') == std::string::npos && line.size() < kLongestRequest) {
    const ssize_t got = recv(connection, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    line.append(chunk, static_cast<std::size_t>(got));
  }
  return line.substr(0, line.find('\n'));
}

void write_all(int connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

}  // namespace

void catch_end_requests() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) (void)std::signal(signal, pass_on);
}

int end_request() { return requested; }

void end_as_requested(int request) {
  (void)std::signal(request, SIG_DFL);
  (void)std::raise(request);
  std::_Exit(128 + request);
}

std::uint16_t serve_in_background(std::uint16_t port, std::function<std::string(std::string_view)> answer) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener < 0) fail("socket");
  const int yes = 1;
  (void)setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    fail("cannot listen on 127.0.0.1:" + std::to_string(port));
  }
  if (listen(listener, 64) != 0) fail("listen");
  if (getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) fail("getsockname");

  std::thread([listener, answer = std::move(answer)] {
    for (;;) {
      const int connection = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection < 0) continue;
      write_all(connection, answer(read_line(connection)));
      close(connection);
    }
  }).detach();
  return ntohs(address.sin_port);
}

void set_environment_variable(const std::string& name, const std::string& value) {
  if (setenv(name.c_str(), value.c_str(), 1) != 0) fail("setenv " + name);
}

std::string default_shell() {
  const char* shell = std::getenv("SHELL");
  return shell && *shell ? shell : "/bin/sh";
}

char path_separator() { return ':'; }

int run_command(const std::vector<std::string>& words) {
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  pid_t child = 0;
  // Looked up on this process's PATH, which the stand-in has set for the command.
  if (const int error = posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ); error != 0) {
    errno = error;
    fail("cannot run " + words[0]);
  }
  command = child;
  if (const int signal = requested) kill(child, signal);  // one that came before the command was known
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) fail("waitpid");
  }
  command = 0;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::filesystem::path executable_path() { return std::filesystem::read_symlink("/proc/self/exe"); }

}  // namespace zelto::standin
