#pragma once

#include <string>

#include "json/value.h"

namespace zelto {

// The compact text of `value`: no white space, object members in key order, strings escaped only
// where JSON requires it (the double quote, the backslash and bytes below 0x20), everything else
// written as its raw UTF-8 bytes. Numbers are written in their shortest decimal form.
std::string to_json(const JsonValue& value);

}  // namespace zelto
