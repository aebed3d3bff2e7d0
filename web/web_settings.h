// Process-wide settings of the web layer: the time limits of an exchange and the
// certificate trust. Every WebRequest reads them once, at its start, so a change affects
// the requests that start after it.
//
// Which settings win: the last call of SetWebSettings, whether the program made it or
// the client library's SetServiceConfig made it for the program. A program that calls
// SetWebSettings and never SetServiceConfig keeps its own settings: the client library
// then leaves them alone on its first request.
//
// Every routine is safe on any thread (the settings are guarded by a mutex).
#ifndef SORVANEL_WEB_WEB_SETTINGS_H_
#define SORVANEL_WEB_WEB_SETTINGS_H_

#include <chrono>
#include <string>

namespace sorvanel {

struct WebSettings {
  // Longest wait for a connection, name resolution, proxy tunnel and TLS handshake
  // included. A value of zero or less counts as the default.
  std::chrono::milliseconds connectTimeout{60000};
  // No byte for this long ends the exchange; the bytes received so far are returned.
  // The check runs about every second, so a limit takes effect within about a second of
  // running out. There is no limit on the whole exchange while bytes keep moving. A value
  // of zero or less counts as the default.
  std::chrono::milliseconds stallTimeout{60000};
  // One extra trusted CA file (PEM), for a local service with its own CA; empty = none.
  // The system's trust store is always trusted as well; certificates and host names are
  // always verified.
  std::string extraCaFile{};
};

// Replaces the settings for the requests that start from now on.
void SetWebSettings(const WebSettings& settings);

// A copy of the current settings (the defaults above until SetWebSettings is called).
WebSettings GetWebSettings();

// Whether SetWebSettings has been called in this process.
bool WebSettingsWereSet();

}  // namespace sorvanel

#endif  // SORVANEL_WEB_WEB_SETTINGS_H_
