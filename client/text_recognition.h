// General text recognition of a picture (command 云_文字识别).
#ifndef SORVANEL_CLIENT_TEXT_RECOGNITION_H_
#define SORVANEL_CLIENT_TEXT_RECOGNITION_H_

#include <cstdint>

#include "encoding/text.h"

namespace sorvanel {

// The kinds of general text recognition, each with its own endpoint.
inline constexpr std::int32_t kStandardRecognition = 0;       // general_basic
inline constexpr std::int32_t kAccurateRecognition = 1;       // accurate_basic
inline constexpr std::int32_t kRareCharacterRecognition = 2;  // general_enhanced

// Sends one picture to the service's general text recognition and returns its JSON
// reply converted from UTF-8 to code page 936.
//
// kind 0, 1 or 2 selects its endpoint into ocrEndpoint (see ocr_state.h); any other
// kind selects nothing, and the request goes to whatever ocrEndpoint holds, which
// before the first request is nothing, so that the address is the token alone.
// pictureAddress is downloaded with a GET when it is a web address (picture_source.h)
// and read as a file otherwise; a picture that cannot be had is sent empty. The body
// is "image=" + the form-encoded Base64 picture + "&probability=" + "true" or "false";
// the token is appended to the endpoint unencoded. The reply is stored in ocrLastReply.
//
// Neutral result: the empty text when the request fails (ocrLastReply becomes empty
// too); a service that refuses the request answers with its error reply, returned as
// any other. Blocks for one exchange, two for a web picture. Safe on any thread.
Text RecognizeText(std::int32_t kind = kStandardRecognition, const Text& accessToken = Text(),
                   const Text& pictureAddress = Text(), bool probability = false);

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_TEXT_RECOGNITION_H_
