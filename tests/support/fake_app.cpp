#include "fake_app.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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

void wait_for_data(int connection) {
  pollfd readable = {connection, POLLIN, 0};
  poll(&readable, 1, 10'000);
}

void send_all(int connection, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

void reset(int connection) {
  const linger abort_on_close = {1, 0};
  setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort_on_close, sizeof abort_on_close);
}

}  // namespace

bool AppScript::holds() const {
  return std::ranges::any_of(steps, [](const AppStep& step) { return step.kind == AppStep::Kind::hold; });
}

AppScript answers(std::string response) { return {.steps = {{AppStep::Kind::send, std::move(response)}}}; }
AppScript closes_after_request() { return {}; }
AppScript closes_without_reading() { return {.reads_request = false}; }
AppScript not_listening() { return {.listening = false}; }

AppScript trickles(std::string_view response, int milliseconds) {
  AppScript script;
  for (const char byte : response) {
    script.steps.push_back({AppStep::Kind::pause, {}, milliseconds});
    script.steps.push_back({AppStep::Kind::send, std::string(1, byte)});
  }
  return script;
}

AppScript answers_in_pieces(std::vector<std::string> pieces) {
  AppScript script;
  for (std::string& piece : pieces) {
    if (!script.steps.empty()) script.steps.push_back({AppStep::Kind::pause, {}, 50});
    script.steps.push_back({AppStep::Kind::send, std::move(piece)});
  }
  return script;
}

AppScript answers_after_watching(std::string response) {
  return {.steps = {{AppStep::Kind::watch, {}, 200}, {AppStep::Kind::send, std::move(response)}}};
}

AppScript resets_after(std::string partial_response) {
  return {.steps = {{AppStep::Kind::send, std::move(partial_response)},
                    {AppStep::Kind::pause, {}, 50},
                    {AppStep::Kind::reset}}};
}

AppScript holds_after(std::string response) {
  return {.steps = {{AppStep::Kind::send, std::move(response)}, {AppStep::Kind::hold}}};
}

FakeApp::FakeApp(AppScript script) : script_(std::move(script)) {
  if (!script_.listening) {
    port_ = unused_port();
    return;
  }
  listener_ = bound_listener(port_);
  server_ = std::thread([this] { serve(); });
}

FakeApp::~FakeApp() { stop(); }

std::vector<std::string> FakeApp::stop() {
  release();
  if (server_.joinable()) {
    shutdown(listener_, SHUT_RDWR);  // wakes the blocked accept()
    server_.join();
    close(listener_);
  }
  std::lock_guard lock(mutex_);
  return requests_;
}

void FakeApp::wait_until_holding() {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, std::chrono::seconds(30), [this] { return holding_; });
}

void FakeApp::release() {
  std::lock_guard lock(mutex_);
  released_ = true;
  changed_.notify_all();
}

bool FakeApp::saw_half_close() {
  std::lock_guard lock(mutex_);
  return saw_half_close_;
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
  if (script_.reads_request) {
    std::string request = read_request_line(connection);
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
  } else {
    wait_for_data(connection);  // closing with unread data makes the close a reset
  }
  for (const AppStep& step : script_.steps) {
    switch (step.kind) {
      case AppStep::Kind::send: send_all(connection, step.bytes); break;
      case AppStep::Kind::pause: std::this_thread::sleep_for(std::chrono::milliseconds(step.milliseconds)); break;
      case AppStep::Kind::reset: reset(connection); break;
      case AppStep::Kind::watch: {
        pollfd readable = {connection, POLLIN, 0};
        char byte = 0;
        if (poll(&readable, 1, step.milliseconds) > 0 && recv(connection, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0) {
          std::lock_guard lock(mutex_);
          saw_half_close_ = true;
        }
        break;
      }
      case AppStep::Kind::hold: {
        std::unique_lock lock(mutex_);
        holding_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return released_; });
        break;
      }
    }
  }
}

std::uint16_t unused_port() {
  std::uint16_t port = 0;
  close(bound_listener(port));
  return port;
}

}  // namespace zelto::testing
