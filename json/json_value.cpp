#include "json/json_value.h"

namespace sorvanel::json {

Value::Value(Kind kind) : kind_(kind) {
  if (kind == Kind::kArray) array_ = std::make_unique<std::vector<Value>>();
  if (kind == Kind::kObject) object_ = std::make_unique<Object>();
}

Value::~Value() = default;

Value Value::Boolean(bool b) {
  Value v(Kind::kBoolean);
  v.boolean_ = b;
  return v;
}

Value Value::Number(double d) {
  Value v(Kind::kNumber);
  v.number_ = d;
  return v;
}

Value Value::TextValue(std::string utf8) {
  Value v(Kind::kText);
  v.text_ = std::move(utf8);
  return v;
}

Value Value::EmptyArray() { return Value(Kind::kArray); }

Value Value::EmptyObject() { return Value(Kind::kObject); }

Value* Object::Find(std::string_view key) {
  return const_cast<Value*>(static_cast<const Object*>(this)->Find(key));
}

const Value* Object::Find(std::string_view key) const {
  if (index_) {
    auto found = index_->find(key);
    return found == index_->end() ? nullptr : &members_[found->second].value;
  }
  for (const Member& member : members_) {
    if (member.key == key) return &member.value;
  }
  return nullptr;
}

Value& Object::Slot(std::string_view key) {
  if (Value* existing = Find(key)) return *existing;
  const Member* oldData = members_.data();
  members_.push_back(Member{std::string(key), Value()});
  if (members_.size() >= kIndexedSize) {
    if (!index_ || members_.data() != oldData) {
      Reindex();
    } else {
      index_->emplace(members_.back().key, static_cast<std::uint32_t>(members_.size() - 1));
    }
  }
  return members_.back().value;
}

void Object::Reindex() {
  index_ = std::make_unique<std::unordered_map<std::string_view, std::uint32_t>>();
  index_->reserve(members_.capacity());
  for (std::size_t i = 0; i < members_.size(); ++i) {
    index_->emplace(members_[i].key, static_cast<std::uint32_t>(i));
  }
}

}  // namespace sorvanel::json
