#include "client/access_token.h"

#include "client/service_session.h"
#include "json/json_object.h"
#include "web/web_request.h"

namespace sorvanel {

Text FetchAccessToken(const Text& apiKey, const Text& secretKey) {
  const Text address = ServiceAddress("/oauth/2.0/token?");
  // The keys are ASCII letters and digits and go in unencoded.
  const Text body =
      Text("grant_type=client_credentials&client_id=") + apiKey + "&client_secret=" + secretKey;
  // The token reply is taken as it came: a token is ASCII, so no conversion is needed.
  const Text reply = WebRequest(address, 1, body).AsText();
  JsonObject json;
  json.Parse(reply);
  return json.GetGeneralProperty("access_token");
}

}  // namespace sorvanel
