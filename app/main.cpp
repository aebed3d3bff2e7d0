// The program entry of the window `sorvanel`.
//
// Two environment variables point the window at another recognition service than the
// build's (the end-to-end tests use them for their loopback service):
//   SORVANEL_SERVICE_HOST     host and optional port, e.g. 127.0.0.1:8443
//   SORVANEL_SERVICE_CA_FILE  a PEM file of certificate authorities to trust besides
//                             the system's
// Unset or empty, the build's settings stay. The program takes no arguments of its own
// and ends with exit code 0 when the window is closed.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/access_token_keeper.h"
#include "app/main_window.h"
#include "app/recognition_worker.h"
#include "client/service_config.h"
#include "client/service_keys.h"

namespace {

std::shared_ptr<sorvanel::AccessTokenKeeper> accessToken;

// The exit routine: frees the access token.
void ReleaseAccessToken() {
  if (accessToken) accessToken->Release();
}

void ApplyServiceEnvironment() {
  sorvanel::ServiceConfig config = sorvanel::GetServiceConfig();
  const char* host = std::getenv("SORVANEL_SERVICE_HOST");
  const char* caFile = std::getenv("SORVANEL_SERVICE_CA_FILE");
  if (host && *host) config.host = sorvanel::Text(host);
  if (caFile && *caFile) config.caFile = caFile;
  sorvanel::SetServiceConfig(config);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  ApplyServiceEnvironment();
  accessToken =
      std::make_shared<sorvanel::AccessTokenKeeper>(sorvanel::ApiKey, sorvanel::SecretKey);
  qAddPostRoutine(ReleaseAccessToken);
  int exitCode = 0;
  {
    sorvanel::MainWindow window(accessToken);
    window.show();
    exitCode = QApplication::exec();
  }
  if (sorvanel::RecognitionWorker::AbandonedRunning() > 0) {
    // A request was still under way at close. Its thread ends by itself within the web
    // limits; the program does not wait for it, and ends before the process-wide state
    // that the thread may still touch is torn down.
    ReleaseAccessToken();
    std::fflush(nullptr);
    std::_Exit(exitCode);
  }
  return exitCode;
}
