// Test fixture: a loopback recognition service, a private folder for pictures, and
// sorvanel-ocr run as a process pointed at the service.
#ifndef SORVANEL_TESTS_CLI_CLI_FIXTURE_H_
#define SORVANEL_TESTS_CLI_CLI_FIXTURE_H_

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/cli/ocr_test_service.h"
#include "tests/cli/run_program.h"

namespace sorvanel::test {

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    service_ = std::make_unique<OcrTestService>();
    ASSERT_TRUE(service_->ok());
    std::string pattern = (std::filesystem::temp_directory_path() / "sorvanel-cli-XXXXXX");
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Writes a picture file (the service recognises its lines) and returns its path.
  std::string Picture(const std::string& name, const std::string& content) {
    const std::string path = folder_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  // The service options that point the program at `service`.
  static std::vector<std::string> ServiceArguments(const OcrTestService& service) {
    return {"--host", service.host(),    "--ca-file", service.caFile(), "--connect-timeout",
            "5",      "--stall-timeout", "5"};
  }

  // Runs sorvanel-ocr with the service options first, then `arguments`.
  ProgramResult Run(std::vector<std::string> arguments, ProgramRun run = {}) {
    run.arguments = ServiceArguments(*service_);
    run.arguments.insert(run.arguments.end(), arguments.begin(), arguments.end());
    return RunProgram(SORVANEL_OCR_PROGRAM, run);
  }

  std::unique_ptr<OcrTestService> service_;
  std::string folder_;
};

}  // namespace sorvanel::test

#endif  // SORVANEL_TESTS_CLI_CLI_FIXTURE_H_
