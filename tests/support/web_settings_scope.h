// Sets the web layer's settings for the life of a scope and puts the previous ones back
// at its end, so a test's short time limits or extra CA do not leak into other tests.
// Header-only; a test that uses it links sorvanel_web.
#ifndef SORVANEL_TESTS_SUPPORT_WEB_SETTINGS_SCOPE_H_
#define SORVANEL_TESTS_SUPPORT_WEB_SETTINGS_SCOPE_H_

#include "web/web_settings.h"

namespace sorvanel::test {

class WebSettingsScope {
 public:
  explicit WebSettingsScope(const WebSettings& settings) : previous_(GetWebSettings()) {
    SetWebSettings(settings);
  }
  ~WebSettingsScope() { SetWebSettings(previous_); }
  WebSettingsScope(const WebSettingsScope&) = delete;
  WebSettingsScope& operator=(const WebSettingsScope&) = delete;

 private:
  WebSettings previous_;
};

}  // namespace sorvanel::test

#endif  // SORVANEL_TESTS_SUPPORT_WEB_SETTINGS_SCOPE_H_
