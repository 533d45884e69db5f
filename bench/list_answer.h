#pragma once

#include <cstddef>
#include <string>

namespace zelto::bench {

// The shapes of a large `list` answer. plain: many connections, notes, diagrams, pages and
// browsers, each with its label and its detail, non-ASCII labels and Windows paths. rich: the same
// groups as a real app may send them: one label in eight written with \u escapes (some of them
// surrogate pairs), entries with members the client ignores (numbers, nested objects and arrays),
// and one entry in sixteen without its detail.
enum class Shape { plain, rich };

// An answer of the shape of at least `bytes` bytes, the same for the same size.
std::string list_answer(std::size_t bytes, Shape shape);

}  // namespace zelto::bench
