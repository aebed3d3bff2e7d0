// The window's access token: fetched at start, fetched again whenever it is missing at
// a recognition, and replaced when the service refuses a recognition with it.
//
// A recognition through the keeper runs with the token it holds; when that is empty
// (the start-up fetch failed, for example because the network was down) the token is
// fetched first. When the service answers with an error reply ("error_code" and no
// "words_result": an expired or refused token), a new token is fetched and the same
// recognition is made once more with it; the second reply is the result.
//
// Thread safety: every method is safe on any thread; the token is guarded by a mutex,
// which is never held during a request. The window calls it from its worker thread and
// releases it from the GUI thread at the end.
// Neutral result: the empty text (no token, a failed recognition).
#ifndef SORVANEL_APP_ACCESS_TOKEN_KEEPER_H_
#define SORVANEL_APP_ACCESS_TOKEN_KEEPER_H_

#include <mutex>

#include "encoding/text.h"

namespace sorvanel {

class AccessTokenKeeper {
 public:
  AccessTokenKeeper(Text apiKey, Text secretKey);
  AccessTokenKeeper(const AccessTokenKeeper&) = delete;
  AccessTokenKeeper& operator=(const AccessTokenKeeper&) = delete;

  // Fetches a token and keeps it in place of the one held (an empty one when the fetch
  // fails). Blocks for one exchange.
  void Fetch();

  // The token held (a copy).
  Text Current() const;

  // The service's reply to a high-accuracy recognition of the picture at `path`, made
  // with a token as described at the top. Blocks for one to four exchanges.
  Text Recognize(const Text& path);

  // Frees the token; from then on nothing is kept, also by a request still under way.
  void Release();

  // Whether a reply is the service's error reply: a JSON object with an "error_code"
  // member and no "words_result". Pure function.
  static bool IsErrorReply(const Text& reply);

 private:
  // Stores a fetched token unless the keeper was released meanwhile.
  void Store(const Text& token);

  const Text apiKey_;
  const Text secretKey_;
  mutable std::mutex mutex_;
  Text token_;
  bool released_ = false;
};

}  // namespace sorvanel

#endif  // SORVANEL_APP_ACCESS_TOKEN_KEEPER_H_
