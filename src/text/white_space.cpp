#include "text/text.h"

namespace zelto {
namespace {

// The characters of the White_Space property, as UTF-8.
constexpr std::string_view kWhiteSpace[] = {"\t",     "\n",     "\v",     "\f",     "\r",     " ",      "\u0085",
                                            "\u00a0", "\u1680", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004",
                                            "\u2005", "\u2006", "\u2007", "\u2008", "\u2009", "\u200a", "\u2028",
                                            "\u2029", "\u202f", "\u205f", "\u3000"};

// The length of the white-space character that `text` starts with, or ends with, or 0. In valid
// UTF-8 no character's bytes start or end another's: matching bytes matches whole characters.
std::size_t white_space_at(std::string_view text, bool at_end) {
  for (const std::string_view space : kWhiteSpace) {
    if (at_end ? text.ends_with(space) : text.starts_with(space)) return space.size();
  }
  return 0;
}

}  // namespace

std::string_view trim_white_space(std::string_view text) {
  while (const std::size_t length = white_space_at(text, false)) text.remove_prefix(length);
  while (const std::size_t length = white_space_at(text, true)) text.remove_suffix(length);
  return text;
}

}  // namespace zelto
