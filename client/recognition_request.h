// INTERNAL to client/: not part of the library's interface. Only the sources of client/
// and its own tests and benchmarks include it; it changes with them.
//
// The steps that every recognition request shares.
#ifndef SORVANEL_CLIENT_RECOGNITION_REQUEST_H_
#define SORVANEL_CLIENT_RECOGNITION_REQUEST_H_

#include <string_view>

#include "encoding/text.h"

namespace sorvanel {

// The picture's bytes: downloaded with a GET when the address is a web address, read
// from the file otherwise; the empty set when neither works.
ByteSet LoadPicture(const Text& pictureAddress);

// The picture as it goes into a form body: its bytes Base64-encoded, then URL-encoded.
// An unreadable picture gives the empty text.
Text EncodedPicture(const Text& pictureAddress);

// Replaces ocrEndpoint with "https://" + service host + path and returns the address.
Text SelectEndpoint(std::string_view path);

// Posts `body` to endpoint + accessToken, converts the reply from UTF-8 to code page
// 936 (no percent decoding: a JSON reply holds no escapes of that kind, and a
// recognised "%" must survive), stores it in ocrLastReply and returns it.
Text PostRecognition(const Text& endpoint, const Text& accessToken, const Text& body);

// "true" or "false".
inline Text SwitchText(bool on) { return on ? Text("true") : Text("false"); }

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_RECOGNITION_REQUEST_H_
