#pragma once

#include <bit>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string_view>

#include "json/value.h"

namespace zelto::fuzzing {

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

// The same double, -0.0 told apart from 0.0.
inline bool same_double(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// Our value and nlohmann's hold the same thing in the same number forms. The one form that differs
// on purpose: "-0" is floating point -0.0 for us and the integer 0 for nlohmann.
template <typename Json>
bool same_value(const JsonValue& ours, const Json& theirs) {
  switch (ours.kind()) {
    case JsonKind::null: return theirs.is_null();
    case JsonKind::boolean: return theirs.is_boolean() && theirs.template get<bool>() == ours.as_boolean();
    case JsonKind::unsigned_integer:
      return theirs.is_number_unsigned() && theirs.template get<std::uint64_t>() == ours.as_unsigned();
    case JsonKind::negative_integer:
      return theirs.is_number_integer() && !theirs.is_number_unsigned() &&
             theirs.template get<std::int64_t>() == ours.as_negative();
    case JsonKind::floating:
      if (theirs.is_number_integer()) return theirs.template get<std::int64_t>() == 0 && same_double(ours.as_floating(), -0.0);
      return theirs.is_number_float() && same_double(theirs.template get<double>(), ours.as_floating());
    case JsonKind::string: return theirs.is_string() && theirs.template get_ref<const std::string&>() == ours.as_string();
    case JsonKind::array: {
      const auto elements = ours.as_array();
      if (!theirs.is_array() || theirs.size() != elements.size()) return false;
      for (std::size_t i = 0; i < elements.size(); ++i) {
        if (!same_value(elements[i], theirs[i])) return false;
      }
      return true;
    }
    case JsonKind::object: {
      const auto members = ours.as_object();
      if (!theirs.is_object() || theirs.size() != members.size()) return false;
      std::size_t i = 0;
      for (const auto& [key, value] : theirs.items()) {
        if (key != members[i].key || !same_value(members[i].value, value)) return false;
        ++i;
      }
      return true;
    }
  }
  return false;
}

}  // namespace zelto::fuzzing
