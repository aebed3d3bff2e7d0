#include "client/text_extraction.h"

#include "encoding/text_ops.h"
#include "json/json_object.h"

namespace sorvanel {

Text ExtractRecognizedText(const Text& reply) {
  JsonObject json;
  json.Parse(reply);
  const int count = json.MemberCount("words_result");
  Text result;
  // Each line is ended by CR LF, and an entry without "words" adds only a line break,
  // which joins the run of the line break before it; only at the very start does one
  // remain. Working on the entries rather than on the joined bytes keeps a CR inside a
  // recognised line from being taken for a line break.
  bool lineBreakPending = false;
  for (int i = 0; i < count; ++i) {
    const Text path = Text("words_result[") + NumberToText(i) + "].words";
    const Text jsonText = json.GetGeneralProperty(path, true);
    if (jsonText.empty()) {
      if (result.empty()) lineBreakPending = true;
      continue;
    }
    if (lineBreakPending) {
      result += "\r\n";
      lineBreakPending = false;
    }
    // A text value comes out as recognised; anything else as its JSON text.
    result += jsonText.view().front() == '"' ? json.GetGeneralProperty(path) : jsonText;
    result += "\r\n";
  }
  if (lineBreakPending) result += "\r\n";
  return result;
}

}  // namespace sorvanel
