#include "server.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <list>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host.h"
#include "output/output.h"

namespace zelto::standin {
namespace {

using platform::LoopbackSocket;
using Clock = std::chrono::steady_clock;

// A real client writes its whole request at once, then waits for the answer: these bounds leave it
// room, whatever other local programs do.
constexpr std::size_t kMostConnections = 128;                             // held at once
constexpr std::size_t kLongestRequest = 8 << 20;                          // bytes of one request line
constexpr std::size_t kMostHeld = 32 << 20;                               // bytes of all the requests being received
constexpr auto kTimeToSend = std::chrono::seconds(5);                     // the request; then again, to take the answer
constexpr auto kPauseAfterFailedAccept = std::chrono::milliseconds(100);  // the connection stays queued

struct Connection {
  LoopbackSocket socket;
  Clock::time_point deadline;
  std::string request{};            // what came of its line so far
  std::optional<Answer> refusal{};  // once it went over a bound: the answer, when its line ends
  std::string answer{};             // once its line ended: what goes back
  std::size_t sent = 0;             // of the answer
  bool answering = false;
};

class Server {
 public:
  Server(LoopbackSocket listener, Canvas& canvas) : listener_(std::move(listener)), canvas_(canvas) {}

  [[noreturn]] void serve() {
    for (;;) {
      try {
        serve_once();
      } catch (const std::exception& error) {  // memory run out: the connections wait for the next turn
        log(std::string("cannot serve: ") + error.what());
        std::this_thread::sleep_for(kPauseAfterFailedAccept);
      }
    }
  }

 private:
  // Waits for what comes first (a connection, a request's bytes, room for an answer, a deadline),
  // and deals with it.
  void serve_once() {
    const Clock::time_point now = Clock::now();
    std::erase_if(connections_, [now](const Connection& c) { return c.deadline <= now; });
    const bool accepting = now >= accept_again_;
    std::vector<LoopbackSocket::Awaited> awaited;
    Clock::time_point wake = accepting ? Clock::time_point::max() : accept_again_;
    for (const Connection& c : connections_) {
      awaited.push_back({&c.socket, c.answering});
      wake = std::min(wake, c.deadline);
    }
    if (accepting) awaited.push_back({&listener_, false});
    const auto wait =
        wake == Clock::time_point::max() ? -1 : std::chrono::ceil<std::chrono::milliseconds>(wake - now).count();
    const Result<std::vector<bool>, platform::SystemError> ready =
        LoopbackSocket::wait_for(awaited, static_cast<int>(wait));
    if (!ready) {
      log("cannot wait for connections: " + ready.error().text);
      std::this_thread::sleep_for(kPauseAfterFailedAccept);
      return;
    }
    auto is_ready = ready->begin();
    for (auto c = connections_.begin(); c != connections_.end() && is_ready != ready->end();) {
      c = !*is_ready++ || serve(*c) ? std::next(c) : connections_.erase(c);
    }
    if (accepting && ready->back()) accept_connection();
  }

  void accept_connection() {
    Result<LoopbackSocket, platform::SystemError> accepted = listener_.accept();
    if (!accepted) {
      // Out of descriptors, say: one held by a connection that has not sent its request is given
      // up; without one, the listener waits a while.
      if (drop_oldest_waiting()) return;
      if (!std::exchange(accept_failing_, true)) log("cannot accept connections: " + accepted.error().text);
      accept_again_ = Clock::now() + kPauseAfterFailedAccept;
      return;
    }
    accept_failing_ = false;
    if (connections_.size() >= kMostConnections && !drop_oldest_waiting()) connections_.pop_front();
    connections_.push_back({.socket = std::move(*accepted), .deadline = Clock::now() + kTimeToSend});
  }

  // Closes the oldest connection that has not sent its whole request; gives whether there was one.
  bool drop_oldest_waiting() {
    const auto waiting = std::ranges::find(connections_, false, &Connection::answering);
    if (waiting == connections_.end()) return false;
    connections_.erase(waiting);
    return true;
  }

  // Takes what the ready connection sent, or sends it what it can of its answer; gives whether it
  // stays open. Memory running out for one connection closes it.
  bool serve(Connection& c) {
    try {
      return c.answering ? send(c) : receive(c);
    } catch (const std::exception& error) {
      log(std::string("a connection closed: ") + error.what());
      return false;
    }
  }

  bool receive(Connection& c) {
    const Result<std::size_t, platform::SystemError> got = c.socket.receive_some(chunk_);
    if (!got || (*got == 0 && c.request.empty() && !c.refusal)) return false;  // nobody left to answer
    const std::string_view received(chunk_, *got);
    const std::string_view piece = received.substr(0, received.find('\n'));
    if (!c.refusal && c.request.size() + piece.size() > kLongestRequest) {
      refuse(c, refusal("pedido grande demais", "a request over " + std::to_string(kLongestRequest >> 20) + " MiB"));
    }
    if (!c.refusal) c.request += piece;
    keep_within_bound();
    if (*got == 0 || piece.size() < received.size()) answer(c);
    return true;
  }

  // Refuses the requests that hold the most until all of them together hold no more than their bound.
  void keep_within_bound() {
    const auto held = [](const Connection& c) { return c.request.capacity(); };
    std::size_t total = 0;
    for (const Connection& c : connections_) total += held(c);
    while (total > kMostHeld) {
      Connection& largest = *std::ranges::max_element(connections_, {}, held);
      total -= held(largest);
      refuse(largest, refusal("o app tem pedidos demais agora: tente de novo", "a request refused: too much at once"));
    }
  }

  // From now on what the connection sends is dropped, and `answer` goes back once its line ends.
  static void refuse(Connection& c, Answer answer) {
    c.refusal = std::move(answer);
    std::string().swap(c.request);  // its memory freed: assigning an empty string would keep it
  }

  void answer(Connection& c) {
    Answer answer = c.refusal ? std::move(*c.refusal) : canvas_.answer(c.request);
    log(answer.log);
    std::string().swap(c.request);
    c.answer = std::move(answer.response);
    c.answering = true;
    c.deadline = Clock::now() + kTimeToSend;
  }

  // Sends what it can of the answer; gives whether some is left.
  static bool send(Connection& c) {
    const Result<std::size_t, platform::SystemError> sent =
        c.socket.send_some(std::string_view(c.answer).substr(c.sent));
    if (!sent) return false;  // the client went away: there is no one left to tell
    c.sent += *sent;
    return c.sent < c.answer.size();
  }

  LoopbackSocket listener_;
  Canvas& canvas_;
  std::list<Connection> connections_;  // the oldest first
  Clock::time_point accept_again_;
  bool accept_failing_ = false;  // since the last connection accepted: logged once
  char chunk_[1 << 16];
};

}  // namespace

Result<std::uint16_t, platform::SystemError> serve_in_background(std::uint16_t port, Canvas& canvas) {
  LoopbackSocket listener;
  const Result<std::uint16_t, platform::SystemError> listening = listener.listen(port);
  if (!listening) return listening.error();
  auto& server = *new Server(std::move(listener), canvas);  // it serves for the rest of the process
  const auto started = run_in_background([&server] { server.serve(); });
  if (!started) return started.error();
  return *listening;
}

void log(std::string_view line) {
  std::string shown = "[app] ";
  for (const char c : line) shown += c == '\n' ? "^J" : c == '\r' ? "^M" : std::string(1, c);
  (void)write_shown(platform::StandardStream::error, shown + "\n");
}

}  // namespace zelto::standin
