// The two value types that every layer of Sorvanel passes around.
//
// Text holds bytes in code page 936 and never a zero byte: it is the library's
// NUL-terminated string, so building one from bytes keeps only the bytes before the
// first zero. An absent text and the empty text are the same value.
// ByteSet holds any bytes, zeros included; its length is counted, never found.
//
// Both are plain values: copy, move and compare them freely; nothing is freed by hand.
// Neither type is safe to change from two threads at once; distinct values are
// independent.
#ifndef SORVANEL_ENCODING_TEXT_H_
#define SORVANEL_ENCODING_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace sorvanel {

class ByteSet;

class Text {
 public:
  Text() = default;
  // A null pointer gives the empty text.
  Text(const char* s);  // NOLINT(google-explicit-constructor): texts are literals
  // Keeps the bytes before the first zero byte of s.
  Text(std::string_view s);  // NOLINT(google-explicit-constructor)
  Text(std::string s);       // NOLINT(google-explicit-constructor)

  // Takes s as it is. Requires: s holds no zero byte. For producers that cannot
  // write one (encoders), so that a large result is not scanned again.
  static Text Adopt(std::string s);

  const std::string& str() const { return bytes_; }
  std::string_view view() const { return bytes_; }
  const char* c_str() const { return bytes_.c_str(); }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }

  Text& operator+=(const Text& other) {
    bytes_ += other.bytes_;
    return *this;
  }
  friend Text operator+(Text a, const Text& b) { return a += b; }
  friend bool operator==(const Text& a, const Text& b) = default;
  friend auto operator<=>(const Text& a, const Text& b) = default;

 private:
  std::string bytes_;
};

class ByteSet {
 public:
  ByteSet() = default;
  explicit ByteSet(std::string bytes) : bytes_(std::move(bytes)) {}
  ByteSet(const void* data, std::size_t size) : bytes_(static_cast<const char*>(data), size) {}

  // The bytes of a text, without a terminator.
  static ByteSet FromText(const Text& text) { return ByteSet(text.str()); }

  const std::string& bytes() const { return bytes_; }
  std::string& bytes() { return bytes_; }
  std::string_view view() const { return bytes_; }
  const unsigned char* data() const {
    return reinterpret_cast<const unsigned char*>(bytes_.data());
  }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }

  // The bytes up to the first zero byte, as a text.
  Text AsText() const { return Text(view()); }

  friend bool operator==(const ByteSet& a, const ByteSet& b) = default;

 private:
  std::string bytes_;
};

}  // namespace sorvanel

#endif  // SORVANEL_ENCODING_TEXT_H_
