// The parts of an address that a request connects to: its host, its port and the
// object name it asks for, as WebRequest reads them.
//
// Pure functions of their arguments, safe on any thread. Neutral result: the empty text
// for an address without a host; UrlPort always gives a port.
#ifndef SORVANEL_WEB_URL_PARTS_H_
#define SORVANEL_WEB_URL_PARTS_H_

#include "encoding/text.h"

namespace sorvanel {

// The host of an address in lower case ("HTTPS://Server:8443/a" gives "server"), with
// its colon and port when keepPort is on and the address has them ("server:8443").
// An address without a scheme is taken as http. A bracketed IPv6 host keeps its colons
// ("[::1]"). The empty text when the address has no host.
Text UrlHost(const Text& url, bool keepPort);

// The port of an address: the decimal number after the host's colon (leading blanks and
// a sign allowed, reading stops at the first non-digit, no digits give 0), else 443 for
// an "https://" address and 80 for any other.
int UrlPort(const Text& url);

// The object name to request: the address from the first "/" after the host to its end,
// in the address's own letter case (path, query and anything after them), or "/" when
// the address has no path. "http://Server:8080/A/b.php?x=1#top" gives "/A/b.php?x=1#top".
Text UrlObject(const Text& url);

}  // namespace sorvanel

#endif  // SORVANEL_WEB_URL_PARTS_H_
