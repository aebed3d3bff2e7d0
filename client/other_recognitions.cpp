#include "client/other_recognitions.h"

#include "client/recognition_request.h"

namespace sorvanel {

Text RecognizeIdCard(const Text& accessToken, bool detectDirection, bool idCardSide,
                     bool detectRisk, const Text& pictureAddress) {
  const Text endpoint = SelectEndpoint("/rest/2.0/ocr/v1/idcard?access_token=");
  const Text body = Text("detect_direction=") + SwitchText(detectDirection) +
                    "&id_card_side=" + (idCardSide ? "front" : "back") + "&detect_risk" + "=" +
                    SwitchText(detectRisk) + "&image=" + EncodedPicture(pictureAddress);
  return PostRecognition(endpoint, accessToken, body);
}

Text RecognizeWebImage(const Text& accessToken, const Text& pictureAddress) {
  const Text endpoint = SelectEndpoint("/rest/2.0/ocr/v1/webimage?access_token=");
  return PostRecognition(endpoint, accessToken, Text("image=") + EncodedPicture(pictureAddress));
}

Text RecognizeBankCard(const Text& accessToken, const Text& pictureAddress) {
  const Text endpoint = SelectEndpoint("/rest/2.0/ocr/v1/bankcard?access_token=");
  return PostRecognition(endpoint, accessToken, Text("image=") + EncodedPicture(pictureAddress));
}

Text RecognizeLicensePlate(const Text& accessToken, bool multiDetect, const Text& pictureAddress) {
  const Text endpoint = SelectEndpoint("/rest/2.0/ocr/v1/license_plate?access_token=");
  const Text body =
      Text("multi_detect=") + SwitchText(multiDetect) + "&image=" + EncodedPicture(pictureAddress);
  return PostRecognition(endpoint, accessToken, body);
}

}  // namespace sorvanel
