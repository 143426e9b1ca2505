#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/headless/Iconv.h"
#include "platform/headless/PosixFiles.h"

namespace qv::headless {
namespace {

class ScratchDirectory {
 public:
  ScratchDirectory() {
    char pattern[] = "/tmp/qv-files-XXXXXX";
    path_ = ::mkdtemp(pattern) ? pattern : "";
  }
  ~ScratchDirectory() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& Path() const { return path_; }
  int EntryCount() const {
    int count = 0;
    if (DIR* dir = ::opendir(path_.c_str())) {
      while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        count += name != "." && name != "..";
      }
      ::closedir(dir);
    }
    return count;
  }

 private:
  std::string path_;
};

TEST(ConfigPosixFiles, ReadWholeFile) {
  ScratchDirectory scratch;
  EXPECT_EQ(ReadWholeFile(scratch / "absent"), std::nullopt);
  EXPECT_EQ(ReadWholeFile(scratch.Path()), std::nullopt);  // a directory

  std::string bytes(300 * 1024, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 % 251);
  for (const std::string& content : {std::string(), std::string("\0x\0", 3), bytes}) {
    SCOPED_TRACE(content.size());
    std::ofstream(scratch / "f", std::ios::binary) << content;
    EXPECT_EQ(ReadWholeFile(scratch / "f"), content);
  }
}

TEST(ConfigPosixFiles, WriteFileAtomicReplacesAndKeepsPermissions) {
  ScratchDirectory scratch;
  const std::string path = scratch / "UserInfo.xml";
  ASSERT_TRUE(WriteFileAtomicPosix(path, "first"));
  EXPECT_EQ(ReadWholeFile(path), "first");

  ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  ASSERT_TRUE(WriteFileAtomicPosix(path, ""));
  EXPECT_EQ(ReadWholeFile(path), "");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_EQ(scratch.EntryCount(), 1);  // no temporary file stays behind
}

TEST(ConfigPosixFiles, FailedWritesLeaveNothingBehind) {
  ScratchDirectory scratch;
  EXPECT_FALSE(WriteFileAtomicPosix(scratch / "missing/UserInfo.xml", "x"));
  EXPECT_FALSE(WriteFileAtomicPosix(scratch.Path() + "/", "x"));  // no file name

  ASSERT_EQ(::mkdir((scratch / "occupied").c_str(), 0755), 0);
  EXPECT_FALSE(WriteFileAtomicPosix(scratch / "occupied", "x"));  // a directory is not replaced
  EXPECT_EQ(scratch.EntryCount(), 1);
}

TEST(ConfigPosixFiles, LeftoverNames) {
  struct Case {
    const char* name;
    bool leftover;
  };
  for (const Case& c : {Case{".UserInfo.xml.tmp-a1B2c3", true}, Case{"UserInfo.xml", false},
                        Case{".UserInfo.xml.tmp-a1B2c", false}, Case{".UserInfo.xml.tmp-a1B2c3d", false},
                        Case{"UserInfo.xml.tmp-a1B2c3", false}, Case{".Other.xml.tmp-a1B2c3", false}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IsAtomicWriteLeftover(c.name, "UserInfo.xml"), c.leftover);
  }
}

TEST(ConfigIconv, Conversions) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* from;
    const char* to;
    std::optional<std::string> out;
  };
  const Case cases[] = {
      {"GB2312 to UTF-8", "\xCE\xD2\xB5\xC4\xB5\xE7\xC4\xD4", "GB2312", "UTF-8", "我的电脑"},
      {"UTF-8 to GB2312", "宋体 a", "UTF-8", "GB2312", "\xCB\xCE\xCC\xE5 a"},
      {"empty", "", "GB2312", "UTF-8", ""},
      {"invalid GB2312", "a\xFF\xFF", "GB2312", "UTF-8", std::nullopt},
      {"incomplete GB2312", "a\xCE", "GB2312", "UTF-8", std::nullopt},
      {"invalid UTF-8", "a\xC3(", "UTF-8", "GB2312", std::nullopt},
      {"no GB2312 form", "😀", "UTF-8", "GB2312", std::nullopt},
      {"unknown encoding", "a", "x-no-such", "UTF-8", std::nullopt},
      {"growing output", std::string(10000, 'a'), "UTF-8", "UTF-32LE",
       [] {
         std::string out;
         for (int i = 0; i < 10000; ++i) out += std::string("a\0\0\0", 4);
         return out;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IconvConvert(c.bytes, c.from, c.to), c.out);
  }
}

}  // namespace
}  // namespace qv::headless
