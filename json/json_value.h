// INTERNAL to json/: not part of the library's interface. Only the sources of json/
// and its own tests and benchmarks include it; it changes with them.
//
// The document model behind JsonObject: one JSON value as the object's script-like
// engine holds it. Callers see only JsonObject.
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

// Most holes that one change may add to an array. Holes take no memory of their own,
// but each is written as null: setting element 2000000000 of an empty array would
// otherwise make a document whose text is gigabytes long. Appends and changes of
// existing elements add no hole and work at any length.
inline constexpr std::size_t kMaxNewHoles = std::size_t{1} << 20;

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
class Array;

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
  Array& array() { return *array_; }
  const Array& array() const { return *array_; }
  Object& object() { return *object_; }
  const Object& object() const { return *object_; }

 private:
  Kind kind_ = Kind::kMissing;
  bool boolean_ = false;
  double number_ = 0;
  std::string text_;
  std::unique_ptr<Array> array_;
  std::unique_ptr<Object> object_;

  friend class Array;
  std::size_t holes_ = 0;  // for a kHole entry of an Array: how many holes it stands for
};

// The elements of an array, holes included. A run of holes is one entry, so a far-out
// element costs no more memory than a near one. Indexes count elements and holes alike.
class Array {
 public:
  // The length: elements and holes.
  std::size_t size() const { return length_; }

  // The element at `index`; a hole value for a hole, null beyond the end.
  const Value* At(std::size_t index) const;

  // The element at `index` for assignment: an existing element, a hole made into a
  // missing element, or a new missing element after holes up to `index`.
  Value& Slot(std::size_t index);

  // A new missing element after the last one.
  Value& Append();

  // Removes the element or hole at `index` (< size()); the later ones move down.
  void Erase(std::size_t index);

  // Calls f(index, element) for each index in order, with a hole value for each hole.
  template <typename F>
  void ForEach(F f) const {
    std::size_t index = 0;
    for (const Value& entry : entries_) {
      const std::size_t width = Width(entry);
      for (std::size_t k = 0; k < width; ++k) f(index++, entry);
    }
  }

  // How many indexes hold an element rather than a hole.
  std::size_t ElementCount() const { return entries_.size() - holeRuns_; }

 private:
  static std::size_t Width(const Value& entry) {
    return entry.kind() == Kind::kHole ? entry.holes_ : 1;
  }
  // The entry that holds `index` (< size()) and how far into it `index` lies.
  std::pair<std::size_t, std::size_t> Locate(std::size_t index) const;

  std::vector<Value> entries_;
  std::size_t length_ = 0;
  std::size_t holeRuns_ = 0;  // entries that are runs of holes; with none, index = entry
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
