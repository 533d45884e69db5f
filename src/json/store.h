#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "json/value.h"

namespace zelto {

// Owns the texts of strings and the elements of arrays and objects. Memory is taken in growing
// blocks and given back all at once when the store goes; values made from it stay valid as long
// as it lives, also after it is moved.
class JsonStore {
 public:
  JsonStore() = default;
  JsonStore(JsonStore&&) noexcept = default;
  JsonStore& operator=(JsonStore&&) noexcept = default;

  // Copies the text.
  JsonValue string(std::string_view text);
  // Copies the elements; their own contents are referred to, not copied.
  JsonValue array(std::span<const JsonValue> elements);
  // Copies the members and puts them in key order; of members with the same key, the one given
  // last is kept. Keys are referred to, not copied: they must outlive the store.
  JsonValue object(std::span<const JsonMember> members);

 private:
  void* allocate(std::size_t bytes, std::size_t alignment);

  std::vector<std::unique_ptr<std::byte[]>> blocks_;
  std::byte* next_ = nullptr;
  std::size_t left_ = 0;
  std::size_t next_block_size_ = 4096;
};

}  // namespace zelto
