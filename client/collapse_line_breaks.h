// Collapsing runs of line breaks in recognised text.
// Pure function, safe on any thread.
#ifndef SORVANEL_CLIENT_COLLAPSE_LINE_BREAKS_H_
#define SORVANEL_CLIENT_COLLAPSE_LINE_BREAKS_H_

#include "encoding/text.h"

namespace sorvanel {

// The text with every run of consecutive line breaks reduced to its first one. A line
// break is a CR and the byte after it, whatever that byte is (CR LF in practice). A
// leading line break stays (one), and so does a final one; a lone CR at the very end
// stays. No byte other than a CR and the byte after it is dropped, none is changed.
// The empty text gives the empty text.
Text CollapseLineBreaks(const Text& text);

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_COLLAPSE_LINE_BREAKS_H_
