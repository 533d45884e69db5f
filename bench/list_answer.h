#pragma once

#include <cstddef>
#include <string>

namespace zelto::bench {

// A `list` answer of at least `bytes` bytes, the same for the same size: many connections, notes,
// diagrams, pages and browsers, with non-ASCII labels and Windows paths.
std::string list_answer(std::size_t bytes);

}  // namespace zelto::bench
