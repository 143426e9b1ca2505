// Extracting a dropped program's picture maps the file and reads only its
// headers, its resource directory and the chosen image: the same program
// padded from 50 KB to 5 MB or 50 MB should cost the same. Reading the file
// whole is measured beside it for comparison.
//
// Counters: FileBytes, the program's size; MinorFaults, the pages the kernel
// had to map in per extraction (a page-cache hit each), which shows how much
// of the file was touched.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/IconCache.h"
#include "catalogue/IconExtraction.h"
#include "catalogue/PeReader.h"
#include "platform/headless/HeadlessDesktop.h"
#include "tests/support/IcoWriter.h"
#include "tests/catalogue/PeBuilder.h"

namespace qv::catalogue {
namespace {

long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

std::string Dib(int side, int bits) {
  test::DibSpec s;
  s.width = s.height = side;
  s.bitCount = bits;
  if (bits <= 8) s.palette = {0x000000, 0x3080C0};
  for (int i = 0; i < side * side; ++i) s.pixels.push_back(bits <= 8 ? i % 2 : (i % 3 ? 0xFF3080C0u : 0x803080C0u));
  return test::DibImage(s);
}

// A program whose icons (16, 32, 48 and a 4-bit 128, the one chosen) come after
// `padding` bytes of other data, as in an installer or a large program.
std::string PaddedProgram(std::size_t padding) {
  test::PeResource data;
  data.typeId = 10;  // raw data
  data.nameId = 1;
  data.data.resize(padding);
  for (std::size_t i = 0; i < padding; ++i) data.data[i] = static_cast<char>(i * 131 % 251);
  std::vector<test::PeResource> resources = {data, test::IconResource(1, Dib(16, 32)), test::IconResource(2, Dib(32, 32)),
                                             test::IconResource(3, Dib(48, 32)), test::IconResource(4, Dib(128, 4))};
  return test::BuildPe(resources).bytes;
}

// The headless desktop reads files for real (pread); cache writes are kept in
// memory so that the disk's flush does not hide the extraction.
class RealReads : public IFileSystem {
 public:
  explicit RealReads(IFileSystem& real) : real_(real) {}
  std::string ProgramDir() const override { return real_.ProgramDir(); }
  bool FileExists(const std::string&) const override { return false; }
  bool DirectoryExists(const std::string&) const override { return true; }
  bool CreateDirectory(const std::string&) override { return true; }
  std::optional<std::string> ReadFile(const std::string& path) const override { return real_.ReadFile(path); }
  bool WriteFileAtomic(const std::string&, const std::string& bytes) override {
    written = bytes.size();
    return true;
  }
  bool DeleteFile(const std::string&) override { return false; }
  std::unique_ptr<IReadableFile> OpenForRead(const std::string& path) const override { return real_.OpenForRead(path); }
  std::size_t written = 0;

 private:
  IFileSystem& real_;
};

struct Machine {
  std::filesystem::path root = std::filesystem::temp_directory_path() / "quorvel-icon-bench";
  headless::HeadlessDesktop desktop{root, root / "art"};
  headless::HeadlessProcess process{desktop};
  RealReads files{process.AsPlatform().files};
  ~Machine() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }

  // Places the bytes at C:\Bench\<name> and returns that path.
  std::string Put(const std::string& name, const std::string& bytes) {
    const std::filesystem::path real = desktop.RealPath("C:\\Bench\\" + name);
    std::filesystem::create_directories(real.parent_path());
    std::ofstream(real, std::ios::binary) << bytes;
    return "C:\\Bench\\" + name;
  }
  std::string Copy(const std::filesystem::path& from, const std::string& name) {
    const std::filesystem::path real = desktop.RealPath("C:\\Bench\\" + name);
    std::filesystem::create_directories(real.parent_path());
    std::filesystem::copy_file(from, real, std::filesystem::copy_options::overwrite_existing);
    return "C:\\Bench\\" + name;
  }
};

Machine& TheMachine() {
  static Machine machine;
  return machine;
}

// Load (open and list), choose the large image, else the small one, and write.
void Extract(benchmark::State& state, const std::string& path) {
  Machine& m = TheMachine();
  long faults = 0;
  std::size_t fileBytes = 0;
  for (auto _ : state) {
    const long before = MinorFaults();
    TPEReader reader;
    reader.Load(m.files, path);
    const bool found = ExtractLargeIcon(reader, m.files, path) || ExtractSmallIcon(reader, m.files, path);
    benchmark::DoNotOptimize(found);
    faults += MinorFaults() - before;
    if (!found) state.SkipWithError("no image found");
  }
  if (auto opened = m.files.OpenForRead(path)) fileBytes = static_cast<std::size_t>(opened->Size());
  state.counters["FileBytes"] = static_cast<double>(fileBytes);
  state.counters["MinorFaults"] = benchmark::Counter(static_cast<double>(faults), benchmark::Counter::kAvgIterations);
  state.counters["IcoBytes"] = static_cast<double>(m.files.written);
}

void BM_ExtractLargeIconPositional(benchmark::State& state) {
  const auto padding = static_cast<std::size_t>(state.range(0));
  Extract(state, TheMachine().Put("padded-" + std::to_string(padding) + ".exe", PaddedProgram(padding)));
}
// About 50 KB, 5 MB and 50 MB in all.
BENCHMARK(BM_ExtractLargeIconPositional)->Arg(20 << 10)->Arg(5 << 20)->Arg(50 << 20)->Unit(benchmark::kMicrosecond);

// The same work after reading the whole file, as a reader without positional reads would.
void BM_ExtractLargeIconReadWhole(benchmark::State& state) {
  const auto padding = static_cast<std::size_t>(state.range(0));
  Machine& m = TheMachine();
  const std::string path = m.Put("padded-" + std::to_string(padding) + ".exe", PaddedProgram(padding));
  for (auto _ : state) {
    const std::optional<std::string> bytes = m.files.ReadFile(path);
    TPEReader reader;
    reader.Load({reinterpret_cast<const unsigned char*>(bytes->data()), bytes->size()});
    benchmark::DoNotOptimize(ExtractLargeIcon(reader, m.files, path));
  }
}
BENCHMARK(BM_ExtractLargeIconReadWhole)->Arg(20 << 10)->Arg(5 << 20)->Arg(50 << 20)->Unit(benchmark::kMicrosecond);

// Wine's own programs: notepad (0.5 MB, 353 resources) and shell32 (14 MB,
// 2980 resources). Here the directory's size, not the file's, sets the cost.
void BM_ExtractWineProgram(benchmark::State& state, const char* file) {
  const std::filesystem::path real = std::filesystem::path("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows") / file;
  if (!std::filesystem::exists(real)) {
    state.SkipWithError("Wine's programs are not installed");
    return;
  }
  Extract(state, TheMachine().Copy(real, file));
}
BENCHMARK_CAPTURE(BM_ExtractWineProgram, notepad, "notepad.exe")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ExtractWineProgram, shell32, "shell32.dll")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qv::catalogue
