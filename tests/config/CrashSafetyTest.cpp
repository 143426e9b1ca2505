#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <pugixml.hpp>
#include <random>

#include "platform/headless/PosixFiles.h"
#include "tests/config/FakePlatform.h"

namespace qv::headless {
namespace {

using config::testing::DirectoryEntries;

// A full dock makes the new content several times the old, so a torn write could pass for neither.
std::string WithFullDock(const std::string& config) {
  std::string dock = "\t<RectBackground>\n";
  for (int k = 1; k <= 240; ++k) {
    const std::string name = "Rect" + std::to_string(k);
    dock += "\t\t<" + name + ">\n\t\t\t<File>C:\\Programs\\Tool" + std::to_string(k) + ".exe</File>\n\t\t\t<Name>工具" +
            std::to_string(k) + "</Name>\n\t\t\t<IconPath>\n\t\t\t\t<Default />\n\t\t\t</IconPath>\n\t\t</" + name + ">\n";
  }
  const std::size_t end = config.rfind("</Quorvel>");
  return config.substr(0, end) + dock + "\t</RectBackground>\n" + config.substr(end);
}

// A process that keeps replacing the file is killed at random moments: the file is always the old or the new one.
TEST(ConfigCrashSafety, KilledSaveLeavesTheOldOrTheNewFile) {
  char directoryTemplate[] = "/tmp/qv-crash-XXXXXX";
  ASSERT_NE(::mkdtemp(directoryTemplate), nullptr);
  const std::string directory = directoryTemplate;
  const std::unique_ptr<const std::string, void (*)(const std::string*)> cleanup(&directory, [](const std::string* d) {
    for (const std::string& name : DirectoryEntries(*d)) ::unlink((*d + "/" + name).c_str());
    ::rmdir(d->c_str());
  });
  const std::string target = "UserInfo.xml";
  const std::string path = directory + "/" + target;
  const std::string older = config::testing::DistributedFile();
  const std::string newer = WithFullDock(older);
  ASSERT_GT(newer.size(), 4 * older.size());

  // Kill within a few writes' time, so both contents turn up.
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(WriteFileAtomicPosix(path, i % 2 ? newer : older));
  const long writeMicros =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count() / 5;
  const long window = std::min<long>(std::max<long>(3 * writeMicros, 1000), 50000);

  std::mt19937 random(0x5eed);
  int sawOlder = 0, sawNewer = 0;
  for (int trial = 0; trial < 200; ++trial) {
    SCOPED_TRACE(trial);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (unsigned i = 0;; ++i) WriteFileAtomicPosix(path, i % 2 ? older : newer);
    }
    ::usleep(static_cast<useconds_t>(random() % window));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    const std::optional<std::string> bytes = ReadWholeFile(path);
    ASSERT_TRUE(bytes.has_value());
    ASSERT_TRUE(*bytes == older || *bytes == newer) << "size " << bytes->size();
    pugi::xml_document document;
    ASSERT_TRUE(document.load_buffer(bytes->data(), bytes->size()));
    ++(*bytes == older ? sawOlder : sawNewer);

    for (const std::string& name : DirectoryEntries(directory)) {
      if (name == target) continue;
      EXPECT_TRUE(IsAtomicWriteLeftover(name, target)) << name;
      ::unlink((directory + "/" + name).c_str());
    }
  }
  EXPECT_GT(sawOlder, 0);
  EXPECT_GT(sawNewer, 0);
}

}  // namespace
}  // namespace qv::headless
