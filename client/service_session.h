// INTERNAL to client/: not part of the library's interface. Only the sources of client/
// and its own tests and benchmarks include it; it changes with them.
//
// What every request does before it goes out, and how the service configuration
// reaches the web settings of the process.
//
// Every routine is safe on any thread. Neutral result: none fails.
#ifndef SORVANEL_CLIENT_SERVICE_SESSION_H_
#define SORVANEL_CLIENT_SERVICE_SESSION_H_

#include <string_view>

#include "client/service_config.h"
#include "encoding/text.h"

namespace sorvanel {

// Hands `config`'s CA file and time limits to the web settings of the process now; the
// first request then leaves them as they are. Called by SetServiceConfig.
void ApplyServiceWebSettings(const ServiceConfig& config);

// Hands the service configuration's CA file and time limits to the web settings of
// the process, once, unless SetServiceConfig already did or the program set web
// settings itself. Safe on any thread.
void EnsureServiceWebSettings();

// "https://" + the service host + path, after EnsureServiceWebSettings.
Text ServiceAddress(std::string_view path);

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_SERVICE_SESSION_H_
