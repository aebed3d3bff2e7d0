// The window end to end, as a person uses it: the real program `sorvanel` on its own
// Xvfb display, pointed at a loopback HTTPS recognition service, with real drags made
// by a second program of ours (sorvanel_drag_source) and driven by xdotool. The edit
// box is read back through the clipboard (click, Ctrl+A, Ctrl+C).
//
// Every child process is ended when its test ends; every wait has a limit.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/app/recognition_service.h"

extern char** environ;

namespace sorvanel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A child process with extra environment variables and its output in a file; ended
// (SIGTERM, then SIGKILL) when the object goes.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
        const std::string& outputFile = "/dev/null") {
    std::vector<std::string> environment = env;
    for (char** e = environ; *e; ++e) environment.emplace_back(*e);  // earlier ones win
    std::vector<char*> args, envp;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Child() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    if (!Wait(3s)) {
      kill(pid_, SIGKILL);
      Wait(3s);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }
  // Waits up to `limit` for the process to end; its exit status is then status().
  bool Wait(std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (pid_ > 0) {
      int status = 0;
      const pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        status_ = status;
        pid_ = -1;
        return true;
      }
      if (done < 0 || Clock::now() > end) return false;
      std::this_thread::sleep_for(20ms);
    }
    return true;
  }
  int status() const { return status_; }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

// Runs a tool to its end (at most 15 s) and returns what it printed; nullopt-like
// empty result with ok=false when it failed or timed out.
struct ToolResult {
  bool ok = false;
  std::string output;
};
ToolResult RunTool(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  char pattern[] = "/tmp/sorvanel-e2e-out-XXXXXX";
  const int fd = mkstemp(pattern);
  if (fd < 0) return {};
  close(fd);
  ToolResult result;
  {
    Child tool(argv, env, pattern);
    if (tool.started() && tool.Wait(15s))
      result.ok = WIFEXITED(tool.status()) && WEXITSTATUS(tool.status()) == 0;
  }
  std::ifstream in(pattern, std::ios::binary);
  result.output.assign(std::istreambuf_iterator<char>(in), {});
  unlink(pattern);
  return result;
}

