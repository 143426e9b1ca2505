#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/headless/Iconv.h"
#include "platform/headless/PosixFiles.h"
#include "tests/config/FakePlatform.h"

namespace qv::headless {
namespace {

struct ScratchDirectory {
  ScratchDirectory() {
    char pattern[] = "/tmp/qv-files-XXXXXX";
    path = ::mkdtemp(pattern) ? pattern : "";
  }
  ~ScratchDirectory() { std::system(("rm -rf '" + path + "'").c_str()); }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  std::size_t EntryCount() const { return config::testing::DirectoryEntries(path).size(); }
  std::string path;
};

TEST(ConfigPosixFiles, ReadWholeFile) {
  ScratchDirectory scratch;
  EXPECT_EQ(ReadWholeFile(scratch / "absent"), std::nullopt);
  EXPECT_EQ(ReadWholeFile(scratch.path), std::nullopt);  // a directory
  std::string bytes(300 * 1024, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 % 251);
  for (const std::string& content : {std::string(), std::string("\0x\0", 3), bytes}) {
    std::ofstream(scratch / "f", std::ios::binary) << content;
    EXPECT_EQ(ReadWholeFile(scratch / "f"), content) << content.size();
  }
}

TEST(ConfigPosixFiles, WriteFileAtomicReplacesAndKeepsPermissions) {
  ScratchDirectory scratch;
  const std::string path = scratch / "UserInfo.xml";
  ASSERT_TRUE(WriteFileAtomicPosix(path, "first"));
  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  ASSERT_TRUE(WriteFileAtomicPosix(path, ""));
  EXPECT_EQ(ReadWholeFile(path), "");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_EQ(scratch.EntryCount(), 1u);  // no temporary file stays behind
}

TEST(ConfigPosixFiles, FailedWritesLeaveNothingBehind) {
  ScratchDirectory scratch;
  EXPECT_FALSE(WriteFileAtomicPosix(scratch / "missing/UserInfo.xml", "x"));
  EXPECT_FALSE(WriteFileAtomicPosix(scratch.path + "/", "x"));  // no file name
  ASSERT_EQ(::mkdir((scratch / "occupied").c_str(), 0755), 0);
  EXPECT_FALSE(WriteFileAtomicPosix(scratch / "occupied", "x"));  // a directory is not replaced
  EXPECT_EQ(scratch.EntryCount(), 1u);
}

TEST(ConfigPosixFiles, LeftoverNames) {
  const std::pair<const char*, bool> cases[] = {
      {".UserInfo.xml.tmp-a1B2c3", true},   {"UserInfo.xml", false},           {".UserInfo.xml.tmp-a1B2c", false},
      {".UserInfo.xml.tmp-a1B2c3d", false}, {"UserInfo.xml.tmp-a1B2c3", false}, {".Other.xml.tmp-a1B2c3", false}};
  for (const auto& [name, leftover] : cases) EXPECT_EQ(IsAtomicWriteLeftover(name, "UserInfo.xml"), leftover) << name;
}

TEST(ConfigIconv, Conversions) {
  struct Case {
    std::string bytes;
    const char* from;
    const char* to;
    std::optional<std::string> out;
  };
  std::string wide;
  for (int i = 0; i < 10000; ++i) wide += std::string("a\0\0\0", 4);
  const Case cases[] = {
      {"", "GB2312", "UTF-8", ""},
      {"a\xFF\xFF", "GB2312", "UTF-8", std::nullopt},
      {"a\xCE", "GB2312", "UTF-8", std::nullopt},  // cut short
      {"a", "x-no-such", "UTF-8", std::nullopt},
      {std::string(10000, 'a'), "UTF-8", "UTF-32LE", wide},  // output outgrows the first buffer
  };
  for (const Case& c : cases) EXPECT_EQ(IconvConvert(c.bytes, c.from, c.to), c.out) << c.bytes.substr(0, 20);
}

}  // namespace
}  // namespace qv::headless
