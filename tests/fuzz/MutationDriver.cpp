// A main for a fuzz target without libFuzzer: it feeds the target every seed
// file, then a fixed series of mutations of them, so the everyday build runs
// the targets' own checks on damaged input in a few seconds.
//
//   qv_fuzz_<target> [--mutations N] [--seconds S] SEED_DIR_OR_FILE...
//
// The series depends only on the seed files; --seconds bounds a run on a slow
// machine. A target reports a broken input by aborting (or trapping); the
// series is the same on a rerun, under a debugger.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// Values that sit on the edges readers check: zero, sign bits, all ones, small counts.
constexpr std::uint32_t kInteresting[] = {0, 1, 2, 16, 40, 48, 0x7F, 0x80, 0xFF, 0xFFFF, 0x7FFFFFFF, 0x80000000u,
                                          0xFFFFFFFFu};

std::string Mutate(std::mt19937_64& random, const std::vector<std::string>& seeds, std::string bytes) {
  const auto below = [&](std::size_t n) { return n == 0 ? std::size_t{0} : static_cast<std::size_t>(random() % n); };
  for (int edits = 1 + static_cast<int>(below(6)); edits > 0; --edits) {
    // Half the damage lands in the first kilobyte, where the headers that steer a reader lie.
    const std::size_t at = below(below(2) == 0 ? std::min<std::size_t>(bytes.size(), 1024) : bytes.size());
    const std::string& other = seeds[below(seeds.size())];
    const std::size_t from = below(other.size());
    switch (below(6)) {
      case 0:
        if (!bytes.empty()) bytes[at] = static_cast<char>(bytes[at] ^ (1 << below(8)));
        break;
      case 1: {  // an edge value, little-endian, 1, 2 or 4 bytes wide
        const std::uint32_t v = kInteresting[below(std::size(kInteresting))];
        for (std::size_t i = 0, width = std::size_t{1} << below(3); i < width && at + i < bytes.size(); ++i)
          bytes[at + i] = static_cast<char>(v >> (8 * i));
        break;
      }
      case 2:
        bytes.insert(at, 1 + below(8), static_cast<char>(random()));
        break;
      case 3:
        bytes.erase(at, 1 + below(16));
        break;
      case 4:
        bytes.resize(at);
        break;
      default:  // a piece of a seed, this one or another, spliced in
        bytes.insert(at, other, from, below(std::min<std::size_t>(256, other.size() - from) + 1));
    }
  }
  return bytes;
}

void Run(const std::string& bytes) {
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  long mutations = 3000;
  double seconds = 5;
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--mutations" && i + 1 < argc) {
      mutations = std::atol(argv[++i]);
    } else if (arg == "--seconds" && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else if (std::filesystem::is_regular_file(arg)) {
      files.emplace_back(arg);
    } else {
      std::fprintf(stderr, "fuzz pass: no seeds at %s\n", arg.c_str());
      return 2;
    }
  }
  std::sort(files.begin(), files.end());  // the series must not depend on the directory's order
  std::vector<std::string> seeds;
  for (const std::filesystem::path& f : files) {
    std::ostringstream bytes;
    bytes << std::ifstream(f, std::ios::binary).rdbuf();
    seeds.push_back(bytes.str());
    Run(seeds.back());
  }
  if (seeds.empty()) {
    std::fprintf(stderr, "fuzz pass: no seeds\n");
    return 2;
  }
  std::mt19937_64 random(20240611);
  const auto start = std::chrono::steady_clock::now();
  const auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
  long done = 0;
  for (; done < mutations && elapsed() <= seconds; ++done) {
    Run(Mutate(random, seeds, seeds[random() % seeds.size()]));
  }
  std::printf("fuzz pass: %zu seeds, %ld of %ld mutations in %.1f s\n", seeds.size(), done, mutations, elapsed());
  return 0;
}
