#include "client/id_card_status.h"

#include "encoding/text_between.h"

namespace sorvanel {

Text IdCardStatus(const Text& reply) {
  return TextBetween(reply, "\"image_status\": \"", "\", \"");
}

}  // namespace sorvanel
