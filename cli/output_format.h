// How sorvanel-ocr writes what a picture gave: plain lines, or one JSON object a line.
//
// Everything written is UTF-8; the library's 936 texts are converted here, at the
// edge. A JSON line is {"picture": ..., "lines": [{"text": ...}, ...], "reply": ...,
// "error": ...}: "lines" holds one object per recognised line (with "probability" when
// the confidence values were asked for), "reply" the service's reply as compact JSON
// (a string when it was not JSON, null when there was none), and "error" is present
// only when the picture failed.
// Thread safety: pure functions of their arguments, safe on any thread.
// Neutral result: the empty list or the empty output for a reply without lines.
#ifndef SORVANEL_CLI_OUTPUT_FORMAT_H_
#define SORVANEL_CLI_OUTPUT_FORMAT_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/service_reply.h"
#include "encoding/text.h"
#include "json/json_object.h"

namespace sorvanel::cli {

struct RecognisedLine {
  Text text;             // as recognised (936)
  Text probabilityJson;  // the entry's "probability" as JSON text, empty when absent
};

// One line per entry of the reply's "words_result" that has "words", in order: a text
// as recognised, any other value as its JSON text (as ExtractRecognizedText reads
// them). With `withProbability` each line takes its entry's "probability".
std::vector<RecognisedLine> RecognisedLines(const JsonObject& reply, bool withProbability);

// The lines in UTF-8, each ended by LF.
std::string PlainLines(const std::vector<RecognisedLine>& lines);

// The JSON line of one picture, ended by LF. `error` is empty when it did not fail.
std::string JsonLine(std::string_view picture, const std::vector<RecognisedLine>& lines,
                     const ServiceReply* reply, std::string_view error);

// `utf8` as a JSON string, quotes included, appended to `out`.
void AppendJsonString(std::string& out, std::string_view utf8);

}  // namespace sorvanel::cli

#endif  // SORVANEL_CLI_OUTPUT_FORMAT_H_
