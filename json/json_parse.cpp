#include "json/json_parse.h"

#include <nlohmann/json.hpp>

#include <cmath>

#include <string>
#include <utility>
#include <vector>

namespace sorvanel::json {

namespace {

using Json = nlohmann::json;

// Builds our model from the parser's events. Containers are open on a stack; a child
// container is filled while its parent adds nothing, so pointers into the parent stay
// valid.
// A number too large for a double, which the parser refuses: where its text ends, its
// text, and how many other such fractional numbers came before it.
struct Overflow {
  std::size_t end = 0;
  std::string token;
  std::size_t ordinal = 0;
};

class Builder {
 public:
  // `infinities` lists, by their order among the fractional numbers, the numbers that
  // stand for an infinity, with true for minus infinity.
  explicit Builder(const std::vector<std::pair<std::size_t, bool>>& infinities)
      : infinities_(infinities) {}

  bool null() { return Put(Value(Kind::kNull)); }
  bool boolean(bool b) { return Put(Value::Boolean(b)); }
  bool number_integer(Json::number_integer_t n) {
    return Put(Value::Number(static_cast<double>(n)));
  }
  bool number_unsigned(Json::number_unsigned_t n) {
    return Put(Value::Number(static_cast<double>(n)));
  }
  bool number_float(Json::number_float_t n, const Json::string_t&) {
    const std::size_t ordinal = floats_++;
    for (const auto& [at, negative] : infinities_) {
      if (at == ordinal) n = negative ? -HUGE_VAL : HUGE_VAL;
    }
    return Put(Value::Number(n));
  }
  bool string(Json::string_t& s) { return Put(Value::TextValue(std::move(s))); }
  bool binary(Json::binary_t&) { return false; }
  bool start_object(std::size_t) { return Open(Value::EmptyObject()); }
  bool key(Json::string_t& k) {
    key_ = std::move(k);
    return true;
  }
  bool end_object() { return Close(); }
  bool start_array(std::size_t) { return Open(Value::EmptyArray()); }
  bool end_array() { return Close(); }
  bool parse_error(std::size_t position, const std::string& token,
                   const nlohmann::detail::exception& error) {
    if (error.id == kNumberOverflow) overflow_ = Overflow{position, token, floats_};
    return false;
  }

  ParsedValue Take() { return ParsedValue{std::move(root_), maxDepth_}; }
  const std::optional<Overflow>& overflow() const { return overflow_; }

 private:
  Value& NextSlot() {
    if (open_.empty()) return root_;
    Value& container = *open_.back();
    if (container.kind() == Kind::kArray) return container.array().emplace_back();
    return container.object().Slot(key_);
  }

  bool Put(Value v) {
    NextSlot() = std::move(v);
    return true;
  }

  bool Open(Value container) {
    if (static_cast<int>(open_.size()) >= kMaxDepth) return false;
    Value& slot = NextSlot();
    slot = std::move(container);
    open_.push_back(&slot);
    maxDepth_ = std::max(maxDepth_, static_cast<int>(open_.size()));
    return true;
  }

  bool Close() {
    open_.pop_back();
    return true;
  }

  static constexpr int kNumberOverflow = 406;

  const std::vector<std::pair<std::size_t, bool>>& infinities_;
  std::size_t floats_ = 0;
  std::optional<Overflow> overflow_;
  Value root_;
  std::vector<Value*> open_;
  std::string key_;
  int maxDepth_ = 0;
};

}  // namespace

std::optional<ParsedValue> ParseJson(std::string_view utf8) {
  // The parser refuses a number beyond the range of a double, where JavaScript reads
  // an infinity. Each such number is overwritten with a zero of the same length
  // ("1e400" becomes "0e000", so nothing else moves) and the text parsed again, the
  // Builder putting the infinity in its place. Few texts hold any; a text with very
  // many is not worth the repeated passes and counts as unreadable.
  constexpr int kMaxInfinities = 64;
  std::string patched;
  std::string_view text = utf8;
  std::vector<std::pair<std::size_t, bool>> infinities;
  for (int pass = 0; pass <= kMaxInfinities; ++pass) {
    Builder builder(infinities);
    try {
      if (Json::sax_parse(text.data(), text.data() + text.size(), &builder)) return builder.Take();
    } catch (...) {  // the parser reports through parse_error; this is only a safety net
      return std::nullopt;
    }
    const std::optional<Overflow>& overflow = builder.overflow();
    if (!overflow || overflow->token.size() < 3 || overflow->end > text.size() ||
        overflow->end < overflow->token.size()) {
      return std::nullopt;
    }
    const std::size_t from = overflow->end - overflow->token.size();
    if (text.substr(from, overflow->token.size()) != overflow->token) return std::nullopt;
    if (patched.empty()) {
      patched.assign(utf8);
      text = patched;
    }
    patched.replace(from, overflow->token.size(),
                    "0e" + std::string(overflow->token.size() - 2, '0'));
    infinities.emplace_back(overflow->ordinal, overflow->token[0] == '-');
  }
  return std::nullopt;
}

}  // namespace sorvanel::json
