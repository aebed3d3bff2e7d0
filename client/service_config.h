// Where the recognition service is and how the library reaches it.
//
// The service host, the extra trusted certificate authority and the two time limits of
// a web exchange are build configuration: CMake's SORVANEL_SERVICE_HOST and
// SORVANEL_SERVICE_CA_FILE give the defaults, and SetServiceConfig overrides them at run
// time (the tests point the library at a loopback service; the command-line front end
// takes them from its options).
//
// The configuration is process-wide and guarded by a mutex: every routine here is safe
// on any thread. A request already under way keeps the settings it started with.
#ifndef SORVANEL_CLIENT_SERVICE_CONFIG_H_
#define SORVANEL_CLIENT_SERVICE_CONFIG_H_

#include <chrono>
#include <string>

#include "encoding/text.h"

namespace sorvanel {

struct ServiceConfig {
  // Host name and optional port of the service, without scheme or path, e.g.
  // "ocr.example.test:8443". Every address is "https://" + host + a fixed path.
  Text host;
  // A PEM file of certificate authorities trusted besides the system's; empty for none.
  std::string caFile;
  // How long connecting may take, and how long an exchange may go without progress.
  std::chrono::milliseconds connectTimeout{60000};
  std::chrono::milliseconds stallTimeout{60000};
};

// The configuration the build was made with.
ServiceConfig DefaultServiceConfig();

// The configuration in force (a copy).
ServiceConfig GetServiceConfig();

// Replaces the configuration; an empty host selects the build's host. The web settings
// of the process (trusted CA file, time limits) are updated at once: the service
// configuration wins over what the program gave SetWebSettings before, and a later
// SetWebSettings wins over it. Without a call of SetServiceConfig the first request
// hands the build's configuration to the web settings only when the program has not
// set web settings itself.
void SetServiceConfig(const ServiceConfig& config);

// The host in force, e.g. for building an address.
Text ServiceHost();

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_SERVICE_CONFIG_H_
