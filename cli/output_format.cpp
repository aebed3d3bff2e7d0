#include "cli/output_format.h"

#include "encoding/charset.h"
#include "encoding/text_ops.h"

namespace sorvanel::cli {
namespace {

std::string Utf8(const Text& text) { return AnsiToUtf8(text).bytes(); }

}  // namespace

std::vector<RecognisedLine> RecognisedLines(const JsonObject& reply, bool withProbability) {
  std::vector<RecognisedLine> lines;
  const int count = reply.MemberCount("words_result");
  for (int i = 0; i < count; ++i) {
    const Text entry = Text("words_result[") + NumberToText(i) + "]";
    const Text words = reply.GetPropertyObject(entry + ".words");
    if (words.empty()) continue;  // an entry without words is no line
    RecognisedLine line;
    line.text = words.view().front() == '"' ? reply.GetGeneralProperty(entry + ".words") : words;
    if (withProbability) line.probabilityJson = reply.GetPropertyObject(entry + ".probability");
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string PlainLines(const std::vector<RecognisedLine>& lines) {
  std::string out;
  for (const RecognisedLine& line : lines) out += Utf8(line.text) + "\n";
  return out;
}

void AppendJsonString(std::string& out, std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 0x0F];
    } else {
      out += c;
    }
  }
  out += '"';
}

std::string JsonLine(std::string_view picture, const std::vector<RecognisedLine>& lines,
                     const ServiceReply* reply, std::string_view error) {
  std::string out = "{\"picture\":";
  AppendJsonString(out, picture);
  out += ",\"lines\":[";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += ',';
    out += "{\"text\":";
    AppendJsonString(out, Utf8(lines[i].text));
    if (!lines[i].probabilityJson.empty())
      out += ",\"probability\":" + Utf8(lines[i].probabilityJson);
    out += '}';
  }
  out += "],\"reply\":";
  if (std::optional<std::string> compact = reply ? CompactReply(*reply) : std::nullopt) {
    out += *compact;
  } else if (reply != nullptr && !reply->text.empty()) {
    AppendJsonString(out, Utf8(reply->text));
  } else {
    out += "null";
  }
  if (!error.empty()) {
    out += ",\"error\":";
    AppendJsonString(out, error);
  }
  out += "}\n";
  return out;
}

}  // namespace sorvanel::cli
