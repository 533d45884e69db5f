#include <arpa/inet.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::uint16_t serve_in_background(std::uint16_t port, std::function<std::string(std::string_view)> answer) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listener < 0) fail("socket");
  const int yes = 1;
  setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    fail("bind 127.0.0.1:" + std::to_string(port));
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

int run_command(const std::vector<std::string>& command,
                const std::vector<std::pair<std::string, std::string>>& variables) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view name = std::string_view(*entry).substr(0, std::string_view(*entry).find('='));
    bool replaced = false;
    for (const auto& variable : variables) replaced = replaced || variable.first == name;
    if (!replaced) environment.emplace_back(*entry);
  }
  for (const auto& [name, value] : variables) environment.push_back(name + '=' + value);

  const auto pointers = [](const std::vector<std::string>& words) {
    std::vector<char*> result;
    result.reserve(words.size() + 1);
    for (const std::string& word : words) result.push_back(const_cast<char*>(word.c_str()));
    result.push_back(nullptr);
    return result;
  };
  std::vector<char*> argv = pointers(command);
  std::vector<char*> envp = pointers(environment);

  // The terminal's interrupt is for the command: the app ignores it and keeps serving until the
  // command ends, and the command gets the default handling back.
  (void)std::signal(SIGINT, SIG_IGN);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGINT);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  pid_t child = 0;
  const int error = posix_spawnp(&child, argv[0], nullptr, &attributes, argv.data(), envp.data());
  posix_spawnattr_destroy(&attributes);
  if (error != 0) {
    errno = error;
    fail("cannot run " + command[0]);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) fail("waitpid");
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::filesystem::path make_temporary_folder(std::string_view prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
  if (!mkdtemp(pattern.data())) fail("mkdtemp");
  return pattern;
}

std::filesystem::path executable_folder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path(); }

}  // namespace zelto::standin
