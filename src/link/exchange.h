#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string_view>

#include "failure.h"
#include "json/json.h"
#include "result.h"

namespace zelto {

// Bytes in one block of memory that grows in place where the system can (std::realloc): a long
// answer is neither copied nor its memory touched twice as it comes in.
class Bytes {
 public:
  // Room for at least `count` more bytes at the end, where they are written before extend(count)
  // counts them; memory running out throws std::bad_alloc, as a container's would.
  std::span<char> room(std::size_t count);
  void extend(std::size_t count) { size_ += count; }
  std::span<char> span() { return {data_.get(), size_}; }  // written to where escapes are decoded

 private:
  std::unique_ptr<char, decltype(&std::free)> data_{nullptr, &std::free};
  std::size_t size_ = 0, capacity_ = 0;
};

// The app's answer: the bytes received, and the value read from them, which views them. It moves
// but is never copied: a copy's value would view the first one's bytes.
struct Response {
  Response(Bytes bytes, JsonValue value) : bytes(std::move(bytes)), value(std::move(value)) {}
  Response(Response&&) = default;  // and so never copied

  Bytes bytes;  // where it moves, they stay
  JsonValue value;
};

// One exchange with the app on 127.0.0.1:`port`: the request (compact JSON) goes out as one line,
// everything the app sends until it closes comes back, and the connection is closed before this
// returns. Gives the app's answer when its "ok" is true; otherwise the failure, with status 1.
Result<Response, Failure> exchange_with_app(std::uint16_t port, std::string_view request);

// What the exchange makes of the received bytes (valid UTF-8): trimmed of Unicode white space, they
// are read as one JSON value, which passes when its "ok" is true. Otherwise the failure shows the
// app's "error" when it is a string; a text that cannot be read counts as the app's own failure
// "resposta inválida".
Result<Response, Failure> read_response(Bytes received);

}  // namespace zelto
