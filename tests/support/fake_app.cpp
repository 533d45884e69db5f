#include "fake_app.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace zelto::testing {
namespace {

int bound_listener(std::uint16_t& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 16) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("fake app: cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return fd;
}

std::string read_request_line(int connection) {
  std::string request;
  char chunk[4096];
  while (request.find('\n') == std::string::npos) {
    const ssize_t got = recv(connection, chunk, sizeof chunk, 0);
    if (got <= 0) break;
    request.append(chunk, static_cast<std::size_t>(got));
  }
  return request;
}

void send_all(int connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

}  // namespace

AppScript answers(std::string response) { return {AppScript::Action::answer, std::move(response)}; }
AppScript closes_after_request() { return {AppScript::Action::close_after_request, {}}; }
AppScript not_listening() { return {AppScript::Action::not_listening, {}}; }

FakeApp::FakeApp(AppScript script) : script_(std::move(script)) {
  if (script_.action == AppScript::Action::not_listening) {
    port_ = unused_port();
    return;
  }
  listener_ = bound_listener(port_);
  server_ = std::thread([this] { serve(); });
}

FakeApp::~FakeApp() { stop(); }

std::vector<std::string> FakeApp::stop() {
  if (server_.joinable()) {
    shutdown(listener_, SHUT_RDWR);  // wakes the blocked accept()
    server_.join();
    close(listener_);
  }
  std::lock_guard lock(mutex_);
  return requests_;
}

void FakeApp::serve() {
  for (;;) {
    const int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) return;
    handle(connection);
    close(connection);
  }
}

void FakeApp::handle(int connection) {
  std::string request = read_request_line(connection);
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
  }
  if (script_.action == AppScript::Action::answer) send_all(connection, script_.response);
}

std::uint16_t unused_port() {
  std::uint16_t port = 0;
  close(bound_listener(port));
  return port;
}

}  // namespace zelto::testing
