#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace zelto {

// A growable byte buffer for text of any size. Its bytes stay where they are when the buffer is
// moved, so views into it survive a move, and a NUL byte always follows the contents. Growing
// reports exhausted memory instead of throwing, so that the caller can say "out of memory".
class TextBuffer {
 public:
  TextBuffer() = default;
  explicit TextBuffer(std::string_view text);  // copies `text`; aborts if memory is exhausted
  TextBuffer(TextBuffer&& other) noexcept;
  TextBuffer& operator=(TextBuffer&& other) noexcept;
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;
  ~TextBuffer();

  char* data() noexcept { return storage_ ? storage_ + begin_ : empty_; }
  const char* data() const noexcept { return storage_ ? storage_ + begin_ : empty_; }
  std::size_t size() const noexcept { return size_; }
  std::string_view view() const noexcept { return {data(), size_}; }

  // Free room after the contents, made at least `minimum` bytes long. An empty span means memory
  // is exhausted.
  std::span<char> spare(std::size_t minimum);
  // Counts `count` bytes written into the spare room as contents.
  void commit(std::size_t count) noexcept;
  // Keeps only the contents that `window` (a view into them) covers.
  void keep(std::string_view window) noexcept;

 private:
  static inline char empty_[1] = {0};
  char* storage_ = nullptr;
  std::size_t begin_ = 0;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;  // bytes usable after begin_, not counting the NUL
};

}  // namespace zelto
