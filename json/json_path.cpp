#include "json/json_path.h"

#include <charconv>
#include <cstdint>
#include <string>

#include "json/json_literal.h"
#include "json/json_serialize.h"

namespace sorvanel::json {

namespace {

constexpr std::uint32_t kNoIndex = UINT32_MAX;
// Array indices run from 0 to 2^32 - 2, as in JavaScript.
constexpr std::uint64_t kMaxIndex = 4294967294u;

const Value kMissingValue;

bool IsNameStart(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
}

bool IsNamePart(unsigned char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The index that a key written as plain decimal digits stands for, or kNoIndex.
std::uint32_t IndexOfKey(std::string_view key) {
  if (key.empty() || key.size() > 10 || (key.size() > 1 && key[0] == '0')) return kNoIndex;
  std::uint64_t value = 0;
  for (char c : key) {
    if (!IsDigit(c)) return kNoIndex;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value <= kMaxIndex ? static_cast<std::uint32_t>(value) : kNoIndex;
}

// One selector of a path. The key is a view into the path, or into the selector's own
// storage when it had to be decoded or computed.
class Selector {
 public:
  Selector() = default;
  Selector(const Selector&) = delete;
  Selector& operator=(const Selector&) = delete;

  std::string_view key() const { return ownsKey_ ? std::string_view(owned_) : key_; }
  std::uint32_t index() const { return index_; }

  // Reads the selector at `at` and moves `at` past it; false when there is none.
  // `afterDot` says that a "." before `at` has been read already.
  bool Read(std::string_view path, std::size_t& at, bool afterDot) {
    ownsKey_ = false;
    index_ = kNoIndex;
    if (afterDot) return ReadName(path, at);
    if (at < path.size() && path[at] == '.') return ReadName(path, ++at);
    if (at < path.size() && path[at] == '[') return ReadBracket(path, at);
    return false;
  }

 private:
  bool ReadName(std::string_view path, std::size_t& at) {
    std::size_t end = at;
    if (end >= path.size() || !IsNameStart(static_cast<unsigned char>(path[end]))) return false;
    while (end < path.size() && IsNamePart(static_cast<unsigned char>(path[end]))) ++end;
    key_ = path.substr(at, end - at);
    at = end;
    return true;
  }

  bool ReadBracket(std::string_view path, std::size_t& at) {
    std::size_t i = at + 1;
    if (i >= path.size()) return false;
    const char quote = path[i];
    if (quote == '\'' || quote == '"') {
      const std::size_t from = ++i;
      bool escaped = false;
      for (; i < path.size() && path[i] != quote; ++i) {
        if (path[i] == '\n' || path[i] == '\r') return false;  // a literal cannot span lines
        if (path[i] == '\\') {
          escaped = true;
          ++i;
          if (i == path.size()) return false;
        }
      }
      if (i + 1 >= path.size() || path[i + 1] != ']') return false;
      key_ = path.substr(from, i - from);
      if (escaped) {
        owned_ = DecodeTextLiteral(key_);
        ownsKey_ = true;
      }
      index_ = IndexOfKey(key());
      at = i + 2;
      return true;
    }
    const std::size_t from = i;
    if (path[i] == '-') ++i;
    const std::size_t digitsFrom = i;
    while (i < path.size() && IsDigit(path[i])) ++i;
    if (i == digitsFrom || i >= path.size() || path[i] != ']') return false;
    std::string_view number = path.substr(from, i - from);
    at = i + 1;
    // Leading zeros carry no meaning; "-0" is the number 0.
    std::string_view digits = path.substr(digitsFrom, i - digitsFrom);
    while (digits.size() > 1 && digits[0] == '0') digits.remove_prefix(1);
    if (digits == "0" || number[0] != '-') {
      index_ = IndexOfKey(digits);
      if (index_ != kNoIndex) {
        key_ = digits;
        return true;
      }
    }
    // Not an index: the key is the number's JavaScript text, as in a[-1] or a[1e21].
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    owned_.clear();
    AppendJsNumber(value, owned_);
    ownsKey_ = true;
    return true;
  }

  std::string_view key_;
  std::string owned_;
  bool ownsKey_ = false;
  std::uint32_t index_ = kNoIndex;
};

// The value that `selector` picks from `from` (which is not null or missing).
const Value* Select(const Value& from, const Selector& selector) {
  if (from.kind() == Kind::kArray) {
    const Value* element =
        selector.index() != kNoIndex ? from.array().At(selector.index()) : nullptr;
    return element ? element : &kMissingValue;
  }
  if (from.kind() == Kind::kObject) {
    const Value* member = from.object().Find(selector.key());
    return member ? member : &kMissingValue;
  }
  return &kMissingValue;
}

}  // namespace

const Value* Follow(const Value& root, std::string_view path, Joiner joiner) {
  const Value* current = &root;
  bool followed = true;
  Selector selector;
  std::size_t at = 0;
  bool afterDot = joiner == Joiner::kDot;
  while (at < path.size() || afterDot) {
    if (!selector.Read(path, at, afterDot)) return nullptr;
    afterDot = false;
    // After a failure the rest is still read, so that a malformed path fails as such.
    if (!followed) continue;
    if (current->IsNullish()) {
      followed = false;
      continue;
    }
    current = Select(*current, selector);
  }
  return followed ? current : nullptr;
}

Value* AssignmentSlot(Value& root, std::string_view path, Joiner joiner, int valueDepth) {
  if (path.empty() && joiner == Joiner::kAsIs) return nullptr;
  Value* parent = nullptr;
  Value* current = &root;
  int depth = 0;
  Selector selector;
  std::size_t at = 0;
  bool afterDot = joiner == Joiner::kDot;
  while (at < path.size() || afterDot) {
    if (!selector.Read(path, at, afterDot)) return nullptr;
    afterDot = false;
    ++depth;
    if (at == path.size()) {
      parent = current;
      break;
    }
    if (current->IsNullish()) return nullptr;
    current = const_cast<Value*>(Select(*current, selector));
  }
  // `selector` holds the last selector, and `parent` the value it selects from.
  if (parent->IsNullish()) return nullptr;
  if (depth + valueDepth > kMaxDepth) return nullptr;
  if (parent->kind() == Kind::kObject) return &parent->object().Slot(selector.key());
  if (parent->kind() != Kind::kArray) return nullptr;
  const std::uint32_t index = selector.index();
  if (index == kNoIndex) return nullptr;
  Array& elements = parent->array();
  if (index > elements.size() && index - elements.size() > kMaxNewHoles) return nullptr;
  return &elements.Slot(index);
}

}  // namespace sorvanel::json
