// The reader against a well-known one (nlohmann/json): for any bytes both accept or both refuse, and
// where both accept they read the same value. Where our rules differ on purpose (a leading
// byte-order mark, 128 or more levels of nesting) ours must refuse; so it must where nlohmann is
// lenient: it takes a NUL byte for the end of the text, but a NUL byte is never valid JSON.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "json/document.h"
#include "fuzz_support.h"

namespace {

// The deepest nesting of arrays and objects.
int nesting_depth(std::string_view text) {
  int depth = 0, deepest = 0;
  zelto::fuzzing::for_each_outside_strings(text, [&](char c) {
    if (c == '[' || c == '{') deepest = std::max(deepest, ++depth);
    if (c == ']' || c == '}') --depth;
  });
  return deepest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<zelto::JsonDocument> ours = zelto::read_json(text);
  if (text.starts_with("\xEF\xBB\xBF") || nesting_depth(text) >= 128 || text.find('\0') != std::string_view::npos) {
    if (ours) std::abort();
    return 0;
  }
  const nlohmann::json theirs = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (theirs.is_discarded() != !ours) std::abort();
  if (ours && !zelto::fuzzing::same_value(ours->root(), theirs)) std::abort();
  return 0;
}
