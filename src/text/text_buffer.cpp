#include "text/text_buffer.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace zelto {

TextBuffer::TextBuffer(std::string_view text) {
  const std::span<char> room = spare(text.size());
  if (room.empty() && !text.empty()) std::abort();
  if (!text.empty()) std::memcpy(room.data(), text.data(), text.size());
  commit(text.size());
}

TextBuffer::TextBuffer(TextBuffer&& other) noexcept
    : storage_(std::exchange(other.storage_, nullptr)),
      begin_(std::exchange(other.begin_, 0)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept {
  if (this != &other) {
    std::free(storage_);
    storage_ = std::exchange(other.storage_, nullptr);
    begin_ = std::exchange(other.begin_, 0);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

TextBuffer::~TextBuffer() { std::free(storage_); }

std::span<char> TextBuffer::spare(std::size_t minimum) {
  if (capacity_ - size_ < minimum || !storage_) {
    if (minimum > SIZE_MAX / 4 || size_ > SIZE_MAX / 4) return {};
    std::size_t wanted = capacity_ < 4096 ? 4096 : capacity_ * 2;
    while (wanted - size_ < minimum) wanted *= 2;
    // realloc can move a large block by remapping pages instead of copying them.
    void* grown = std::realloc(storage_, begin_ + wanted + 1);
    if (!grown) return {};
    storage_ = static_cast<char*>(grown);
    capacity_ = wanted;
    storage_[begin_ + size_] = '\0';
  }
  return {storage_ + begin_ + size_, capacity_ - size_};
}

void TextBuffer::commit(std::size_t count) noexcept {
  size_ += count;
  storage_[begin_ + size_] = '\0';
}

void TextBuffer::keep(std::string_view window) noexcept {
  if (!storage_) return;
  const std::size_t offset = static_cast<std::size_t>(window.data() - data());
  begin_ += offset;
  capacity_ -= offset;
  size_ = window.size();
  storage_[begin_ + size_] = '\0';
}

}  // namespace zelto
