// Writes small seed inputs for the fuzz targets: program files of both
// formats around icon images of every depth and width the searches weigh,
// and .ico files of DIB and PNG images (the pe target writes single ones). Usage: make_seeds PE_DIR ICO_DIR

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/catalogue/PeBuilder.h"

namespace {

using namespace qv::test;

void Write(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_seeds PE_DIR ICO_DIR\n");
    return 2;
  }
  const std::filesystem::path peDir = argv[1], icoDir = argv[2];
  std::filesystem::create_directories(peDir);
  std::filesystem::create_directories(icoDir);

  struct Set {
    const char* name;
    std::vector<std::pair<int, int>> images;  // side, bits
  };
  const Set sets[] = {
      {"small", {{16, 4}, {32, 8}, {48, 24}, {48, 32}}},
      {"large", {{16, 32}, {128, 8}, {128, 32}}},
      {"mixed", {{48, 8}, {48, 32}, {32, 32}, {16, 1}}},
  };
  for (const Set& set : sets) {
    std::vector<PeResource> resources;
    std::vector<IcoEntry> entries;
    std::uint32_t id = 1;
    for (const auto& [side, bits] : set.images) {
      const std::string image = IconImage(side, bits, 0x405060u * id);
      resources.push_back(IconResource(id++, image));
      entries.push_back({image, side, bits});
    }
    resources.push_back({10, u"", 0, u"NOTES", 1031, "notes", 1252});
    resources.push_back({0, u"PNG", 0, u"RING", 0, PngImage(8, 8, std::vector<std::uint32_t>(64, 0x80FF0000u)), 0});
    for (const bool plus : {false, true})
      Write(peDir / (std::string(set.name) + (plus ? "-pe32plus" : "-pe32") + ".exe"),
            BuildPe(resources, plus).bytes);
    Write(icoDir / (std::string(set.name) + ".ico"), IcoFile(entries));
  }
  Write(icoDir / "png.ico", IcoFile({{PngImage(16, 16, std::vector<std::uint32_t>(256, 0xC0102030u)), 16, 32}}));
  return 0;
}
