// Fuzz target for the reply routines of the client: ExtractRecognizedText,
// CollapseLineBreaks and IdCardStatus on arbitrary replies, and extraction of a reply
// built from the input's lines, which must give those lines back exactly.
//
// Input fields: a reply, then lines for the built reply.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "client/collapse_line_breaks.h"
#include "client/other_recognitions.h"
#include "client/text_extraction.h"
#include "fuzz/fuzz_input.h"

namespace sorvanel::fuzz {
namespace {

// Entries past this many only repeat the same work.
constexpr int kMaxLines = 32;

// The text without its line breaks: each CR and the byte after it.
std::string WithoutLineBreaks(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

void CheckCollapse(const Text& text) {
  const Text collapsed = CollapseLineBreaks(text);
  FUZZ_CHECK(collapsed.size() <= text.size());
  FUZZ_CHECK(WithoutLineBreaks(collapsed.view()) == WithoutLineBreaks(text.view()));
  FUZZ_CHECK(CollapseLineBreaks(collapsed) == collapsed);
}

// The line as a JSON string's content: quote, backslash and control bytes escaped.
std::string JsonEscaped(std::string_view line) {
  std::string out;
  for (const char c : line) {
    if (c == '"' || c == '\\') {
      out.append({'\\', c});
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    } else {
      out += c;
    }
  }
  return out;
}

bool IsAscii(std::string_view line) {
  for (const char c : line) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// A service reply holding the remaining fields as its lines. Lines with bytes beyond
// ASCII are left out: they need not read back byte for byte in 936.
void CheckBuiltReply(FuzzInput& input) {
  std::string reply = R"({"log_id":1,"words_result":[)";
  std::string expected;
  for (int i = 0; i < kMaxLines && !input.empty(); ++i) {
    const std::string_view line = input.NextField();
    if (!IsAscii(line)) continue;
    if (!expected.empty()) reply += ',';
    reply += R"({"location":{"top":1},"words":")" + JsonEscaped(line) + "\"}";
    expected.append(line).append("\r\n");
  }
  reply += "]}";
  FUZZ_CHECK(ExtractRecognizedText(Text(reply)).str() == expected);
}

}  // namespace

void FuzzOne(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const Text reply = input.NextText();
  ExtractRecognizedText(reply);
  IdCardStatus(reply);
  CheckCollapse(reply);
  CheckBuiltReply(input);
}

}  // namespace sorvanel::fuzz
