#include "json/store.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace zelto {
namespace {

constexpr std::size_t kLargestGrowth = std::size_t{64} << 20;

bool key_less(const JsonMember& a, const JsonMember& b) { return a.key < b.key; }

// Sorts members by key, stably, and drops all but the last of each run of equal keys. Returns the
// number of members kept.
std::size_t order_members(JsonMember* members, std::size_t count) {
  const bool ordered = std::adjacent_find(members, members + count, [](const auto& a, const auto& b) {
                         return !key_less(a, b);
                       }) == members + count;
  if (ordered) return count;
  std::stable_sort(members, members + count, key_less);
  std::size_t kept = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (i + 1 < count && members[i + 1].key == members[i].key) continue;  // a later one wins
    members[kept++] = members[i];
  }
  return kept;
}

}  // namespace

void* JsonStore::allocate(std::size_t bytes, std::size_t alignment) {
  const std::size_t padding = (alignment - reinterpret_cast<std::uintptr_t>(next_) % alignment) % alignment;
  if (!next_ || left_ < padding + bytes) {
    const std::size_t size = std::max(next_block_size_, bytes + alignment);
    blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(size));
    next_ = blocks_.back().get();
    left_ = size;
    next_block_size_ = std::min(next_block_size_ * 2, kLargestGrowth);
    return allocate(bytes, alignment);
  }
  void* result = next_ + padding;
  next_ += padding + bytes;
  left_ -= padding + bytes;
  return result;
}

JsonValue JsonStore::string(std::string_view text) {
  char* chars = static_cast<char*>(allocate(text.size(), 1));
  if (!text.empty()) std::memcpy(chars, text.data(), text.size());
  return JsonValue::string({chars, text.size()});
}

JsonValue JsonStore::array(std::span<const JsonValue> elements) {
  if (elements.empty()) return JsonValue::array({});
  auto* copy = static_cast<JsonValue*>(allocate(elements.size_bytes(), alignof(JsonValue)));
  std::uninitialized_copy(elements.begin(), elements.end(), copy);
  return JsonValue::array({copy, elements.size()});
}

JsonValue JsonStore::object(std::span<const JsonMember> members) {
  if (members.empty()) return JsonValue::object({});
  auto* copy = static_cast<JsonMember*>(allocate(members.size_bytes(), alignof(JsonMember)));
  std::uninitialized_copy(members.begin(), members.end(), copy);
  return JsonValue::object({copy, order_members(copy, members.size())});
}

}  // namespace zelto
