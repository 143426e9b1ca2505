#include "round/PngLoader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/HeadlessDesktop.h"
#include "tests/round/AllocationWatch.h"

namespace qv::round {
namespace {

// ---- making pictures -------------------------------------------------------

struct Rgba {
  std::uint8_t r, g, b, a;
};

std::string WriteWithLibpng(png_image image, const void* pixels, const void* colormap = nullptr) {
  image.version = PNG_IMAGE_VERSION;
  png_alloc_size_t size = 0;
  if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, colormap) == 0) return {};
  std::string bytes(size, '\0');
  if (png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels, 0, colormap) == 0) return {};
  bytes.resize(size);
  return bytes;
}

std::string RgbaPng(int width, int height, const std::vector<Rgba>& pixels) {
  png_image image{};
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  return WriteWithLibpng(image, pixels.data());
}

// libpng's own straight (not premultiplied) decode, as B, G, R, A words.
std::vector<std::uint32_t> StraightDecode(const std::string& bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) return {};
  image.format = PNG_FORMAT_BGRA;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(image.width) * image.height);
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) return {};
  return pixels;
}

void AppendBigEndian(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void AppendChunk(std::string& png, const std::string& type, const std::string& data) {
  AppendBigEndian(png, static_cast<std::uint32_t>(data.size()));
  const std::string body = type + data;
  png += body;
  AppendBigEndian(png, static_cast<std::uint32_t>(
                           crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

std::string Compress(const std::string& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  out.resize(size);
  return out;
}

struct Chunk {
  std::string type;
  std::string data;
};

// A PNG put together chunk by chunk, for the colour types and depths the
// simplified writer does not produce (16-bit without gamma, 4-bit palette)
// and for headers no writer would produce. rows are packed scanlines without
// their filter byte.
std::string HandMadePng(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType,
                        const std::vector<std::string>& rows, const std::vector<Chunk>& beforeData = {}) {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  AppendBigEndian(header, width);
  AppendBigEndian(header, height);
  header += static_cast<char>(bitDepth);
  header += static_cast<char>(colourType);
  header += std::string(3, '\0');  // deflate, adaptive filtering, no interlace
  AppendChunk(png, "IHDR", header);
  for (const Chunk& c : beforeData) AppendChunk(png, c.type, c.data);
  std::string raw;
  for (const std::string& row : rows) {
    raw += '\0';
    raw += row;
  }
  AppendChunk(png, "IDAT", Compress(raw));
  AppendChunk(png, "IEND", "");
  return png;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

std::string Words16(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += Bytes({(v >> 8) & 0xFF, v & 0xFF});
  return s;
}

std::uint32_t Bgra(int b, int g, int r, int a) {
  return PackBgra(static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(r),
                  static_cast<std::uint8_t>(a));
}

std::string Describe(std::uint32_t p) {
  std::ostringstream out;
  out << "B" << int{BlueOf(p)} << " G" << int{GreenOf(p)} << " R" << int{RedOf(p)} << " A" << int{AlphaOf(p)};
  return out.str();
}

// ---- the alpha rule --------------------------------------------------------

TEST(PngLoaderTest, PremultiplyRuleAtTheAlphaEdges) {
  struct Case {
    Rgba straight;
    Rgba expected;  // premultiplied r, g, b and the mask alpha
  };
  // Mask m = round(a × 255 / 240), ties to even, 255 from 240 up; colours
  // round(c × m / 255) below m = 240, unchanged from there.
  const Case cases[] = {
      {{200, 255, 1, 0}, {0, 0, 0, 0}},
      {{128, 64, 254, 0}, {0, 0, 0, 0}},
      {{200, 255, 1, 1}, {1, 1, 0, 1}},
      {{128, 64, 254, 1}, {1, 0, 1, 1}},
      {{200, 255, 1, 8}, {6, 8, 0, 8}},  // 8.5 ties down to the even 8
      {{128, 64, 254, 8}, {4, 2, 8, 8}},
      {{200, 255, 1, 24}, {20, 26, 0, 26}},      // 25.5 ties up to the even 26
      {{128, 64, 254, 24}, {13, 7, 26, 26}},     // 254 × 26 / 255 = 25.9: rounds, not truncates
      {{200, 255, 1, 120}, {100, 128, 1, 128}},  // 127.5 → 128
      {{128, 64, 254, 120}, {64, 32, 127, 128}},
      {{200, 255, 1, 225}, {187, 239, 1, 239}},  // last mask that scales
      {{128, 64, 254, 225}, {120, 60, 238, 239}},
      {{200, 255, 1, 226}, {200, 255, 1, 240}},  // first mask that keeps the colours
      {{128, 64, 254, 226}, {128, 64, 254, 240}},
      {{200, 255, 1, 230}, {200, 255, 1, 244}},
      {{200, 255, 1, 239}, {200, 255, 1, 254}},
      {{128, 64, 254, 239}, {128, 64, 254, 254}},
      {{200, 255, 1, 240}, {200, 255, 1, 255}},
      {{128, 64, 254, 240}, {128, 64, 254, 255}},
      {{200, 255, 1, 245}, {200, 255, 1, 255}},
      {{200, 255, 1, 254}, {200, 255, 1, 255}},
      {{128, 64, 254, 254}, {128, 64, 254, 255}},
      {{200, 255, 1, 255}, {200, 255, 1, 255}},
      {{128, 64, 254, 255}, {128, 64, 254, 255}},
  };
  std::vector<Rgba> row;
  for (const Case& c : cases) row.push_back(c.straight);
  const std::string png = RgbaPng(static_cast<int>(row.size()), 1, row);

  // The picture holds what we meant: libpng's straight decode gives it back.
  const std::vector<std::uint32_t> straight = StraightDecode(png);
  ASSERT_EQ(straight.size(), row.size());
  for (std::size_t i = 0; i < row.size(); ++i)
    ASSERT_EQ(straight[i], Bgra(row[i].b, row[i].g, row[i].r, row[i].a)) << "pixel " << i;

  const LayeredSurface surface = LoadPremultipliedPngBytes(png);
  ASSERT_EQ(surface.width, static_cast<int>(row.size()));
  ASSERT_EQ(surface.height, 1);
  for (std::size_t i = 0; i < row.size(); ++i) {
    const Rgba& want = cases[i].expected;
    const std::uint32_t got = surface.pixels[i];
    EXPECT_EQ(got, Bgra(want.b, want.g, want.r, want.a))
        << "straight R" << int{row[i].r} << " G" << int{row[i].g} << " B" << int{row[i].b} << " A" << int{row[i].a}
        << " gave " << Describe(got);
  }
}

// Every alpha against every colour value, compared with the rule evaluated in
// floating point (a × 255 / 240 is exact in double, and c × m / 255 is never a
// tie), which shares nothing with the loader's integer arithmetic. One row per
// alpha, so a wrong stride or row order shows as well.
TEST(PngLoaderTest, PremultiplyAgreesWithTheRuleForEveryAlphaAndColour) {
  std::vector<Rgba> pixels;
  for (int a = 0; a < 256; ++a)
    for (int c = 0; c < 256; ++c)
      pixels.push_back({static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(255 - c),
                        static_cast<std::uint8_t>((c * 7) & 0xFF), static_cast<std::uint8_t>(a)});
  const LayeredSurface surface = LoadPremultipliedPngBytes(RgbaPng(256, 256, pixels));
  ASSERT_EQ(surface.width, 256);
  ASSERT_EQ(surface.height, 256);
  int mismatches = 0;
  for (std::size_t i = 0; i < pixels.size() && mismatches < 10; ++i) {
    const Rgba& s = pixels[i];
    const int m = s.a >= 240 ? 255 : static_cast<int>(std::nearbyint(s.a * 255.0 / 240.0));
    auto scale = [m](int c) { return m >= 240 ? c : static_cast<int>(std::nearbyint(c * m / 255.0)); };
    const std::uint32_t want = Bgra(scale(s.b), scale(s.g), scale(s.r), m);
    if (surface.pixels[i] != want) {
      ++mismatches;
      ADD_FAILURE() << "alpha " << int{s.a} << " colour " << int{s.r} << ": got " << Describe(surface.pixels[i])
                    << ", want " << Describe(want);
    }
  }
}

// ---- colour types ----------------------------------------------------------

TEST(PngLoaderTest, GreyPaletteAndSixteenBitPicturesDecode) {
  struct Case {
    const char* what;
    std::string png;
    std::vector<std::uint32_t> expected;  // B, G, R, A premultiplied
  };
  const std::vector<Case> cases = {
      {"8-bit grey: opaque",
       HandMadePng(4, 1, 8, 0, {Bytes({0, 77, 128, 255})}),
       {Bgra(0, 0, 0, 255), Bgra(77, 77, 77, 255), Bgra(128, 128, 128, 255), Bgra(255, 255, 255, 255)}},
      {"1-bit grey",
       HandMadePng(3, 1, 1, 0, {Bytes({0b10100000})}),
       {Bgra(255, 255, 255, 255), Bgra(0, 0, 0, 255), Bgra(255, 255, 255, 255)}},
      {"8-bit grey with alpha",
       HandMadePng(3, 1, 8, 4, {Bytes({128, 120, 200, 0, 50, 240})}),
       {Bgra(64, 64, 64, 128), Bgra(0, 0, 0, 0), Bgra(50, 50, 50, 255)}},
      {"4-bit palette with transparency",
       HandMadePng(5, 1, 4, 3, {Bytes({0x01, 0x23, 0x40})},
                   {{"PLTE", Bytes({200, 0, 0, 10, 20, 30, 0, 0, 0, 255, 255, 255, 40, 50, 60})},
                    {"tRNS", Bytes({120, 255, 0, 245})}}),
       // entry 4 lies past the tRNS table and is opaque
       {Bgra(0, 0, 100, 128), Bgra(30, 20, 10, 255), Bgra(0, 0, 0, 0), Bgra(255, 255, 255, 255),
        Bgra(60, 50, 40, 255)}},
      {"8-bit RGB without alpha is opaque",
       HandMadePng(2, 1, 8, 2, {Bytes({200, 100, 0, 1, 2, 3})}),
       {Bgra(0, 100, 200, 255), Bgra(3, 2, 1, 255)}},
      // Without gamma information a 16-bit picture is sRGB like an 8-bit
      // one: 128 × 257 must stay 128, not brighten as linear light would.
      {"16-bit RGBA without gamma",
       HandMadePng(
           3, 1, 16, 6,
           {Words16({200 * 257, 0, 0, 120 * 257, 128 * 257, 64 * 257, 254 * 257, 65535, 65535, 65535, 65535, 0})}),
       {Bgra(0, 0, 100, 128), Bgra(254, 64, 128, 255), Bgra(0, 0, 0, 0)}},
      {"16-bit grey without gamma",
       HandMadePng(3, 1, 16, 0, {Words16({0, 128 * 257, 65535})}),
       {Bgra(0, 0, 0, 255), Bgra(128, 128, 128, 255), Bgra(255, 255, 255, 255)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const LayeredSurface surface = LoadPremultipliedPngBytes(c.png);
    ASSERT_EQ(surface.width, static_cast<int>(c.expected.size()));
    ASSERT_EQ(surface.height, 1);
    for (std::size_t i = 0; i < c.expected.size(); ++i)
      EXPECT_EQ(surface.pixels[i], c.expected[i])
          << "pixel " << i << ": got " << Describe(surface.pixels[i]) << ", want " << Describe(c.expected[i]);
  }
}

// ---- damaged and oversized pictures -------------------------------------------

std::string SamplePng() {
  std::vector<Rgba> pixels;
  for (int i = 0; i < 16 * 16; ++i)
    pixels.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i * 7),
                      static_cast<std::uint8_t>(255 - i)});
  return RgbaPng(16, 16, pixels);
}

// Offset of the data of the first chunk of this type.
std::size_t ChunkData(const std::string& png, const std::string& type) {
  const std::size_t at = png.find(type);
  return at == std::string::npos ? at : at + 4;
}

TEST(PngLoaderTest, DamagedPicturesGiveAnEmptySurface) {
  const std::string good = SamplePng();
  ASSERT_FALSE(LoadPremultipliedPngBytes(good).Empty());
  const std::size_t idat = ChunkData(good, "IDAT");
  ASSERT_NE(idat, std::string::npos);

  std::string badSignature = good;
  badSignature[1] = 'Q';
  std::string badHeaderCrc = good;
  badHeaderCrc[29] = static_cast<char>(badHeaderCrc[29] ^ 0x01);  // IHDR's CRC
  std::string badDataCrc = good;
  badDataCrc[idat + 5] = static_cast<char>(badDataCrc[idat + 5] ^ 0x40);
  // A data chunk with a valid CRC around something that is not a zlib stream.
  const std::string notDeflate = HandMadePng(2, 2, 8, 6, {}).substr(0, 33) + [] {
    std::string s;
    AppendChunk(s, "IDAT", "this is not compressed");
    AppendChunk(s, "IEND", "");
    return s;
  }();
  // Rows missing: the header promises 16 rows, the data holds 2.
  const std::string tooFewRows = HandMadePng(2, 16, 8, 0, {Bytes({1, 2}), Bytes({3, 4})});

  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"nothing", ""},
      {"half a signature", good.substr(0, 4)},
      {"signature only", good.substr(0, 8)},
      {"cut inside the header", good.substr(0, 20)},
      {"header only", good.substr(0, 33)},
      {"cut inside the data", good.substr(0, idat + 10)},
      {"wrong signature", badSignature},
      {"header CRC", badHeaderCrc},
      {"data CRC", badDataCrc},
      {"data not deflate", notDeflate},
      {"too few rows", tooFewRows},
      {"text", "GIF89a, no really"},
  };
  for (const auto& c : cases) {
    const LayeredSurface surface = LoadPremultipliedPngBytes(c.bytes);
    EXPECT_TRUE(surface.Empty()) << c.what;
    EXPECT_TRUE(surface.pixels.empty()) << c.what;
  }
}

std::string WithHeaderSize(std::string png, std::uint32_t width, std::uint32_t height) {
  std::string header;
  AppendBigEndian(header, width);
  AppendBigEndian(header, height);
  png.replace(16, 8, header);
  const std::string body = png.substr(12, 17);  // "IHDR" and its 13 bytes
  std::string crc;
  AppendBigEndian(crc, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), 17)));
  png.replace(29, 4, crc);
  return png;
}

