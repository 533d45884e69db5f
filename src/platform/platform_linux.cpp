#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace zelto::platform {
namespace {

int descriptor(StandardStream stream) { return stream == StandardStream::output ? STDOUT_FILENO : STDERR_FILENO; }

// Whether the process was started without each standard stream, by descriptor: set by
// prepare_process().
bool started_without[3];

// The IPv4 loopback address at `port`.
sockaddr_in loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace

SystemError system_error(int code) {
  return {std::string(std::strerror(code)) + " (os error " + std::to_string(code) + ")"};
}

void prepare_process() {
  // A reader that went away, and a file past the size limit, fail the write instead of ending the
  // process without a word. (Ignoring a signal that exists cannot fail.)
  for (const int signal : {SIGPIPE, SIGXFSZ}) (void)std::signal(signal, SIG_IGN);
  // F_GETFD fails only for a descriptor that is not open.
  for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) started_without[fd] = fcntl(fd, F_GETFD) == -1;
}

std::optional<std::string> environment_variable(const char* name) {
  if (const char* value = std::getenv(name)) return value;
  return std::nullopt;
}

std::vector<std::string> arguments(int argc, char** argv) { return {argv + std::min(argc, 1), argv + argc}; }

Result<Done, SystemError> write_standard(StandardStream stream, std::string_view text) {
  const int fd = descriptor(stream);
  if (started_without[fd]) return Done{};
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return system_error(errno);
    if (written == 0) return system_error(EIO);  // no progress: never loop forever
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return Done{};
}

bool is_terminal(StandardStream stream) {
  const int fd = descriptor(stream);
  return !started_without[fd] && isatty(fd);
}

Result<Done, SystemError> LoopbackSocket::connect(std::uint16_t port) {
  // It may take the number of a standard stream the process was started without: what is written
  // to that stream goes nowhere all the same (write_standard).
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return system_error(errno);
  handle_ = static_cast<std::uintptr_t>(fd);
  const sockaddr_in address = loopback(port);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return system_error(errno);
  return Done{};
}

Result<std::size_t, SystemError> LoopbackSocket::send_some(std::string_view bytes) {
  for (;;) {
    const ssize_t sent = send(static_cast<int>(*handle_), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent >= 0) return static_cast<std::size_t>(sent);
    if (errno != EINTR) return system_error(errno);
  }
}

Result<std::size_t, SystemError> LoopbackSocket::receive_some(std::span<char> room) {
  for (;;) {
    const ssize_t received = recv(static_cast<int>(*handle_), room.data(), room.size(), 0);
    if (received >= 0) return static_cast<std::size_t>(received);
    if (errno != EINTR) return system_error(errno);
  }
}

LoopbackSocket::~LoopbackSocket() {
  if (handle_) ::close(static_cast<int>(*handle_));
}

Result<std::uint16_t, SystemError> LoopbackSocket::listen(std::uint16_t port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return system_error(errno);
  handle_ = static_cast<std::uintptr_t>(fd);
  const int yes = 1;
  (void)setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);  // past a closed connection's wait
  sockaddr_in address = loopback(port);
  socklen_t length = sizeof address;
  auto* const generic = reinterpret_cast<sockaddr*>(&address);
  if (bind(fd, generic, length) != 0 || ::listen(fd, SOMAXCONN) != 0 || getsockname(fd, generic, &length) != 0)
    return system_error(errno);
  return ntohs(address.sin_port);
}

Result<LoopbackSocket, SystemError> LoopbackSocket::accept() {
  for (;;) {
    const int fd = accept4(static_cast<int>(*handle_), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd >= 0) return LoopbackSocket(static_cast<std::uintptr_t>(fd));
    if (errno != EINTR) return system_error(errno);
  }
}

Result<std::vector<bool>, SystemError> LoopbackSocket::wait_for(std::span<const Awaited> sockets, int milliseconds) {
  std::vector<pollfd> polled;
  polled.reserve(sockets.size());
  for (const auto& [socket, room_to_send] : sockets)
    polled.push_back({static_cast<int>(*socket->handle_), static_cast<short>(room_to_send ? POLLOUT : POLLIN), 0});
  const int count = poll(polled.data(), polled.size(), milliseconds);
  if (count < 0 && errno != EINTR) return system_error(errno);
  std::vector<bool> ready;
  ready.reserve(polled.size());
  for (const pollfd& each : polled) ready.push_back(count > 0 && each.revents != 0);
  return ready;
}

}  // namespace zelto::platform
