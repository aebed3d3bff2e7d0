#include "client/service_session.h"

#include <mutex>

#include "web/web_settings.h"

namespace sorvanel {
namespace {

// Whether the web settings of the process have been decided yet. They are decided on
// the first request rather than at start-up, so that a program that never talks to the
// service leaves the web settings alone.
struct SessionState {
  std::mutex mutex;
  bool decided = false;
};

SessionState& State() {
  static SessionState state;
  return state;
}

void SetFrom(const ServiceConfig& config) {
  WebSettings settings = GetWebSettings();
  settings.connectTimeout = config.connectTimeout;
  settings.stallTimeout = config.stallTimeout;
  settings.extraCaFile = config.caFile;
  SetWebSettings(settings);
}

}  // namespace

void ApplyServiceWebSettings(const ServiceConfig& config) {
  SessionState& state = State();
  std::lock_guard lock(state.mutex);
  SetFrom(config);
  state.decided = true;
}

void EnsureServiceWebSettings() {
  // Read before the lock: SetServiceConfig holds its own lock while it takes this one.
  const ServiceConfig config = GetServiceConfig();
  SessionState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.decided) return;
  state.decided = true;
  // Web settings that the program set itself win over the build's configuration.
  if (!WebSettingsWereSet()) SetFrom(config);
}

Text ServiceAddress(std::string_view path) {
  EnsureServiceWebSettings();
  return Text("https://") + ServiceHost() + Text(path);
}

}  // namespace sorvanel
