// The path of the app's bytes through the client, against a well-known reader (nlohmann/json):
// - the reader accepts exactly what nlohmann accepts and reads the same value, number forms
//   included; where our rules differ on purpose (a leading byte-order mark, 128 or more levels of
//   nesting, a NUL byte, which nlohmann takes for the end of the text) ours refuses;
// - the writer's text of what was read is compact, has its keys in ascending order, each once,
//   means the same to nlohmann, and reads back to a value written the same again;
// - the outcome check and every verb's report give one of the outcomes the client knows.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "json/reader.h"
#include "json/writer.h"
#include "link/exchange.h"
#include "report/report.h"
#include "text/utf8.h"
#include "text/white_space.h"

namespace {

using zelto::JsonValue;

void require(bool condition) {
  if (!condition) std::abort();
}

// Calls `visit` with each character of JSON text that is outside strings (the quotes included).
template <typename Visit>
void for_each_outside_strings(std::string_view text, Visit visit) {
  bool in_string = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!in_string) {
      in_string = c == '"';
      visit(c);
    } else if (c == '\\') {
      ++i;
    } else if (c == '"') {
      in_string = false;
      visit(c);
    }
  }
}

int nesting_depth(std::string_view text) {
  int depth = 0, deepest = 0;
  for_each_outside_strings(text, [&](char c) {
    if (c == '[' || c == '{') deepest = std::max(deepest, ++depth);
    if (c == ']' || c == '}') --depth;
  });
  return deepest;
}

bool compact(std::string_view text) {
  bool white_space = false;
  for_each_outside_strings(text, [&](char c) { white_space = white_space || c == ' ' || c == '\n' || c == '\r' || c == '\t'; });
  return !white_space;
}

bool keys_ascending(const nlohmann::ordered_json& value) {
  if (value.is_array()) return std::ranges::all_of(value, keys_ascending);
  if (!value.is_object()) return true;
  const std::string* previous = nullptr;
  for (const auto& [key, member] : value.items()) {
    if ((previous && !(*previous < key)) || !keys_ascending(member)) return false;
    previous = &key;
  }
  return true;
}

bool same_double(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// Our value and nlohmann's hold the same thing in the same number forms. The one form that differs
// on purpose: "-0" is floating point -0.0 for us and the integer 0 for nlohmann.
struct SameAs {
  const nlohmann::json& theirs;

  bool operator()(std::nullptr_t) const { return theirs.is_null(); }
  bool operator()(bool b) const { return theirs.is_boolean() && theirs.get<bool>() == b; }
  bool operator()(std::uint64_t n) const { return theirs.is_number_unsigned() && theirs.get<std::uint64_t>() == n; }
  bool operator()(std::int64_t n) const {
    return theirs.is_number_integer() && !theirs.is_number_unsigned() && theirs.get<std::int64_t>() == n;
  }
  bool operator()(double d) const {
    if (theirs.is_number_integer()) return theirs.get<std::int64_t>() == 0 && same_double(d, -0.0);
    return theirs.is_number_float() && same_double(theirs.get<double>(), d);
  }
  bool operator()(const std::string& s) const { return theirs.is_string() && theirs.get_ref<const std::string&>() == s; }
  bool operator()(const zelto::JsonArray& array) const {
    if (!theirs.is_array() || theirs.size() != array.size()) return false;
    for (std::size_t i = 0; i < array.size(); ++i) {
      if (!std::visit(SameAs{theirs[i]}, array[i].data)) return false;
    }
    return true;
  }
  bool operator()(const zelto::JsonObject& object) const {
    if (!theirs.is_object() || theirs.size() != object.size()) return false;
    std::size_t i = 0;
    for (const auto& [key, value] : theirs.items()) {  // nlohmann's objects are in key order too
      if (key != object[i].key || !std::visit(SameAs{value}, object[i].value.data)) return false;
      ++i;
    }
    return true;
  }
};

void check_reader_and_writer(std::string_view text) {
  const std::optional<JsonValue> ours = zelto::read_json(text);
  if (text.starts_with("\xEF\xBB\xBF") || nesting_depth(text) >= 128 || text.find('\0') != std::string_view::npos) {
    require(!ours);
    return;
  }
  const nlohmann::json theirs = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
  require(theirs.is_discarded() == !ours);
  if (!ours) return;
  require(std::visit(SameAs{theirs}, ours->data));

  const std::string written = zelto::to_json(*ours);
  require(compact(written) && keys_ascending(nlohmann::ordered_json::parse(written)));
  require(nlohmann::json::parse(written) == theirs);
  const std::optional<JsonValue> back = zelto::read_json(written);
  require(back && zelto::to_json(*back) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  JsonValue response;
  const std::optional<std::string> failure = zelto::check_response(bytes, response);
  if (!zelto::is_valid_utf8(bytes)) {
    require(failure == "zelto: falha ao falar com o app: stream did not contain valid UTF-8\n");
    return 0;
  }
  check_reader_and_writer(zelto::trim_white_space(bytes));

  if (failure) {
    require(failure->starts_with("zelto: ") && failure->ends_with("\n") && zelto::is_valid_utf8(*failure));
    return 0;
  }
  require(zelto::truth(zelto::member(&response, "ok")));
  for (const zelto::Verb verb : {zelto::Verb::list, zelto::Verb::send, zelto::Verb::reply, zelto::Verb::note,
                                 zelto::Verb::diagram, zelto::Verb::html, zelto::Verb::browser}) {
    const std::string report = zelto::report(verb, response);
    require(report.ends_with("\n") && zelto::is_valid_utf8(report));
  }
  return 0;
}
