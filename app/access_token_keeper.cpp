#include "app/access_token_keeper.h"

#include <utility>

#include "client/access_token.h"
#include "client/text_recognition.h"
#include "json/json_object.h"

namespace sorvanel {

AccessTokenKeeper::AccessTokenKeeper(Text apiKey, Text secretKey)
    : apiKey_(std::move(apiKey)), secretKey_(std::move(secretKey)) {}

void AccessTokenKeeper::Fetch() { Store(FetchAccessToken(apiKey_, secretKey_)); }

Text AccessTokenKeeper::Current() const {
  std::lock_guard lock(mutex_);
  return token_;
}

void AccessTokenKeeper::Store(const Text& token) {
  std::lock_guard lock(mutex_);
  if (!released_) token_ = token;
}

void AccessTokenKeeper::Release() {
  std::lock_guard lock(mutex_);
  token_ = Text();
  released_ = true;
}

bool AccessTokenKeeper::IsErrorReply(const Text& reply) {
  JsonObject json;
  if (!json.Parse(reply) || json.GetType() != 4) return false;
  return json.PropertyExists("error_code") && !json.PropertyExists("words_result");
}

Text AccessTokenKeeper::Recognize(const Text& path) {
  if (Current().empty()) Fetch();
  Text reply = RecognizeText(kAccurateRecognition, Current(), path);
  if (!IsErrorReply(reply)) return reply;
  Fetch();
  return RecognizeText(kAccurateRecognition, Current(), path);
}

}  // namespace sorvanel
