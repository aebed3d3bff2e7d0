#include "json/json_value.h"

namespace sorvanel::json {

Value::Value(Kind kind) : kind_(kind) {
  if (kind == Kind::kArray) array_ = std::make_unique<Array>();
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

std::pair<std::size_t, std::size_t> Array::Locate(std::size_t index) const {
  if (holeRuns_ == 0) return {index, 0};
  std::size_t first = 0;
  for (std::size_t entry = 0; entry < entries_.size(); ++entry) {
    const std::size_t width = Width(entries_[entry]);
    if (index < first + width) return {entry, index - first};
    first += width;
  }
  return {entries_.size(), 0};
}

const Value* Array::At(std::size_t index) const {
  if (index >= length_) return nullptr;
  return &entries_[Locate(index).first];
}

Value& Array::Append() {
  ++length_;
  return entries_.emplace_back();
}

Value& Array::Slot(std::size_t index) {
  if (index >= length_) {
    if (index > length_) {
      Value run(Kind::kHole);
      run.holes_ = index - length_;
      entries_.push_back(std::move(run));
      ++holeRuns_;
      length_ = index;
    }
    return Append();
  }
  const auto [entry, offset] = Locate(index);
  Value& found = entries_[entry];
  if (found.kind() != Kind::kHole) return found;
  // Split the run: the holes before the index, the new element, the holes after it.
  const std::size_t before = offset;
  const std::size_t after = found.holes_ - offset - 1;
  std::size_t at = entry;
  if (before > 0) {
    found.holes_ = before;
    ++at;
    entries_.emplace(entries_.begin() + static_cast<std::ptrdiff_t>(at));
  } else {
    found = Value();
    --holeRuns_;
  }
  if (after > 0) {
    Value run(Kind::kHole);
    run.holes_ = after;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at) + 1, std::move(run));
    ++holeRuns_;
  }
  return entries_[at];
}

void Array::Erase(std::size_t index) {
  if (index >= length_) return;
  const auto [entry, offset] = Locate(index);
  --length_;
  Value& found = entries_[entry];
  if (found.kind() == Kind::kHole && found.holes_ > 1) {
    --found.holes_;
    return;
  }
  if (found.kind() == Kind::kHole) --holeRuns_;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(entry));
}

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
