// A main for a fuzz target without libFuzzer: it feeds the target every seed
// file, then a fixed series of mutations of them, so the everyday build runs
// the targets' own checks on damaged input in a few seconds.
//
//   qv_fuzz_<target> [--mutations N] [--seconds S] [--seed N] SEED_DIR_OR_FILE...
//
// The series depends only on the seed files and --seed; --seconds bounds a
// run on a slow machine. A target reports a broken input by aborting (or
// trapping); the driver then names the input that did it.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

char current[512] = "no input yet";  // what the target is running on, for the signal handler

extern "C" void OnFatalSignal(int signal) {
  const char prefix[] = "\nfuzz pass: the target failed on ";
  (void)!write(2, prefix, sizeof prefix - 1);
  (void)!write(2, current, std::strlen(current));
  (void)!write(2, "\n", 1);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Values that sit on the edges readers check: zero, sign bits, all ones, small counts.
constexpr std::uint32_t kInteresting[] = {0,    1,     2,      16,      40,         48,          0x7F,       0x80,
                                          0xFF, 0x100, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu};

std::string Mutate(std::mt19937_64& random, const std::vector<std::string>& seeds, std::string bytes) {
  const auto below = [&](std::size_t n) { return n == 0 ? std::size_t{0} : static_cast<std::size_t>(random() % n); };
  for (int edits = 1 + static_cast<int>(below(6)); edits > 0; --edits) {
    // Half the damage lands in the first kilobyte, where the headers that steer a reader lie.
    const std::size_t span = below(2) == 0 ? std::min<std::size_t>(bytes.size(), 1024) : bytes.size();
    const std::size_t at = below(span);
    switch (below(8)) {
      case 0:
        if (!bytes.empty()) bytes[at] = static_cast<char>(bytes[at] ^ (1 << below(8)));
        break;
      case 1:
        if (!bytes.empty()) bytes[at] = static_cast<char>(random());
        break;
      case 2: {  // an edge value, little-endian, 1, 2 or 4 bytes wide
        const std::uint32_t v = kInteresting[below(std::size(kInteresting))];
        const std::size_t width = std::size_t{1} << below(3);
        for (std::size_t i = 0; i < width && at + i < bytes.size(); ++i)
          bytes[at + i] = static_cast<char>(v >> (8 * i));
        break;
      }
      case 3:
        bytes.insert(at, 1 + below(8), static_cast<char>(random()));
        break;
      case 4:
        bytes.erase(at, 1 + below(16));
        break;
      case 5:
        bytes.resize(at);
        break;
      case 6: {  // a piece of this input copied over another place
        const std::size_t from = below(bytes.size()),
                          length = below(std::min<std::size_t>(64, bytes.size() - from) + 1);
        const std::string piece = bytes.substr(from, length);
        bytes.replace(at, std::min(length, bytes.size() - at), piece);
        break;
      }
      default: {  // a piece of another seed spliced in
        const std::string& other = seeds[below(seeds.size())];
        const std::size_t from = below(other.size()),
                          length = below(std::min<std::size_t>(256, other.size() - from) + 1);
        bytes.insert(at, other, from, length);
      }
    }
  }
  return bytes;
}

int Run(const std::string& bytes) {
  return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  long mutations = 3000;
  double seconds = 5;
  std::uint64_t seed = 20240611;
  std::vector<std::filesystem::path> dirs;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--mutations" && i + 1 < argc)
      mutations = std::atol(argv[++i]);
    else if (arg == "--seconds" && i + 1 < argc)
      seconds = std::atof(argv[++i]);
    else if (arg == "--seed" && i + 1 < argc)
      seed = std::strtoull(argv[++i], nullptr, 10);
    else
      dirs.emplace_back(arg);
  }
  for (const int s : {SIGABRT, SIGILL, SIGSEGV, SIGFPE, SIGBUS}) std::signal(s, OnFatalSignal);

  std::vector<std::filesystem::path> files;
  for (const std::filesystem::path& dir : dirs) {
    if (std::filesystem::is_regular_file(dir)) {
      files.push_back(dir);
      continue;
    }
    if (!std::filesystem::is_directory(dir)) {
      std::fprintf(stderr, "fuzz pass: no seeds at %s\n", dir.c_str());
      return 2;
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir))
      if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());  // the series must not depend on the directory's order
  std::vector<std::string> seeds;
  for (const std::filesystem::path& f : files) {
    std::snprintf(current, sizeof current, "seed %s", f.c_str());
    seeds.push_back(ReadAll(f));
    Run(seeds.back());
  }
  if (seeds.empty()) {
    std::fprintf(stderr, "fuzz pass: no seeds\n");
    return 2;
  }

  std::mt19937_64 random(seed);
  const auto start = std::chrono::steady_clock::now();
  long done = 0;
  for (; done < mutations; ++done) {
    if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > seconds) break;
    const std::size_t from = static_cast<std::size_t>(random() % seeds.size());
    std::snprintf(current, sizeof current, "mutation %ld of %s (--seed %llu)", done, files[from].c_str(),
                  static_cast<unsigned long long>(seed));
    Run(Mutate(random, seeds, seeds[from]));
  }
  std::printf("fuzz pass: %zu seeds, %ld of %ld mutations in %.1f s\n", seeds.size(), done, mutations,
              std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  return 0;
}
