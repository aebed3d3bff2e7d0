// The other recognition commands: identity cards, web pictures, bank cards and number
// plates. The status of an identity-card reply is in id_card_status.h.
//
// The four requests are built like RecognizeText (text_recognition.h): each selects its
// endpoint into ocrEndpoint, takes the picture from a web address or a file (sent empty
// when it cannot be had), posts a form body with the form-encoded Base64 picture to the
// endpoint with the token appended unencoded, stores the reply converted from UTF-8 to
// code page 936 in ocrLastReply and returns it. Neutral result: the empty text when the
// request fails. Each blocks for one exchange, two for a web picture, and is safe on
// any thread.
#ifndef SORVANEL_CLIENT_OTHER_RECOGNITIONS_H_
#define SORVANEL_CLIENT_OTHER_RECOGNITIONS_H_

#include "client/id_card_status.h"  // the status of an identity-card reply
#include "encoding/text.h"

namespace sorvanel {

// 云_身份证识别, path "/rest/2.0/ocr/v1/idcard?access_token=". Body:
// "detect_direction=" + true/false + "&id_card_side=" + front/back (front when
// idCardSide) + "&detect_risk=" + true/false + "&image=" + picture.
Text RecognizeIdCard(const Text& accessToken, bool detectDirection = false, bool idCardSide = false,
                     bool detectRisk = false, const Text& pictureAddress = Text());

// 云_网络图片文字识别, path "/rest/2.0/ocr/v1/webimage?access_token=". Body: "image=" +
// picture.
Text RecognizeWebImage(const Text& accessToken, const Text& pictureAddress);

// 云_银行卡识别, path "/rest/2.0/ocr/v1/bankcard?access_token=". Body: "image=" + picture.
Text RecognizeBankCard(const Text& accessToken, const Text& pictureAddress);

// 云_车牌识别, path "/rest/2.0/ocr/v1/license_plate?access_token=". Body:
// "multi_detect=" + true/false + "&image=" + picture.
Text RecognizeLicensePlate(const Text& accessToken, bool multiDetect = false,
                           const Text& pictureAddress = Text());

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_OTHER_RECOGNITIONS_H_
