#include "web/web_settings.h"

#include <mutex>

namespace sorvanel {

namespace {

std::mutex& SettingsMutex() {
  static std::mutex mutex;
  return mutex;
}

struct StoredSettings {
  WebSettings settings;
  bool set = false;
};

StoredSettings& Stored() {
  static StoredSettings stored;
  return stored;
}

}  // namespace

void SetWebSettings(const WebSettings& settings) {
  std::lock_guard lock(SettingsMutex());
  Stored().settings = settings;
  Stored().set = true;
}

WebSettings GetWebSettings() {
  std::lock_guard lock(SettingsMutex());
  return Stored().settings;
}

bool WebSettingsWereSet() {
  std::lock_guard lock(SettingsMutex());
  return Stored().set;
}

}  // namespace sorvanel
