#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zelto::testing {

// One thing the fake app does on a connection, after taking the request.
struct AppStep {
  enum class Kind {
    send,   // write `bytes`
    pause,  // wait `milliseconds`
    reset,  // end the connection with a reset (SO_LINGER 0) instead of a close
    hold,   // keep the connection open until the test calls FakeApp::release()
    watch,  // wait `milliseconds` for the client to shut down its sending side, which it must not
  };
  Kind kind;
  std::string bytes = {};
  int milliseconds = 0;
};

// What the fake app does with each connection it accepts: read the request line and keep it (or,
// when `reads_request` is false, wait for it to arrive and leave it unread, so that the close is a
// reset), run the steps, close.
struct AppScript {
  bool listening = true;
  bool reads_request = true;
  std::vector<AppStep> steps = {};

  bool holds() const;
};

AppScript answers(std::string response);
AppScript closes_after_request();
AppScript closes_without_reading();
AppScript not_listening();
// The response one byte at a time, with a pause before each.
AppScript trickles(std::string_view response, int milliseconds);
// The response in pieces with a pause between them, so that each piece is a receive of its own.
AppScript answers_in_pieces(std::vector<std::string> pieces);
// Watches for a half-close from the client before answering.
AppScript answers_after_watching(std::string response);
// Part of a response, then a reset.
AppScript resets_after(std::string partial_response);
// The response, then the connection stays open until released.
AppScript holds_after(std::string response);

// A scripted stand-in for the app on 127.0.0.1 at a free port, serving on its own thread. It keeps
// the exact bytes of every request it receives.
class FakeApp {
 public:
  explicit FakeApp(AppScript script);
  FakeApp(const FakeApp&) = delete;
  FakeApp& operator=(const FakeApp&) = delete;
  ~FakeApp();

  std::uint16_t port() const { return port_; }
  // For a script that holds: waits until a connection is held open.
  void wait_until_holding();
  // Lets a held connection go on to be closed.
  void release();
  // True when a watch step saw the client shut down its sending side.
  bool saw_half_close();
  // Stops serving; then gives the requests received, one per connection.
  std::vector<std::string> stop();

 private:
  void serve();
  void handle(int connection);

  AppScript script_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool holding_ = false;
  bool released_ = false;
  bool saw_half_close_ = false;
  std::vector<std::string> requests_;
  std::thread server_;
};

// A port on 127.0.0.1 that nothing listens on (it was free a moment ago).
std::uint16_t unused_port();

}  // namespace zelto::testing
