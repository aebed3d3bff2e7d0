#include "client/picture_source.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/client/gbk.h"

namespace sorvanel {
namespace {

TEST(PictureSourceTest, OnlyAnHttpSchemeAtTheStartMakesAWebAddress) {
  struct Case {
    const char* address;
    bool web;
  };
  const Case cases[] = {
      {"http://127.0.0.1/a.jpg", true},
      {"https://127.0.0.1/a.jpg", true},
      {"HTTP://127.0.0.1/a.jpg", true},
      {"HtTpS://127.0.0.1/a.jpg", true},
      {"/srv/httpdocs/a.jpg", false},
      {"httpdocs/a.jpg", false},
      {"C:\\pictures\\http\\a.jpg", false},
      {"pictures/http://a.jpg", false},
      {" http://127.0.0.1/a.jpg", false},
      {"http:/127.0.0.1/a.jpg", false},
      {"http:", false},
      {"ftp://127.0.0.1/a.jpg", false},
      {"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsWebPictureAddress(c.address), c.web) << c.address;
  }
}

class ReadWholeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("sorvanel_picture_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  Text PathOf(const std::string& name) const { return Text((dir_ / name).string()); }

  std::filesystem::path dir_;
};

TEST_F(ReadWholeFileTest, ReadsEveryByteOfAFile) {
  std::string bytes("\x89PNG\r\n\x1a\n", 8);
  bytes += std::string("\0\0\xff", 3);
  bytes += std::string(200000, 'x');  // more than one read
  std::ofstream(dir_ / "picture.png", std::ios::binary) << bytes;
  EXPECT_EQ(ReadWholeFile(PathOf("picture.png")).bytes(), bytes);
}

TEST_F(ReadWholeFileTest, AChineseNameGivenIn936IsReadFromItsUtf8Name) {
  // Paths on Linux are bytes, so the UTF-8 names below are the names on disk.
  for (const char* utf8Name : {"发票.png", "图片 文件夹/图片.jpg", "ascii.png"}) {
    const std::filesystem::path file = dir_ / utf8Name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << "picture";
    EXPECT_EQ(ReadWholeFile(client_test::Gbk(file.string())).bytes(), "picture") << utf8Name;
  }
}

TEST_F(ReadWholeFileTest, AFolderNamedHttpdocsHoldsAFile) {
  std::filesystem::create_directories(dir_ / "httpdocs");
  std::ofstream(dir_ / "httpdocs" / "a.jpg", std::ios::binary) << "jpeg";
  const Text path = PathOf("httpdocs/a.jpg");
  EXPECT_FALSE(IsWebPictureAddress(path));
  EXPECT_EQ(ReadWholeFile(path).bytes(), "jpeg");
}

TEST_F(ReadWholeFileTest, WhatIsNoReadableFileGivesNothing) {
  std::ofstream(dir_ / "empty.jpg", std::ios::binary);
  ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0600), 0);
  // Two paths joined are no single path.
  const Text joined = PathOf("empty.jpg") + " " + PathOf("empty.jpg");
  for (const Text& path :
       {Text(), PathOf("missing.jpg"), PathOf(""), PathOf("empty.jpg"), PathOf("pipe"), joined}) {
    EXPECT_TRUE(ReadWholeFile(path).empty()) << path.str();
  }
}

}  // namespace
}  // namespace sorvanel
