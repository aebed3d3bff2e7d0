// The recognised lines of a text recognition reply (command 云_返回识别文字).
#ifndef SORVANEL_CLIENT_TEXT_EXTRACTION_H_
#define SORVANEL_CLIENT_TEXT_EXTRACTION_H_

#include "encoding/text.h"

namespace sorvanel {

// The "words" of every entry of the reply's "words_result" array, each exactly as
// recognised and ended by CR LF. Runs of line breaks are collapsed as
// CollapseLineBreaks does: an entry without "words" adds no line, except that entries
// without "words" at the very start leave one leading CR LF; an entry whose "words" is
// the empty text gives an empty line. Line breaks inside a recognised line are part of
// the line and are never collapsed. A "words" value that is not a text comes out as
// its compact JSON text, quotes included: a number as its digits, true, null, an array
// ["a","b"] or an object {"k":"v"} as written there. Only a text loses its quotes (and
// its escapes), since only texts are recognised lines.
// Neutral result: the empty text for an empty reply, one that is not JSON, or one
// without entries (the service's error replies). No network; safe on any thread.
Text ExtractRecognizedText(const Text& reply);

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_TEXT_EXTRACTION_H_
