#include "json/json_parse.h"

#include <nlohmann/json.hpp>

#include <charconv>
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
// A number of the text that stands for an infinity: its place among all the numbers
// of the text (counted from 0, in the order of the text) and its sign.
struct Infinity {
  std::size_t ordinal = 0;
  bool negative = false;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The length of the JSON number at the start of `text` (-?(0|[1-9]\d*)(\.\d+)?
// ([eE][+-]?\d+)?), or 0 when it does not start with one.
std::size_t NumberLength(std::string_view text) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    return i - from;
  };
  if (i < text.size() && text[i] == '-') ++i;
  if (i < text.size() && text[i] == '0') {
    ++i;
  } else if (digits() == 0) {
    return 0;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    if (digits() == 0) return 0;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return 0;
  }
  return i;
}

// Whether the JSON number `token` lies beyond the range of a double (its value would
// be an infinity), as opposed to one that is finite or rounds to zero.
bool IsBeyondDoubleRange(std::string_view token) {
  double value = 0;
  if (std::from_chars(token.data(), token.data() + token.size(), value).ec !=
      std::errc::result_out_of_range) {
    return false;
  }
  // Out of range is also what a number too small gives: tell the two apart by where
  // its first significant digit stands.
  std::size_t i = token[0] == '-' ? 1 : 0;
  if (token[i] != '0') return true;  // a whole part of 1 or more: past 1e308
  // "0.00…d…e±x", out of range, so d exists: it stands for d × 10^(x - k) when it is
  // the k-th decimal. Far beyond the range only the sign of x - k matters.
  i += 2;
  long long position = 1;
  for (; i < token.size() && token[i] == '0'; ++i) ++position;
  long long exponent = 0;
  const std::size_t mark = token.find_first_of("eE");
  if (mark != std::string_view::npos) {
    std::size_t j = mark + 1;
    const bool negative = token[j] == '-';
    if (token[j] == '-' || token[j] == '+') ++j;
    for (; j < token.size(); ++j) {
      exponent = std::min(exponent * 10 + (token[j] - '0'), 1'000'000'000'000LL);
    }
    if (negative) exponent = -exponent;
  }
  return exponent - position >= 0;
}

// One pass over a JSON text that the parser refused for a number beyond the range of a
// double: overwrites each such number with a zero of the same length ("1e400" becomes
// "0e000", so nothing else moves) and lists where the infinities go. Numbers are found
// as the parser finds them, outside texts; only valid numbers are changed, so the text
// stays exactly as valid as it was.
std::vector<Infinity> PatchInfinities(std::string& text) {
  std::vector<Infinity> infinities;
  std::size_t ordinal = 0;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\') ++i;
      }
      ++i;
    } else if (c == '-' || IsDigit(c)) {
      std::size_t length = NumberLength(std::string_view(text).substr(i));
      if (length == 0) {
        ++i;  // not a number; the parser refuses the text anyway
        continue;
      }
      if (IsBeyondDoubleRange(std::string_view(text).substr(i, length))) {
        infinities.push_back({ordinal, c == '-'});
        text.replace(i, length, "0e" + std::string(length - 2, '0'));
      }
      ++ordinal;
      i += length;
    } else {
      ++i;
    }
  }
  return infinities;
}

class Builder {
 public:
  // `infinities` lists the numbers that stand for an infinity (see Infinity), in
  // ascending order of their place among all the numbers of the text.
  explicit Builder(const std::vector<Infinity>& infinities) : infinities_(infinities) {}

  bool null() { return Put(Value(Kind::kNull)); }
  bool boolean(bool b) { return Put(Value::Boolean(b)); }
  bool number_integer(Json::number_integer_t n) { return PutNumber(static_cast<double>(n)); }
  bool number_unsigned(Json::number_unsigned_t n) { return PutNumber(static_cast<double>(n)); }
  bool number_float(Json::number_float_t n, const Json::string_t&) { return PutNumber(n); }
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
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& error) {
    overflow_ = error.id == kNumberOverflow;
    return false;
  }

  ParsedValue Take() { return ParsedValue{std::move(root_), maxDepth_}; }
  // Whether the parse failed on a number beyond the range of a double.
  bool overflow() const { return overflow_; }

 private:
  bool PutNumber(double n) {
    const std::size_t ordinal = numbers_++;
    if (next_ < infinities_.size() && infinities_[next_].ordinal == ordinal) {
      n = infinities_[next_++].negative ? -HUGE_VAL : HUGE_VAL;
    }
    return Put(Value::Number(n));
  }

  Value& NextSlot() {
    if (open_.empty()) return root_;
    Value& container = *open_.back();
    if (container.kind() == Kind::kArray) return container.array().Append();
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

  const std::vector<Infinity>& infinities_;
  std::size_t numbers_ = 0;  // numbers seen so far, of every kind
  std::size_t next_ = 0;     // the first of infinities_ not yet reached
  bool overflow_ = false;
  Value root_;
  std::vector<Value*> open_;
  std::string key_;
  int maxDepth_ = 0;
};

}  // namespace

std::optional<ParsedValue> ParseJson(std::string_view utf8) {
  // The parser refuses a number beyond the range of a double, where JavaScript reads
  // an infinity. A text it refuses for that reason is patched in one pass (every such
  // number becomes a zero of the same length) and parsed once more, the Builder putting
  // the infinities in their places: two parses at most, however many there are.
  const auto parse = [](std::string_view text, const std::vector<Infinity>& infinities,
                        bool& overflow) -> std::optional<ParsedValue> {
    Builder builder(infinities);
    try {
      if (Json::sax_parse(text.data(), text.data() + text.size(), &builder)) return builder.Take();
    } catch (...) {  // the parser reports through parse_error; this is only a safety net
    }
    overflow = builder.overflow();
    return std::nullopt;
  };
  bool overflow = false;
  std::optional<ParsedValue> parsed = parse(utf8, {}, overflow);
  if (parsed || !overflow) return parsed;
  std::string patched(utf8);
  const std::vector<Infinity> infinities = PatchInfinities(patched);
  if (infinities.empty()) return std::nullopt;
  return parse(patched, infinities, overflow);
}

}  // namespace sorvanel::json
