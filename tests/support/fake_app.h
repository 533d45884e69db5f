#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zelto::testing {

// What the fake app does with each connection it accepts.
struct AppScript {
  enum class Action {
    answer,                // read the request line, send `response`, close
    close_after_request,   // read the request line, close without answering
    not_listening,         // nothing listens on the port
  };
  Action action = Action::answer;
  std::string response = {};
};

AppScript answers(std::string response);
AppScript closes_after_request();
AppScript not_listening();

// A scripted stand-in for the app on 127.0.0.1 at a free port, serving on its own thread. It keeps
// the exact bytes of every request it receives.
class FakeApp {
 public:
  explicit FakeApp(AppScript script);
  FakeApp(const FakeApp&) = delete;
  FakeApp& operator=(const FakeApp&) = delete;
  ~FakeApp();

  std::uint16_t port() const { return port_; }
  // Stops serving; then gives the requests received, one per connection.
  std::vector<std::string> stop();

 private:
  void serve();
  void handle(int connection);

  AppScript script_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread server_;
};

// A port on 127.0.0.1 that nothing listens on (it was free a moment ago).
std::uint16_t unused_port();

}  // namespace zelto::testing
