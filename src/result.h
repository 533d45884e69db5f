#pragma once

#include <utility>
#include <variant>

namespace zelto {

// What a step that can fail gives back: its value, or the error that stopped it. Every step of the
// program reports failure this way, from the platform layer to main: no exception crosses a step
// (memory running out aside), no out-parameter carries a result, no value stands for "invalid".
template <typename Value, typename Error>
class [[nodiscard]] Result {
 public:
  Result(Value value) : held_(std::in_place_index<0>, std::move(value)) {}
  Result(Error error) : held_(std::in_place_index<1>, std::move(error)) {}

  explicit operator bool() const { return held_.index() == 0; }
  Value& operator*() { return std::get<0>(held_); }
  const Value& operator*() const { return std::get<0>(held_); }
  const Value* operator->() const { return &std::get<0>(held_); }
  const Error& error() const { return std::get<1>(held_); }

 private:
  std::variant<Value, Error> held_;
};

// The value of a step that gives nothing back but can fail.
struct Done {};

}  // namespace zelto
