#include "encoding/charset.h"

#include <string>

namespace sorvanel {

namespace {

unsigned char HexValue(unsigned char b) {
  // Deliberately no validation: this is the rule the service's clients have always
  // used, so any two bytes after "%" decode to something.
  return b <= '9' ? static_cast<unsigned char>(b - 0x30)
                  : static_cast<unsigned char>((b & 0xDF) - 0x37);
}

}  // namespace

void PercentDecode(ByteSet& bytes) {
  std::string& data = bytes.bytes();
  const std::size_t size = data.size();
  std::size_t write = 0;
  for (std::size_t read = 0; read < size; ++read) {
    unsigned char c = data[read];
    if (c == 0) break;
    if (c == '%' && read + 2 < size) {
      const unsigned char high = HexValue(data[read + 1]);
      const unsigned char low = HexValue(data[read + 2]);
      c = static_cast<unsigned char>(static_cast<unsigned char>(high << 4) | low);
      read += 2;
    }
    data[write++] = static_cast<char>(c);
  }
  data.resize(write);
}

Text ConvertCharset(const Text& text, bool fromUtf8) {
  if (text.empty()) return Text();
  ByteSet working = ByteSet::FromText(text);
  PercentDecode(working);
  Text decoded = working.AsText();
  return fromUtf8 ? Utf8ToGbk(decoded) : decoded;
}

Text Utf8ToGbk(const Text& utf8) {
  return Text(ConvertCodePage(utf8.view(), kUtf8CodePage, kGbkCodePage));
}

ByteSet AnsiToUtf8(const Text& text) {
  return ByteSet(ConvertCodePage(text.view(), kAnsiCodePage, kUtf8CodePage));
}

ByteSet ToUtf16(const Text& text, int codePage) {
  std::u16string units = CodePageToUtf16(text.view(), codePage);
  std::string bytes;
  bytes.reserve((units.size() + 1) * 2);
  for (char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  bytes.append(2, '\0');
  return ByteSet(std::move(bytes));
}

Text FromUtf16(const ByteSet& units, int codePage) {
  std::u16string decoded;
  const unsigned char* data = units.data();
  for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) break;
    decoded.push_back(unit);
  }
  return Text(Utf16ToCodePage(decoded, codePage));
}

}  // namespace sorvanel
