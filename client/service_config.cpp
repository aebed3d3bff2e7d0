#include "client/service_config.h"

#include <mutex>

#include "client/service_defaults.h"
#include "client/service_session.h"
#include "web/web_settings.h"

namespace sorvanel {
namespace {

struct ConfigState {
  std::mutex mutex;
  ServiceConfig config = DefaultServiceConfig();
  // Whether the web settings of the process have been decided yet. They are applied on
  // the first request rather than at start-up, so that a program that never talks to
  // the service leaves the web settings alone.
  bool applied = false;
};

ConfigState& State() {
  static ConfigState state;
  return state;
}

void ApplyLocked(const ServiceConfig& config) {
  WebSettings settings = GetWebSettings();
  settings.connectTimeout = config.connectTimeout;
  settings.stallTimeout = config.stallTimeout;
  settings.extraCaFile = config.caFile;
  SetWebSettings(settings);
}

}  // namespace

ServiceConfig DefaultServiceConfig() {
  ServiceConfig config;
  config.host = kDefaultServiceHost;
  config.caFile = kDefaultServiceCaFile;
  return config;
}

ServiceConfig GetServiceConfig() {
  ConfigState& state = State();
  std::lock_guard lock(state.mutex);
  return state.config;
}

void SetServiceConfig(const ServiceConfig& config) {
  ConfigState& state = State();
  std::lock_guard lock(state.mutex);
  state.config = config;
  if (state.config.host.empty()) state.config.host = kDefaultServiceHost;
  ApplyLocked(state.config);
  state.applied = true;
}

Text ServiceHost() { return GetServiceConfig().host; }

void EnsureServiceWebSettings() {
  ConfigState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.applied) return;
  state.applied = true;
  // Web settings that the program set itself win over the build's configuration.
  if (!WebSettingsWereSet()) ApplyLocked(state.config);
}

Text ServiceAddress(std::string_view path) {
  EnsureServiceWebSettings();
  return Text("https://") + ServiceHost() + Text(path);
}

}  // namespace sorvanel
