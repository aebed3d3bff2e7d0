#include "client/recognition_request.h"

#include "client/ocr_state.h"
#include "client/picture_source.h"
#include "client/service_session.h"
#include "encoding/base64.h"
#include "encoding/charset.h"
#include "encoding/url_encode.h"
#include "web/web_request.h"

namespace sorvanel {

ByteSet LoadPicture(const Text& pictureAddress) {
  if (!IsWebPictureAddress(pictureAddress)) return ReadWholeFile(pictureAddress);
  EnsureServiceWebSettings();
  return WebRequest(pictureAddress);
}

Text EncodedPicture(const Text& pictureAddress) {
  return UrlEncode(Base64Encode(LoadPicture(pictureAddress)));
}

Text SelectEndpoint(std::string_view path) {
  Text endpoint = ServiceAddress(path);
  SetOcrEndpoint(endpoint);
  return endpoint;
}

Text PostRecognition(const Text& endpoint, const Text& accessToken, const Text& body) {
  EnsureServiceWebSettings();
  const ByteSet reply = WebRequest(endpoint + accessToken, 1, body);
  Text converted = Utf8ToGbk(reply.AsText());
  SetOcrLastReply(converted);
  return converted;
}

}  // namespace sorvanel
