// The cookie texts of the web layer: the cookies a reply sets, and the merge that lets a
// caller carry one cookie text from request to request.
//
// A cookie text is a list of items ("name=value", or any text without "=") joined by
// "; ", with no separator at the end; the empty text holds no cookies. Nothing is
// validated or stored: attributes (path, expiry, domain, flags) are dropped.
//
// Pure functions of their arguments, safe on any thread. Each returns a new Text that
// the caller owns; the inputs are not changed.
#ifndef SORVANEL_WEB_COOKIES_H_
#define SORVANEL_WEB_COOKIES_H_

#include "encoding/text.h"

namespace sorvanel {

// The name of a cookie item: its text before the first "=", trimmed, or the whole item
// trimmed when it has no "=".
Text CookieName(const Text& item);

// The cookie text of a reply header block (lines ended by CR LF, every "Set-Cookie"
// spelled so): for each line containing "Set-Cookie", in order, its first item, trimmed
// (the text between "Set-Cookie:" and the first ";", or the line without "Set-Cookie:"
// when it has no ";"). The empty text when no line sets a cookie.
Text ExtractReplyCookies(const Text& replyHeaders);

// The cookies of a reply merged into the ones that were sent: the reply's items first,
// in their order, then the sent items whose name the reply did not set (names compared
// exactly). Items ending in "=deleted" are dropped, and so is a sent item of that name;
// repeated identical items are kept once. Both texts are split at ";" and each item is
// trimmed.
Text MergeCookies(const Text& sentCookies, const Text& replyCookies);

}  // namespace sorvanel

#endif  // SORVANEL_WEB_COOKIES_H_
