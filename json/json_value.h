// The document model behind JsonObject: one JSON value as the object's script-like
// engine holds it. Internal to json/: callers see only JsonObject.
//
// A value is missing (the engine's undefined: a member may hold it), a hole (an array
// element that was never set: reads as missing, serialises as null, is not visited
// when the array's members are listed), null, a boolean, a number (a double), a text
// (UTF-8 bytes, zero bytes allowed), an array or an object. Object members keep the
// order of their first creation and a key occurs once; members are never removed.
//
// Values own their children; nothing is shared. Not safe to change from two threads.
#ifndef SORVANEL_JSON_JSON_VALUE_H_
#define SORVANEL_JSON_JSON_VALUE_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace sorvanel::json {

// Deepest nesting of arrays and objects that a document may reach. Input nested more
// deeply is unreadable, and a change that would nest more deeply changes nothing, so
// the recursive walks over a document stay far from the end of the stack.
inline constexpr int kMaxDepth = 1000;

// Longest array that a change may make. Setting element 2000000000 of an empty array
// would otherwise allocate gigabytes of holes.
inline constexpr std::size_t kMaxArrayLength = std::size_t{1} << 20;

enum class Kind : std::uint8_t {
  kMissing,
  kHole,
  kNull,
  kBoolean,
  kNumber,
  kText,
  kArray,
  kObject
};

class Object;

class Value {
 public:
  Value() = default;
  explicit Value(Kind kind);
  static Value Boolean(bool b);
  static Value Number(double d);
  static Value TextValue(std::string utf8);
  static Value EmptyArray();
  static Value EmptyObject();

  Value(Value&&) noexcept = default;
  Value& operator=(Value&&) noexcept = default;
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;
  ~Value();

  Kind kind() const { return kind_; }
  // Missing or a hole: both read as the engine's undefined.
  bool IsMissing() const { return kind_ == Kind::kMissing || kind_ == Kind::kHole; }
  // Null or missing: the values that nothing can be selected from.
  bool IsNullish() const { return IsMissing() || kind_ == Kind::kNull; }

  bool boolean() const { return boolean_; }
  double number() const { return number_; }
  const std::string& text() const { return text_; }

  // Requires: kind() is kArray (respectively kObject).
  std::vector<Value>& array() { return *array_; }
  const std::vector<Value>& array() const { return *array_; }
  Object& object() { return *object_; }
  const Object& object() const { return *object_; }

 private:
  Kind kind_ = Kind::kMissing;
  bool boolean_ = false;
  double number_ = 0;
  std::string text_;
  std::unique_ptr<std::vector<Value>> array_;
  std::unique_ptr<Object> object_;
};

// The members of an object in creation order. Small objects are searched in order;
// from kIndexedSize members on, a hash index over the keys finds them.
class Object {
 public:
  struct Member {
    std::string key;
    Value value;
  };

  std::size_t size() const { return members_.size(); }
  const std::vector<Member>& members() const { return members_; }

  // The member's value, or null when there is no such key.
  Value* Find(std::string_view key);
  const Value* Find(std::string_view key) const;

  // The value of the member `key`: the existing one, or a new missing member added
  // after all others.
  Value& Slot(std::string_view key);

 private:
  static constexpr std::size_t kIndexedSize = 8;
  void Reindex();

  std::vector<Member> members_;
  // Views into members_' keys; rebuilt whenever members_ moves its storage.
  std::unique_ptr<std::unordered_map<std::string_view, std::uint32_t>> index_;
};

}  // namespace sorvanel::json

#endif  // SORVANEL_JSON_JSON_VALUE_H_
