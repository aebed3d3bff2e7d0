#include "encoding/text_between.h"

#include "encoding/text_ops.h"

namespace sorvanel {

namespace {

Text ResolvePlaceholder(const Text& marker) {
  return ReplaceAll(marker.view(), kQuotePlaceholder, "\"");
}

}  // namespace

Text TextBetween(const Text& text, const Text& left, const Text& right) {
  if (text.empty()) return Text();
  const Text leftMarker = ResolvePlaceholder(left);
  const Text rightMarker = ResolvePlaceholder(right);
  // An empty right marker counts as found at the very start, before any piece: the
  // piece would have a negative length, so the result is empty.
  if (rightMarker.empty()) return Text();
  const std::size_t leftAt = FindText(text.view(), leftMarker.view());
  if (leftAt == kNotFound) return Text();
  const std::size_t start = leftAt + leftMarker.size();
  const std::size_t rightAt = FindText(text.view(), rightMarker.view(), start);
  if (rightAt == kNotFound || rightAt <= start) return Text();
  return Text(text.view().substr(start, rightAt - start));
}

}  // namespace sorvanel
