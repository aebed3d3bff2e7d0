// sorvanel-ocr with several pictures in flight (--jobs) and its progress display.
#include <chrono>

#include "tests/cli/cli_fixture.h"

namespace sorvanel::test {
namespace {

TEST_F(CliTest, JobsKeepTheOrderGiven) {
  // The first pictures answer last, so the replies arrive out of order.
  std::vector<std::string> arguments = {"--jobs", "4"};
  std::string expected;
  for (int i = 0; i < 8; ++i) {
    const std::string number = std::to_string(i);
    const std::string line = std::string("picture ").append(number);
    std::string content = std::string("SLEEP ").append(std::to_string((8 - i) * 20));
    content.append("\n").append(line).append("\nsecond of ").append(line);
    arguments.push_back(Picture(std::string("p").append(number).append(".png"), content));
    expected += line + "\nsecond of " + line + "\n";
  }
  arguments.insert(arguments.begin() + 5, "missing.png");
  arguments.push_back("--json");
  ProgramResult result = Run(arguments);
  EXPECT_EQ(result.exitStatus, 4);
  std::vector<std::string> pictures;
  std::istringstream stream(result.out);
  for (std::string line; std::getline(stream, line);) {
    pictures.push_back(line.substr(0, line.find("\",\"lines\"")));
  }
  ASSERT_EQ(pictures.size(), 9u) << result.out;
  EXPECT_NE(pictures[3].find("missing.png"), std::string::npos);
  EXPECT_NE(pictures[8].find("p7.png"), std::string::npos);

  arguments.pop_back();
  arguments.erase(arguments.begin() + 5);
  result = Run(arguments);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.out, expected);
}

TEST_F(CliTest, JobsTellEachFailureOnce) {
  const std::string error = Picture("e.png", "ERROR");
  const std::string text = Picture("t.png", "SLEEP 50\ntext");
  const ProgramResult result = Run({"-j", "3", error, text, error, text});
  EXPECT_EQ(result.exitStatus, 3);
  EXPECT_EQ(result.out, "text\ntext\n");
  const std::string message =
      "sorvanel-ocr: " + error + ": service error 216201: image format error\n";
  EXPECT_EQ(result.err, message + message);
}

TEST_F(CliTest, ProgressShowsOnlyOnATerminal) {
  const std::string a = Picture("a.png", "one");
  const std::string b = Picture("b.png", "ERROR");
  ProgramRun terminal;
  terminal.terminalError = true;
  ProgramResult result = Run({a, b, a}, terminal);
  EXPECT_EQ(result.exitStatus, 3);
  EXPECT_EQ(result.out, "one\none\n");
  EXPECT_NE(result.err.find("sorvanel-ocr: 3/3 pictures, "), std::string::npos) << result.err;
  // The message stands on a line of its own, and the display is cleared at the end.
  EXPECT_NE(result.err.find("\r\x1b[Ksorvanel-ocr: " + b + ": service error"), std::string::npos);
  EXPECT_EQ(result.err.substr(result.err.size() - 4), "\r\x1b[K");

  // Not on a pipe, and not for a single picture.
  result = Run({a, b, a});
  EXPECT_EQ(result.err.find("pictures, "), std::string::npos);
  EXPECT_EQ(result.err.find('\r'), std::string::npos);
  result = Run({a}, terminal);
  EXPECT_EQ(result.err, "");
}

}  // namespace
}  // namespace sorvanel::test
