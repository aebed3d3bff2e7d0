#include "encoding/text.h"

#include <cstring>

namespace sorvanel {

namespace {

std::size_t LengthBeforeZero(std::string_view s) {
  const void* zero = s.empty() ? nullptr : std::memchr(s.data(), 0, s.size());
  return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - s.data()) : s.size();
}

}  // namespace

Text::Text(const char* s) : bytes_(s ? s : "") {}

Text::Text(std::string_view s) : bytes_(s.substr(0, LengthBeforeZero(s))) {}

Text::Text(std::string s) : bytes_(std::move(s)) { bytes_.resize(LengthBeforeZero(bytes_)); }

Text Text::Adopt(std::string s) {
  Text text;
  text.bytes_ = std::move(s);
  return text;
}

}  // namespace sorvanel