TEST(PngLoaderTest, HugeHeaderIsRefusedBeforeAllocating) {
  const std::string huge = WithHeaderSize(SamplePng(), 100000, 100000);
  // The doctored header is well-formed: libpng reads it without complaint.
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_NE(png_image_begin_read_from_memory(&image, huge.data(), huge.size()), 0) << image.message;
  EXPECT_EQ(image.width, 100000u);
  png_image_free(&image);

  test::StartAllocationWatch();
  const LayeredSurface surface = LoadPremultipliedPngBytes(huge);
  const std::size_t largest = test::StopAllocationWatch();
  EXPECT_TRUE(surface.Empty());
  EXPECT_LT(largest, std::size_t{1} << 20) << "asked for " << largest << " bytes";
}

TEST(PngLoaderTest, SideLimitIsInclusive) {
  const struct {
    int width;
    int height;
    bool accepted;
  } cases[] = {
      {kMaxPngSide, 1, true}, {1, kMaxPngSide, true}, {kMaxPngSide + 1, 1, false}, {1, kMaxPngSide + 1, false}};
  for (const auto& c : cases) {
    const std::vector<Rgba> pixels(static_cast<std::size_t>(c.width) * c.height, Rgba{9, 8, 7, 255});
    const LayeredSurface surface = LoadPremultipliedPngBytes(RgbaPng(c.width, c.height, pixels));
    EXPECT_EQ(!surface.Empty(), c.accepted) << c.width << " x " << c.height;
    if (c.accepted) {
      EXPECT_EQ(surface.pixels.back(), Bgra(7, 8, 9, 255));
    }
  }
}

