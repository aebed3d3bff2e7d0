#include "web/web_settings.h"

#include <mutex>

namespace sorvanel {

namespace {

std::mutex& SettingsMutex() {
  static std::mutex mutex;
  return mutex;
}

WebSettings& StoredSettings() {
  static WebSettings settings;
  return settings;
}

}  // namespace

void SetWebSettings(const WebSettings& settings) {
  std::lock_guard lock(SettingsMutex());
  StoredSettings() = settings;
}

WebSettings GetWebSettings() {
  std::lock_guard lock(SettingsMutex());
  return StoredSettings();
}

}  // namespace sorvanel
