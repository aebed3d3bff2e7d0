// The status of an identity-card reply (command 云_身份证识别_状态), read from the text of
// the reply that RecognizeIdCard returned. No network.
//
// Pure function, safe on any thread. Neutral result: the empty text.
#ifndef SORVANEL_CLIENT_ID_CARD_STATUS_H_
#define SORVANEL_CLIENT_ID_CARD_STATUS_H_

#include "encoding/text.h"

namespace sorvanel {

// 云_身份证识别_状态: the image_status value of an identity-card reply, found as text
// between "\"image_status\": \"" and "\", \"" (the reply is not parsed as JSON). A
// reply written without those blanks, or without the member, gives the empty text.
// Pure function, safe on any thread.
Text IdCardStatus(const Text& reply);

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_ID_CARD_STATUS_H_
