// The access token that every recognition request carries (command 云_Access_Token).
#ifndef SORVANEL_CLIENT_ACCESS_TOKEN_H_
#define SORVANEL_CLIENT_ACCESS_TOKEN_H_

#include "encoding/text.h"

namespace sorvanel {

// Obtains a token from the service's OAuth endpoint with the client-credentials grant:
// posts "grant_type=client_credentials&client_id=" + apiKey + "&client_secret=" +
// secretKey (the keys inserted unchanged) to "https://" + service host +
// "/oauth/2.0/token?" and returns the text of the reply's "access_token" member, JSON
// escapes resolved. Nothing is cached: each call makes one request.
// Neutral result: the empty text when the exchange fails, the reply is not JSON or has
// no "access_token" (keys refused).
// Blocks for the exchange (bounded by the service configuration's time limits). Safe
// on any thread.
Text FetchAccessToken(const Text& apiKey, const Text& secretKey);

}  // namespace sorvanel

#endif  // SORVANEL_CLIENT_ACCESS_TOKEN_H_
