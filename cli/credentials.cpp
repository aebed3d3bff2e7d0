#include "cli/credentials.h"

#include <cstdlib>

#include "client/service_keys.h"
#include "encoding/charset.h"

namespace sorvanel::cli {
namespace {

Text FromEnvironment(const char* name, const char* builtIn) {
  const char* value = std::getenv(name);
  // The environment is UTF-8 like the terminal; keys are ASCII, so nothing is lost.
  return value != nullptr && *value != '\0' ? Utf8ToGbk(Text(value)) : Text(builtIn);
}

}  // namespace

Credentials CredentialsFromEnvironment() {
  return {FromEnvironment("SORVANEL_API_KEY", ApiKey),
          FromEnvironment("SORVANEL_SECRET_KEY", SecretKey)};
}

}  // namespace sorvanel::cli
