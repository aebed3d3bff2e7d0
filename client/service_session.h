// Internal to the client library: what every request does before it goes out.
#ifndef SORVANEL_CLIENT_SERVICE_SESSION_H_
#define SORVANEL_CLIENT_SERVICE_SESSION_H_

#include <string_view>

#include "encoding/text.h"

namespace sorvanel {

// Hands the service configuration's CA file and time limits to the web settings of
// the process, once, unless SetServiceConfig already did or the program set web
// settings itself. Safe on any thread.
void EnsureServiceWebSettings();

// "https://" + the service host + path, after EnsureServiceWebSettings.
Text ServiceAddress(std::string_view path);

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_SERVICE_SESSION_H_
