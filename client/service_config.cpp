#include "client/service_config.h"

#include <mutex>

#include "client/service_defaults.h"
#include "client/service_session.h"

namespace sorvanel {
namespace {

struct ConfigState {
  std::mutex mutex;
  ServiceConfig config = DefaultServiceConfig();
};

ConfigState& State() {
  static ConfigState state;
  return state;
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
  // Under the lock, so that the web settings follow the last of two calls at once.
  ApplyServiceWebSettings(state.config);
}

Text ServiceHost() { return GetServiceConfig().host; }

}  // namespace sorvanel