std::string Trim(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Xvfb on a display number it picks itself.
class Display {
 public:
  Display() {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    std::vector<std::string> argv = {"Xvfb",        "-displayfd", fd,    "-screen", "0",
                                     "1024x768x24", "-nolisten",  "tcp", "-noreset"};
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    // Xvfb writes the display number once it accepts connections.
    pollfd ready{fds[0], POLLIN, 0};
    std::string number;
    char c = 0;
    while (pid_ > 0 && poll(&ready, 1, 15000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n')
      number += c;
    close(fds[0]);
    if (!number.empty()) name_ = ":" + number;
  }
  ~Display() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
};

std::string BuildDir() { return SORVANEL_E2E_BUILD_DIR; }

class WindowEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    display_ = new Display();
    char runtime[] = "/tmp/sorvanel-e2e-runtime-XXXXXX";  // Qt wants a private one
    if (mkdtemp(runtime)) runtimeDir_ = runtime;
    service_ = new test::RecognitionService();
    service_->AddPicture("picture one", {"first line", "second line"});
    service_->AddPicture("picture two", {"only line"});
    service_->AddPicture("picture invoice", {"增值税普通发票", "发票号码 12345678",
                                             "开票日期 2026年12月11日", "合计 ￥128.00"});
    service_->AddPicture("a slow picture", {"slow line"}, 3s);
    service_->AddPicture("a very slow picture", {"never shown"}, 60s);
    one_ = test::RecognitionService::WriteFile("one.png", "picture one");
    two_ = test::RecognitionService::WriteFile("two.png", "picture two");
    invoice_ = test::RecognitionService::WriteFile("发票.png", "picture invoice");
    slow_ = test::RecognitionService::WriteFile("slow.png", "a slow picture");
    verySlow_ = test::RecognitionService::WriteFile("very-slow.png", "a very slow picture");
  }
  static void TearDownTestSuite() {
    delete service_;
    delete display_;
    if (!runtimeDir_.empty()) rmdir(runtimeDir_.c_str());
  }

  void SetUp() override {
    ASSERT_FALSE(display_->name().empty()) << "Xvfb did not start";
    ASSERT_TRUE(service_->ok());
  }

  void TearDown() override {
    source_.reset();
    window_.reset();
    if (!sourceOutput_.empty()) unlink(sourceOutput_.c_str());
  }

  std::vector<std::string> Env() const {
    return {"DISPLAY=" + display_->name(),
            "QT_QPA_PLATFORM=xcb",
            "XDG_RUNTIME_DIR=" + runtimeDir_,
            "LSAN_OPTIONS=suppressions=" SORVANEL_E2E_SOURCE_DIR "/lsan_qt.supp",
            "SORVANEL_SERVICE_HOST=" + service_->host(),
            "SORVANEL_SERVICE_CA_FILE=" + service_->caFile()};
  }

  ToolResult Tool(std::vector<std::string> argv) const { return RunTool(argv, Env()); }
  bool Xdo(const std::vector<std::string>& args) const {
    std::vector<std::string> argv = {"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return Tool(argv).ok;
  }

  // The id of the visible window of this title, waiting for it to appear.
  std::string FindWindow(const std::string& title) const {
    const auto end = Clock::now() + 15s;
    while (Clock::now() < end) {
      const ToolResult found = Tool({"xdotool", "search", "--onlyvisible", "--name", title});
      std::string id = found.output.substr(0, found.output.find('\n'));
      if (found.ok && !id.empty()) return id;
      std::this_thread::sleep_for(100ms);
    }
    return "";
  }

  // Starts the window and waits until its start-up token request has been answered.
  void StartWindow() {
    const int tokens = service_->TokenRequests();
    window_ =
        std::make_unique<Child>(std::vector<std::string>{BuildDir() + "/app/sorvanel"}, Env());
    ASSERT_TRUE(window_->started());
    windowId_ = FindWindow("^Sorvanel$");
    ASSERT_FALSE(windowId_.empty());
    const ToolResult geometry = Tool({"xdotool", "getwindowgeometry", "--shell", windowId_});
    ASSERT_TRUE(geometry.ok);
    std::istringstream lines(geometry.output);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("X=", 0) == 0) boxX_ = std::stoi(line.substr(2)) + 4 + 437 / 2;
      if (line.rfind("Y=", 0) == 0) boxY_ = std::stoi(line.substr(2)) + 5 + 436 / 2;
    }
    const auto end = Clock::now() + 15s;
    while (service_->TokenRequests() == tokens && Clock::now() < end)
      std::this_thread::sleep_for(50ms);
    ASSERT_GT(service_->TokenRequests(), tokens);
    std::this_thread::sleep_for(1s);  // the reply's way back to the GUI thread
  }

  // Starts the drag source with these arguments, in place of any earlier one.
  void StartSource(std::vector<std::string> args) {
    source_.reset();
    sourceOutput_ = "/tmp/sorvanel-e2e-source-" + std::to_string(getpid());
    args.insert(args.begin(), BuildDir() + "/tests/app/sorvanel_drag_source");
    source_ = std::make_unique<Child>(args, Env(), sourceOutput_);
    ASSERT_TRUE(source_->started());
    ASSERT_FALSE(FindWindow("^Sorvanel drag source$").empty());
  }

  // Presses the mouse on the drag source, moves over the edit box with `keys` held
  // ("ctrl", "shift", "ctrl+shift" or ""), releases, and returns the effect that the
  // drag source reports ("copy", "move", "link", "none"; "" when it reported nothing).
  std::string Drag(const std::string& keys) const {
    const std::size_t before = ReadFile(sourceOutput_).size();
    std::vector<std::string> held;
    std::istringstream split(keys);
    for (std::string key; std::getline(split, key, '+');) held.push_back(key);
    for (const std::string& key : held) Xdo({"keydown", key});
    Xdo({"mousemove", "120", "70", "mousedown", "1"});
    for (int step = 1; step <= 6; ++step) {
      Xdo({"mousemove", std::to_string(120 + (boxX_ - 120) * step / 6),
           std::to_string(70 + (boxY_ - 70) * step / 6)});
      std::this_thread::sleep_for(80ms);
    }
    std::this_thread::sleep_for(200ms);
    Xdo({"mouseup", "1"});
    for (auto k = held.rbegin(); k != held.rend(); ++k) Xdo({"keyup", *k});
    const auto end = Clock::now() + 10s;
    while (Clock::now() < end) {
      const std::string output = ReadFile(sourceOutput_);
      const std::size_t line = output.find("drop: ", before);
      if (line != std::string::npos && output.find('\n', line) != std::string::npos)
        return Trim(output.substr(line + 6, output.find('\n', line) - line - 6));
      std::this_thread::sleep_for(50ms);
    }
    return "";
  }

  // The edit box's content, copied to the clipboard as a person would.
  std::string Content() const {
    Xdo({"mousemove", std::to_string(boxX_), std::to_string(boxY_), "click", "1"});
    Xdo({"key", "ctrl+a", "ctrl+c"});
    return Tool({BuildDir() + "/tests/app/sorvanel_x_helper", "clipboard"}).output;
  }

  // Waits until the edit box shows `expected`; returns what it showed last.
  std::string WaitForContent(const std::string& expected) const {
    std::string seen;
    const auto end = Clock::now() + 15s;
    while (Clock::now() < end) {
      seen = Content();
      if (seen == expected) break;
      std::this_thread::sleep_for(200ms);
    }
    return seen;
  }

  static inline Display* display_ = nullptr;
  static inline test::RecognitionService* service_ = nullptr;
  static inline std::string runtimeDir_;
  static inline std::string one_, two_, invoice_, slow_, verySlow_;
  std::unique_ptr<Child> window_;
  std::unique_ptr<Child> source_;
  std::string windowId_, sourceOutput_;
  int boxX_ = 0, boxY_ = 0;
};

