#include "json/json_object.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "encoding/codepage.h"
#include "encoding/text_ops.h"
#include "json/json_literal.h"
#include "json/json_parse.h"
#include "json/json_path.h"
#include "json/json_serialize.h"
#include "json/json_value.h"

namespace sorvanel {

using json::Joiner;
using json::Kind;
using json::ParsedValue;
using json::Value;

// The document that the copies of one JsonObject share.
class JsonDocument {
 public:
  static Value& RootOf(JsonObject& object) { return object.document_->root; }

  Value root = Value::EmptyObject();
};

namespace {

// A Text (code page 936) as UTF-8. ASCII, the common case for paths and replies, is
// used in place without a copy.
class Utf8Text {
 public:
  explicit Utf8Text(const Text& text) {
    for (unsigned char b : text.view()) {
      if (b >= 0x80) {
        owned_ = ConvertCodePage(text.view(), kGbkCodePage, kUtf8CodePage);
        view_ = owned_;
        return;
      }
    }
    view_ = text.view();
  }
  Utf8Text(const Utf8Text&) = delete;
  Utf8Text& operator=(const Utf8Text&) = delete;

  std::string_view view() const { return view_; }

 private:
  std::string owned_;
  std::string_view view_;
};

// UTF-8 as a Text in code page 936 ('?' for what 936 cannot hold), ending at the first
// zero byte as every Text does.
Text ToText(std::string utf8) {
  bool hasZero = false;
  for (unsigned char b : utf8) {
    if (b >= 0x80) return Text(ConvertCodePage(utf8, kUtf8CodePage, kGbkCodePage));
    hasZero |= b == 0;
  }
  return hasZero ? Text(std::move(utf8)) : Text::Adopt(std::move(utf8));
}

// The methods that accept a leading bracket append such a path to the document as it
// is; every other path is read after an implied ".".
Joiner LeadingBracketJoin(std::string_view path) {
  return !path.empty() && path[0] == '[' ? Joiner::kAsIs : Joiner::kDot;
}

// The JSON text of a selected value: empty when there is none (missing, or a path that
// could not be followed).
std::string JsonOf(const Value* value) {
  std::string out;
  if (value) json::AppendJson(*value, out);
  return out;
}

// The plain text of a selected value, as the engine's conversion of a value to a text
// gives it: booleans as -1 and 0, null and missing as nothing.
Text PlainTextOf(const Value* value) {
  if (!value) return Text();
  if (value->kind() == Kind::kBoolean) return Text(value->boolean() ? "-1" : "0");
  std::string out;
  json::AppendDefaultText(*value, out);
  return ToText(std::move(out));
}

bool IsBlank(std::string_view utf8) {
  return utf8.find_first_not_of(" \t\n\r\v\f") == std::string_view::npos;
}

// The value of a JSON text as a document or a stored value. A root that is a text is
// refused where the value would be evaluated once more as script (Parse,
// SetProperty, SetPropertyObject), and accepted where it stands as a literal.
enum class TextRoot { kRefused, kAccepted };

std::optional<ParsedValue> ReadJson(std::string_view utf8, TextRoot textRoot) {
  std::optional<ParsedValue> parsed = json::ParseJson(utf8);
  if (parsed && textRoot == TextRoot::kRefused && parsed->value.kind() == Kind::kText) {
    return std::nullopt;
  }
  return parsed;
}

// A caller's value in the form a change stores it: decoded as a quoted text, or read
// as a JSON text. Nothing when a JSON text was asked for and the value is not one, or
// is blank.
std::optional<ParsedValue> ReadValue(const Text& value, bool asObject, TextRoot textRoot) {
  Utf8Text utf8(value);
  if (!asObject) return ParsedValue{Value::TextValue(json::DecodeTextLiteral(utf8.view())), 0};
  if (IsBlank(utf8.view())) return std::nullopt;
  return ReadJson(utf8.view(), textRoot);
}

// A JsonObject whose document is read from the JSON text of `value`, as Parse reads it;
// used for the separate copies. The text stays UTF-8, so that characters which code
// page 936 cannot hold survive the copy.
JsonObject CopyOf(const Value* value) {
  JsonObject copy;
  Value& root = JsonDocument::RootOf(copy);
  const std::string text = JsonOf(value);
  if (IsBlank(text)) {
    root = Value();
    return copy;
  }
  std::optional<ParsedValue> parsed = ReadJson(text, TextRoot::kRefused);
  root = parsed ? std::move(parsed->value) : Value(Kind::kNull);
  return copy;
}

// The path of element `index` below `path`, joined after an implied "." (the root for
// the empty path): ".list[3]", "[3]".
std::string ElementPath(std::string_view path, int index) {
  std::string out;
  if (!path.empty()) {
    out.push_back('.');
    out.append(path);
  }
  out.push_back('[');
  out.append(std::to_string(index));
  out.push_back(']');
  return out;
}

// The integer that a decimal text starts with (blanks, a sign, digits, a fraction cut
// off), or 0 when it does not start with one. Blanks before the number are skipped as
// decimal text is read ("[ 1 ]" is element 1).
int LeadingInteger(std::string_view text) {
  double value = 0;
  const std::size_t start = text.find_first_not_of(" \t\n\v\f\r");
  text.remove_prefix(start == std::string_view::npos ? text.size() : start);
  const char* first = text.data();
  if (!text.empty() && text[0] == '+') ++first;
  std::from_chars(first, text.data() + text.size(), value, std::chars_format::fixed);
  if (!(value > -2147483648.0)) return value <= -2147483648.0 ? INT32_MIN : 0;
  if (value >= 2147483647.0) return INT32_MAX;
  return static_cast<int>(value);
}

}  // namespace

JsonObject::JsonObject() : document_(std::make_shared<JsonDocument>()) {}
JsonObject::JsonObject(const JsonObject&) = default;
JsonObject& JsonObject::operator=(const JsonObject&) = default;
JsonObject::~JsonObject() = default;

bool JsonObject::Parse(const Text& jsonText) {
  Value& root = document_->root;
  const Utf8Text utf8(jsonText);
  if (IsBlank(utf8.view())) {
    root = Value();
    return false;
  }
  std::optional<ParsedValue> parsed = ReadJson(utf8.view(), TextRoot::kRefused);
  root = parsed ? std::move(parsed->value) : Value(Kind::kNull);
  return !root.IsNullish();
}

Text JsonObject::GetDataText() const { return ToText(JsonOf(&document_->root)); }

void JsonObject::SetProperty(const Text& path, const Text& value, bool asObject) {
  std::optional<ParsedValue> stored = asObject && value.empty()
                                          ? ParsedValue{Value::EmptyObject(), 1}
                                          : ReadValue(value, asObject, TextRoot::kRefused);
  if (!stored) return;
  const Utf8Text utf8Path(path);
  if (Value* slot =
          json::AssignmentSlot(document_->root, utf8Path.view(), Joiner::kDot, stored->depth)) {
    *slot = std::move(stored->value);
  }
}

void JsonObject::SetPropertyObject(const Text& path, const Text& value) {
  std::optional<ParsedValue> stored =
      value.empty() ? ParsedValue{} : ReadValue(value, true, TextRoot::kRefused);
  if (!stored) return;
  const Utf8Text utf8Path(path);
  if (Value* slot =
          json::AssignmentSlot(document_->root, utf8Path.view(), Joiner::kDot, stored->depth)) {
    *slot = std::move(stored->value);
  }
}

void JsonObject::SetPropertyNumber(const Text& path, double value) {
  if (!std::isfinite(value)) return;
  // The number is stored as its six-decimal text reads back.
  const Text text = NumberToText(value);
  double rounded = 0;
  std::from_chars(text.c_str(), text.c_str() + text.size(), rounded);
  const Utf8Text utf8Path(path);
  if (Value* slot = json::AssignmentSlot(document_->root, utf8Path.view(), Joiner::kDot, 0)) {
    *slot = Value::Number(rounded);
  }
}

double JsonObject::GetPropertyNumber(const Text& path) const {
  const Utf8Text utf8Path(path);
  const Value* value = json::Follow(document_->root, utf8Path.view(), Joiner::kDot);
  if (!value) return 0;
  if (value->kind() == Kind::kNumber) return value->number();
  if (value->kind() == Kind::kBoolean) return value->boolean() ? -1 : 0;
  return 0;
}

Text JsonObject::GetPropertyObject(const Text& path) const {
  const Utf8Text utf8Path(path);
  return ToText(JsonOf(json::Follow(document_->root, utf8Path.view(), Joiner::kDot)));
}

Text JsonObject::GetGeneralProperty(const Text& path, bool asObject) const {
  const Utf8Text utf8Path(path);
  const Joiner joiner = LeadingBracketJoin(utf8Path.view());
  if (asObject) return ToText(JsonOf(json::Follow(document_->root, utf8Path.view(), joiner)));
  // Numbers that GetType finds (it reads every path after a ".") take the six-decimal
  // form; a number reached through a leading bracket keeps its own text.
  if (GetType(path) == 2) return NumberToText(GetPropertyNumber(path));
  return PlainTextOf(json::Follow(document_->root, utf8Path.view(), joiner));
}

JsonObject JsonObject::GetProperty(const Text& path) const {
  const Utf8Text utf8Path(path);
  return CopyOf(
      json::Follow(document_->root, utf8Path.view(), LeadingBracketJoin(utf8Path.view())));
}

int JsonObject::MemberCount(const Text& path) const {
  const Utf8Text utf8Path(path);
  const Value* value = path.empty() ? &document_->root
                                    : json::Follow(document_->root, utf8Path.view(),
                                                   LeadingBracketJoin(utf8Path.view()));
  if (!value) return 0;
  switch (value->kind()) {
    case Kind::kMissing:
    case Kind::kHole:
    case Kind::kNull:
      return -2;
    case Kind::kArray: {
      return static_cast<int>(value->array().ElementCount());
    }
    case Kind::kObject:
      return static_cast<int>(value->object().size());
    default:
      return 1;
  }
}

void JsonObject::AddMember(const Text& memberValue, const Text& path, bool asObject) {
  std::optional<ParsedValue> appended;
  if (!asObject || !memberValue.empty()) {
    appended = ReadValue(memberValue, asObject, TextRoot::kAccepted);
    if (!appended) return;
  }
  const int depth = 1 + (appended ? appended->depth : 0);
  Value* target;
  if (path.empty()) {
    if (depth > json::kMaxDepth) return;
    target = &document_->root;
  } else {
    const Utf8Text utf8Path(path);
    target = json::AssignmentSlot(document_->root, utf8Path.view(), Joiner::kDot, depth);
    if (!target) return;
  }
  if (target->kind() != Kind::kArray) *target = Value::EmptyArray();
  if (appended) target->array().Append() = std::move(appended->value);
}

JsonObject JsonObject::GetMember(int index, const Text& path) const {
  const Utf8Text utf8Path(path);
  const std::string selector = ElementPath(utf8Path.view(), index);
  return CopyOf(json::Follow(document_->root, selector, Joiner::kAsIs));
}

Text JsonObject::GetMemberText(int index, const Text& path, bool asObject) const {
  const Utf8Text utf8Path(path);
  const std::string selector = ElementPath(utf8Path.view(), index);
  const Value* value = json::Follow(document_->root, selector, Joiner::kAsIs);
  return asObject ? ToText(JsonOf(value)) : PlainTextOf(value);
}

void JsonObject::SetMember(int index, const Text& memberValue, bool asObject) {
  std::optional<ParsedValue> stored = ReadValue(memberValue, asObject, TextRoot::kAccepted);
  if (!stored) return;
  if (Value* slot = json::AssignmentSlot(document_->root, ElementPath("", index), Joiner::kAsIs,
                                         stored->depth)) {
    *slot = std::move(stored->value);
  }
}

void JsonObject::DeleteMember(int index) {
  Value& root = document_->root;
  if (root.kind() != Kind::kArray) return;
  json::Array& elements = root.array();
  // As JavaScript's splice(index, 1): a negative index counts from the end.
  const long long length = static_cast<long long>(elements.size());
  long long start = index < 0 ? std::max(length + index, 0LL) : std::min<long long>(index, length);
  if (start < length) elements.Erase(static_cast<std::size_t>(start));
}

void JsonObject::DeleteProperty(const Text& path) {
  const Utf8Text utf8Path(path);
  const std::string_view whole = utf8Path.view();
  const std::size_t open = whole.find('[');
  if (open == std::string_view::npos || open == 0) return;
  const std::string_view parentPath = whole.substr(0, open);
  const std::size_t close = whole.find(']', open + 1);
  const std::string_view indexText = close == std::string_view::npos
                                         ? std::string_view()
                                         : whole.substr(open + 1, close - open - 1);

  // The member is rewritten as a fresh copy of itself without the element. A member that
  // does not read back as a document (a text, null, missing) is left alone.
  JsonObject copy = CopyOf(json::Follow(document_->root, parentPath, Joiner::kDot));
  if (copy.document_->root.IsNullish()) return;
  copy.DeleteMember(LeadingInteger(indexText));
  std::optional<ParsedValue> rewritten = json::ParseJson(JsonOf(&copy.document_->root));
  if (!rewritten) return;
  if (Value* slot =
          json::AssignmentSlot(document_->root, parentPath, Joiner::kDot, rewritten->depth)) {
    *slot = std::move(rewritten->value);
  }
}

void JsonObject::SetType(int typeCode) {
  if (typeCode == 0 || typeCode == 4) document_->root = Value::EmptyObject();
  if (typeCode == 5) document_->root = Value::EmptyArray();
}

void JsonObject::Assign(const Text& value, bool asObject) {
  std::optional<ParsedValue> stored = ReadValue(value, asObject, TextRoot::kAccepted);
  if (stored) document_->root = std::move(stored->value);
}

bool JsonObject::PropertyExists(const Text& path) const {
  const Utf8Text utf8Path(path);
  const Value* value = json::Follow(document_->root, utf8Path.view(), Joiner::kDot);
  return value && !value->IsNullish();
}

int JsonObject::GetAllPropertyNames(std::vector<Text>& names, const Text& path) const {
  const Utf8Text utf8Path(path);
  const Value* value = path.empty() ? &document_->root
                                    : json::Follow(document_->root, utf8Path.view(),
                                                   LeadingBracketJoin(utf8Path.view()));
  // The keys that a for-in loop over the value visits, each followed by ",", then the
  // two helpers that every value of the engine inherits; then the helpers are removed
  // from the text as a whole, which is why a key holding "," gives two names.
  std::string visited;
  if (value && !value->IsNullish()) {
    if (value->kind() == Kind::kObject) {
      for (const json::Object::Member& member : value->object().members()) {
        visited += member.key;
        visited += ',';
      }
    } else if (value->kind() == Kind::kArray) {
      value->array().ForEach([&visited](std::size_t i, const Value& element) {
        if (element.kind() == Kind::kHole) return;
        visited += std::to_string(i);
        visited += ',';
      });
    } else {
      visited += "toJSON,";
    }
    visited += "toJSONString,parseJSON,";
  }
  const Text answer = ReplaceAll(
      ReplaceAll(ToText(std::move(visited)).view(), "toJSONString,", "").view(), "parseJSON,", "");
  names = Split(answer.view(), ",");
  return static_cast<int>(names.size());
}

int JsonObject::GetType(const Text& path) const {
  const Utf8Text utf8Path(path);
  const Value* value = path.empty() ? &document_->root
                                    : json::Follow(document_->root, utf8Path.view(), Joiner::kDot);
  if (!value) return -1;
  switch (value->kind()) {
    case Kind::kMissing:
    case Kind::kHole:
    case Kind::kNull:
      return 0;
    case Kind::kBoolean:
      return 1;
    case Kind::kNumber:
      return 2;
    case Kind::kText:
      return 6;
    case Kind::kObject:
      return 4;
    case Kind::kArray:
      // The root is told from an object by its JSON text at the empty path, which is
      // never read, so a root array counts as an object.
      return path.empty() ? 4 : 5;
  }
  return -1;
}

void JsonObject::Clear() { document_->root = Value::EmptyObject(); }

}  // namespace sorvanel
