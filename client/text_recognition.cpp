#include "client/text_recognition.h"

#include <array>
#include <string_view>

#include "client/ocr_state.h"
#include "client/recognition_request.h"

namespace sorvanel {
namespace {

constexpr std::array<std::string_view, 3> kKindPaths = {
    "/rest/2.0/ocr/v1/general_basic?access_token=",
    "/rest/2.0/ocr/v1/accurate_basic?access_token=",
    "/rest/2.0/ocr/v1/general_enhanced?access_token=",
};

}  // namespace

Text RecognizeText(std::int32_t kind, const Text& accessToken, const Text& pictureAddress,
                   bool probability) {
  // A kind without an endpoint of its own reuses the latest one selected.
  const Text endpoint = kind >= 0 && kind < static_cast<std::int32_t>(kKindPaths.size())
                            ? SelectEndpoint(kKindPaths[static_cast<std::size_t>(kind)])
                            : OcrEndpoint();
  const Text body =
      Text("image=") + EncodedPicture(pictureAddress) + "&probability=" + SwitchText(probability);
  return PostRecognition(endpoint, accessToken, body);
}

}  // namespace sorvanel
