#include "client/collapse_line_breaks.h"

#include <string>
#include <string_view>

namespace sorvanel {

Text CollapseLineBreaks(const Text& text) {
  const std::string_view in = text.view();
  std::string out;
  out.reserve(in.size());
  // After a line break has been written, further line breaks are dropped until some
  // other byte comes.
  bool skipping = false;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const char b = in[i];
    if (b != '\r') {
      out += b;
      skipping = false;
      continue;
    }
    const bool hasNext = i + 1 < in.size();
    if (!skipping) {
      out += b;
      if (hasNext) out += in[i + 1];
      skipping = true;
    }
    if (hasNext) ++i;  // the byte after a CR belongs to the line break
  }
  return Text::Adopt(std::move(out));
}

}  // namespace sorvanel