// ---- the resource and file front ends -------------------------------------

class PngSourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = std::filesystem::temp_directory_path() /
            ("qv-png-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
             std::to_string(::getpid()));
    std::filesystem::create_directories(base_ / "art" / "resources");
    desktop_ = std::make_unique<headless::HeadlessDesktop>(base_ / "root", base_ / "art");
    process_ = std::make_unique<headless::HeadlessProcess>(*desktop_);
  }
  void TearDown() override {
    process_.reset();
    desktop_.reset();
    std::error_code ec;
    std::filesystem::remove_all(base_, ec);
  }
  static void Write(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }

  std::filesystem::path base_;
  std::unique_ptr<headless::HeadlessDesktop> desktop_;
  std::unique_ptr<headless::HeadlessProcess> process_;
};

TEST_F(PngSourcesTest, ResourceOfTypePng) {
  // A plate pixel of alpha 245 is fully opaque with its colour unchanged.
  Write(base_ / "art" / "resources" / "ICONBACKGROUND.png", RgbaPng(1, 1, {{10, 20, 30, 245}}));
  Write(base_ / "art" / "resources" / "BROKEN.png", "not a picture");
  const LayeredSurface plate = LoadPremultipliedPng(*process_, "IconBackGround");
  ASSERT_EQ(plate.width, 1);
  EXPECT_EQ(plate.pixels[0], Bgra(30, 20, 10, 255));
  EXPECT_TRUE(LoadPremultipliedPng(*process_, "NoSuchResource").Empty());
  EXPECT_TRUE(LoadPremultipliedPng(*process_, "Broken").Empty());
}

TEST_F(PngSourcesTest, FileByWindowsPath) {
  const std::string path = "C:\\Quorvel\\Icon\\SysTool\\Help.png";
  Write(desktop_->RealPath(path), RgbaPng(2, 1, {{200, 0, 0, 120}, {200, 0, 0, 230}}));
  Write(desktop_->RealPath("C:\\Quorvel\\Icon\\empty.png"), "");
  const LayeredSurface surface = LoadPremultipliedPngFile(*process_, path);
  ASSERT_EQ(surface.width, 2);
  EXPECT_EQ(surface.pixels[0], Bgra(0, 0, 100, 128));
  EXPECT_EQ(surface.pixels[1], Bgra(0, 0, 200, 244));
  EXPECT_TRUE(LoadPremultipliedPngFile(*process_, "C:\\Quorvel\\Icon\\missing.png").Empty());
  EXPECT_TRUE(LoadPremultipliedPngFile(*process_, "C:\\Quorvel\\Icon\\empty.png").Empty());
}

}  // namespace
}  // namespace qv::round
