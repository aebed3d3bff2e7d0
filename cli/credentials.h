// The key pair that sorvanel-ocr presents to the service.
//
// Keys come from the environment variables SORVANEL_API_KEY and SORVANEL_SECRET_KEY,
// each falling back to the key the program was built with. They are never taken from
// the command line, where every user of the machine could read them in the process
// list.
// Thread safety: reads the environment; call before starting threads.
// Neutral result: the build's keys, when the environment sets none.
#ifndef SORVANEL_CLI_CREDENTIALS_H_
#define SORVANEL_CLI_CREDENTIALS_H_

#include "encoding/text.h"

namespace sorvanel::cli {

struct Credentials {
  Text apiKey;
  Text secretKey;
};

// The keys in force. A variable that is set but empty counts as not set.
Credentials CredentialsFromEnvironment();

}  // namespace sorvanel::cli

#endif  // SORVANEL_CLI_CREDENTIALS_H_