TEST_F(WindowEndToEnd, PicturesReplaceTheContentAndTypedTextIsLost) {
  StartWindow();
  StartSource({"--files", one_});
  EXPECT_EQ(Drag(""), "copy");
  EXPECT_EQ(WaitForContent("first line\nsecond line\n"), "first line\nsecond line\n");
  // Content() left everything selected: click to put the caret back, then type at the end.
  Xdo({"mousemove", std::to_string(boxX_), std::to_string(boxY_), "click", "1"});
  Xdo({"key", "ctrl+End"});
  Xdo({"type", "typed by hand"});
  EXPECT_EQ(Content(), "first line\nsecond line\ntyped by hand");
  StartSource({"--files", two_});
  EXPECT_EQ(Drag(""), "copy");
  EXPECT_EQ(WaitForContent("only line\n"), "only line\n");
}

TEST_F(WindowEndToEnd, KeysDecideTheEffect) {
  StartWindow();
  StartSource({"--files", one_});
  // Each delivered drop makes one recognition; the refused one makes none.
  const struct {
    const char* keys;
    const char* effect;
  } rows[] = {{"", "copy"}, {"ctrl", "copy"}, {"shift", "move"}, {"ctrl+shift", "none"}};
  for (const auto& row : rows) {
    const std::size_t before = service_->Recognitions().size();
    EXPECT_EQ(Drag(row.keys), row.effect) << "keys: " << row.keys;
    const bool delivered = std::string(row.effect) != "none";
    const auto end = Clock::now() + 10s;
    while (delivered && service_->Recognitions().size() == before && Clock::now() < end)
      std::this_thread::sleep_for(50ms);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(service_->Recognitions().size(), before + (delivered ? 1 : 0)) << row.keys;
  }
}

TEST_F(WindowEndToEnd, SourceWithoutCopyIsOfferedMove) {
  StartWindow();
  StartSource({"--actions", "move,link", "--files", two_});
  EXPECT_EQ(Drag(""), "move");
  EXPECT_EQ(WaitForContent("only line\n"), "only line\n");
}

TEST_F(WindowEndToEnd, TextAndLinkDragsAreRefused) {
  StartWindow();
  const std::size_t before = service_->Recognitions().size();
  StartSource({"--text", "some selected words"});
  EXPECT_EQ(Drag(""), "none");
  StartSource({"--url", "https://127.0.0.1/picture.png"});
  EXPECT_EQ(Drag(""), "none");
  EXPECT_EQ(service_->Recognitions().size(), before);
  EXPECT_EQ(Content(), "");
}

TEST_F(WindowEndToEnd, TwoFilesInTheirOrder) {
  StartWindow();
  StartSource({"--files", two_, one_});
  EXPECT_EQ(Drag(""), "copy");
  const std::string expected = "only line\nfirst line\nsecond line\n";
  EXPECT_EQ(WaitForContent(expected), expected);
}

