#include "web/cookies.h"

#include <algorithm>
#include <vector>

#include "encoding/text_between.h"
#include "encoding/text_ops.h"

namespace sorvanel {

namespace {

constexpr std::string_view kDeletedMark = "=deleted";

std::vector<Text> TrimmedItems(const Text& cookies) {
  std::vector<Text> items = Split(Trim(cookies.view()).view(), ";");
  for (Text& item : items) item = Trim(item.view());
  return items;
}

bool IsDeleted(const Text& item) { return item.view().ends_with(kDeletedMark); }

}  // namespace

Text CookieName(const Text& item) {
  const std::size_t equals = FindText(item.view(), "=");
  return Trim(item.view().substr(0, equals));
}

Text ExtractReplyCookies(const Text& replyHeaders) {
  std::string result;
  for (const Text& line : Split(replyHeaders.view(), "\r\n")) {
    if (!Contains(line.view(), "Set-Cookie")) continue;
    const Text item = Contains(line.view(), ";")
                          ? TextBetween(line, "Set-Cookie:", ";")
                          : ReplaceAll(line.view(), "Set-Cookie:", "", Case::kIgnore);
    result += Trim(item.view()).str();
    result += "; ";
  }
  if (!result.empty()) result.resize(result.size() - 2);
  return Text(std::move(result));
}

Text MergeCookies(const Text& sentCookies, const Text& replyCookies) {
  std::vector<Text> merged = TrimmedItems(replyCookies);
  for (const Text& sent : TrimmedItems(sentCookies)) {
    const Text name = CookieName(sent);
    const bool setByReply = std::any_of(merged.begin(), merged.end(),
                                        [&](const Text& item) { return CookieName(item) == name; });
    if (!setByReply) merged.push_back(sent);
  }
  std::erase_if(merged, IsDeleted);
  // Repeats are found on the joined text, as a cookie text would be read back: an empty
  // item at the end leaves only a final separator there, which yields no piece.
  std::vector<Text> unique;
  for (Text& item : Split(Join(merged, "; ").view(), "; ")) {
    if (std::find(unique.begin(), unique.end(), item) == unique.end()) {
      unique.push_back(std::move(item));
    }
  }
  return Join(unique, "; ");
}

}  // namespace sorvanel
