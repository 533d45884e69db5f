// For any value the reader gives, the writer's text reads back to the same value (number forms and
// the sign of zero included), is written again unchanged, and is compact with object keys in
// ascending order, each once.

#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "json/document.h"
#include "json/writer.h"
#include "fuzz_support.h"

namespace {

bool identical(const zelto::JsonValue& a, const zelto::JsonValue& b) {
  if (a.kind() == zelto::JsonKind::floating && b.kind() == zelto::JsonKind::floating) {
    return zelto::fuzzing::same_double(a.as_floating(), b.as_floating());
  }
  if (a.kind() != b.kind()) return false;
  if (a.kind() == zelto::JsonKind::array) {
    const auto x = a.as_array(), y = b.as_array();
    if (x.size() != y.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
      if (!identical(x[i], y[i])) return false;
    }
    return true;
  }
  if (a.kind() == zelto::JsonKind::object) {
    const auto x = a.as_object(), y = b.as_object();
    if (x.size() != y.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
      if (x[i].key != y[i].key || !identical(x[i].value, y[i].value)) return false;
    }
    return true;
  }
  return a == b;
}

// Keys in the order the text gives them: ascending, each once, at every level.
bool keys_ascending(const nlohmann::ordered_json& value) {
  if (value.is_array()) {
    for (const auto& element : value) {
      if (!keys_ascending(element)) return false;
    }
  }
  if (!value.is_object()) return true;
  const std::string* previous = nullptr;
  for (const auto& [key, member] : value.items()) {
    if (previous && !(*previous < key)) return false;
    if (!keys_ascending(member)) return false;
    previous = &key;
  }
  return true;
}

bool compact(std::string_view text) {
  bool white_space = false;
  zelto::fuzzing::for_each_outside_strings(text, [&](char c) {
    white_space = white_space || c == ' ' || c == '\t' || c == '\n' || c == '\r';
  });
  return !white_space;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<zelto::JsonDocument> read = zelto::read_json(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!read) return 0;
  const std::string written = zelto::to_json(read->root());
  const std::optional<zelto::JsonDocument> back = zelto::read_json(std::string_view(written));
  if (!back || !identical(read->root(), back->root())) std::abort();
  if (zelto::to_json(back->root()) != written || !compact(written)) std::abort();
  if (!keys_ascending(nlohmann::ordered_json::parse(written))) std::abort();
  return 0;
}
