#include <gtest/gtest.h>

#include "client/id_card_status.h"

namespace sorvanel {
namespace {

TEST(IdCardStatusTest, ReadsTheStatusOnlyWhenWrittenWithOneBlank) {
  struct Case {
    const char* name;
    const char* reply;
    const char* status;
  };
  const Case cases[] = {
      {"one blank each", R"({"log_id": 1, "image_status": "normal", "words_result_num": 6})",
       "normal"},
      {"reversed side", R"({"image_status": "reversed_side", "idcard_number_type": 1})",
       "reversed_side"},
      {"compact", R"({"log_id":1,"image_status":"normal","words_result_num":6})", ""},
      {"last member", R"({"log_id": 1, "image_status": "normal"})", ""},
      {"no status", R"({"error_code": 110, "error_msg": "Access token invalid"})", ""},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IdCardStatus(c.reply).str(), std::string(c.status)) << c.name;
  }
}

}  // namespace
}  // namespace sorvanel