// Also takes a screenshot of the whole screen, kept at $SORVANEL_E2E_SCREENSHOT when
// that is set (the README's picture is made this way).
TEST_F(WindowEndToEnd, ChineseFileName) {
  StartWindow();
  StartSource({"--files", invoice_});
  EXPECT_EQ(Drag(""), "copy");
  const std::string expected =
      "增值税普通发票\n发票号码 12345678\n开票日期 2026年12月11日\n合计 ￥128.00\n";
  EXPECT_EQ(WaitForContent(expected), expected);
  const char* keep = std::getenv("SORVANEL_E2E_SCREENSHOT");
  const std::string shot = keep && *keep
                               ? std::string(keep)
                               : "/tmp/sorvanel-e2e-screen-" + std::to_string(getpid()) + ".png";
  // A click below the text ends the selection that reading the box made.
  Xdo({"mousemove", std::to_string(boxX_), std::to_string(boxY_), "click", "1"});
  EXPECT_TRUE(Tool({"import", "-window", "root", shot}).ok);
  if (!(keep && *keep)) unlink(shot.c_str());
}

TEST_F(WindowEndToEnd, TokenFetchedAgainAfterAFailedStart) {
  service_->RefuseTokens(1);
  const int tokens = service_->TokenRequests();
  StartWindow();
  StartSource({"--files", one_});
  EXPECT_EQ(Drag(""), "copy");
  EXPECT_EQ(WaitForContent("first line\nsecond line\n"), "first line\nsecond line\n");
  EXPECT_EQ(service_->TokenRequests(), tokens + 2);
}

// Whether the box's pixels (their darkest grey, 1 for white) show any writing.
bool BoxHasInk(const ToolResult& minimum) { return minimum.ok && Trim(minimum.output) != "1"; }

TEST_F(WindowEndToEnd, WindowRepaintsAndRefusesDropsDuringASlowReply) {
  StartWindow();
  StartSource({"--files", slow_});
  const std::size_t before = service_->Recognitions().size();
  EXPECT_EQ(Drag(""), "copy");
  // While the reply is awaited, typing shows up in the box (it is painted) ...
  Xdo({"mousemove", std::to_string(boxX_), std::to_string(boxY_), "click", "1"});
  Xdo({"type", "WWWW"});
  const std::string shot = "/tmp/sorvanel-e2e-shot-" + std::to_string(getpid()) + ".png";
  ASSERT_TRUE(Tool({"import", "-window", windowId_, shot}).ok);
  EXPECT_TRUE(BoxHasInk(Tool({"convert", shot, "-crop", "200x40+8+8", "-colorspace", "Gray",
                              "-format", "%[fx:minima]", "info:"})));
  unlink(shot.c_str());
  EXPECT_EQ(Content(), "WWWW");
  // ... and a second drop is refused until the result is shown.
  EXPECT_EQ(Drag(""), "none");
  EXPECT_EQ(WaitForContent("slow line\n"), "slow line\n");
  EXPECT_EQ(service_->Recognitions().size(), before + 1);
}

TEST_F(WindowEndToEnd, ClosingEndsWithExitCodeZero) {
  StartWindow();
  StartSource({"--files", two_});
  EXPECT_EQ(Drag(""), "copy");
  EXPECT_EQ(WaitForContent("only line\n"), "only line\n");
  ASSERT_TRUE(Tool({BuildDir() + "/tests/app/sorvanel_x_helper", "close", windowId_}).ok);
  ASSERT_TRUE(window_->Wait(10s));
  ASSERT_TRUE(WIFEXITED(window_->status()));
  EXPECT_EQ(WEXITSTATUS(window_->status()), 0);
}

TEST_F(WindowEndToEnd, ClosingDuringARequestEndsAtOnceWithExitCodeZero) {
  StartWindow();
  StartSource({"--files", verySlow_});
  EXPECT_EQ(Drag(""), "copy");
  std::this_thread::sleep_for(300ms);
  const auto start = Clock::now();
  ASSERT_TRUE(Tool({BuildDir() + "/tests/app/sorvanel_x_helper", "close", windowId_}).ok);
  ASSERT_TRUE(window_->Wait(10s));
  EXPECT_LT(Clock::now() - start, 10s);
  ASSERT_TRUE(WIFEXITED(window_->status()));
  EXPECT_EQ(WEXITSTATUS(window_->status()), 0);
}

}  // namespace
}  // namespace sorvanel
