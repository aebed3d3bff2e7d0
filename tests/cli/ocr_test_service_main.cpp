// The loopback test recognition service as a program of its own, for trying
// sorvanel-ocr by hand (the README's examples). Prints, as shell assignments, where it
// listens and which CA file to trust, then serves until interrupted or terminated.
#include <signal.h>

#include <cstdio>

#include "tests/cli/ocr_test_service.h"

int main() {
  // Block the stop signals before any thread starts, so that every thread inherits the
  // mask and sigwait below receives them.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);
  {
    sorvanel::test::OcrTestService service;
    if (!service.ok()) {
      std::fprintf(stderr, "ocr_test_service: cannot start\n");
      return 1;
    }
    std::printf("SERVICE_HOST=%s\nSERVICE_CA=%s\n", service.host().c_str(),
                service.caFile().c_str());
    std::fflush(stdout);
    int received = 0;
    sigwait(&stop, &received);
  }
  return 0;  // the certificates' folder is removed on the way out
}
