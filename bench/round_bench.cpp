// The PNG loader against a bare libpng decode of the same picture, the ring
// layout, the software canvas (a skin at its own size and at half size, one
// clock frame) and the icon reader. The loader's goal is at most 1.15 times
// the bare decode; a 300 x 300 draw should stay well under 50 ms.

#include <benchmark/benchmark.h>
#include <png.h>
#include <time.h>  // the thread CPU clock

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "picture/IcoFile.h"
#include "platform/headless/SoftwareCanvas.h"
#include "picture/Picture.h"
#include "picture/PngLoader.h"
#include "round/RingGeometry.h"

namespace {

// A 300 × 300 ring skin as a designer would draw it: a soft-edged band whose
// colour turns with the angle, a fully transparent outside and hole, and a
// little grain so that the rows do not compress to nothing.
std::string MakeRingSkin() {
  constexpr int kSide = 300;
  std::vector<png_byte> rgba(static_cast<std::size_t>(kSide) * kSide * 4);
  std::uint32_t grain = 12345;
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const double dx = x - 149.5;
      const double dy = y - 149.5;
      const double distance = std::sqrt(dx * dx + dy * dy);
      const double fromBand = std::fabs(distance - 110.0);  // band centre at radius 110, 30 wide
      double alpha = 0;
      if (fromBand < 15)
        alpha = 255;
      else if (fromBand < 35)
        alpha = 255 * (35 - fromBand) / 20;
      const double angle = std::atan2(dy, dx);
      grain = grain * 1103515245u + 12345u;
      const int noise = static_cast<int>((grain >> 16) % 7) - 3;
      png_byte* p = &rgba[(static_cast<std::size_t>(y) * kSide + x) * 4];
      auto channel = [&](double v) { return static_cast<png_byte>(std::clamp(static_cast<int>(v) + noise, 0, 255)); };
      p[0] = channel(128 + 100 * std::cos(angle));
      p[1] = channel(128 + 100 * std::sin(angle));
      p[2] = channel(200 - distance / 2);
      p[3] = alpha == 0 ? 0 : channel(alpha);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = kSide;
  image.height = kSide;
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
  std::string bytes(size, '\0');
  if (png_image_write_to_memory(&image, bytes.data(), &size, 0, rgba.data(), 0, nullptr) == 0) return {};
  bytes.resize(size);
  return bytes;
}

const std::string& RingSkin() {
  static const std::string bytes = MakeRingSkin();
  return bytes;
}

// What any program decoding a PNG with libpng's simplified interface pays:
// the header, an uninitialised buffer, the decode into BGRA.
void BM_BareLibpngDecode(benchmark::State& state) {
  const std::string& bytes = RingSkin();
  for (auto _ : state) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, bytes.data(), bytes.size());
    image.format = PNG_FORMAT_BGRA;
    std::unique_ptr<png_byte[]> buffer(new png_byte[PNG_IMAGE_SIZE(image)]);
    png_image_finish_read(&image, nullptr, buffer.get(), 0, nullptr);
    benchmark::DoNotOptimize(buffer.get());
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::to_string(bytes.size()) + " bytes of PNG");
}
BENCHMARK(BM_BareLibpngDecode);

void BM_LoadPremultipliedPngBytes(benchmark::State& state) {
  const std::string& bytes = RingSkin();
  for (auto _ : state) {
    qv::LayeredSurface surface = qv::picture::LoadPremultipliedPngBytes(bytes);
    benchmark::DoNotOptimize(surface.pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LoadPremultipliedPngBytes);

// Both decodes alternately in one loop, timed by this thread's CPU clock, so
// that a busy machine slows them alike; the counter is the loader's time over
// the bare decode's.
double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void BM_LoaderOverBareRatio(benchmark::State& state) {
  const std::string& bytes = RingSkin();
  double bare = 0;
  double loader = 0;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    {
      png_image image{};
      image.version = PNG_IMAGE_VERSION;
      png_image_begin_read_from_memory(&image, bytes.data(), bytes.size());
      image.format = PNG_FORMAT_BGRA;
      std::unique_ptr<png_byte[]> buffer(new png_byte[PNG_IMAGE_SIZE(image)]);
      png_image_finish_read(&image, nullptr, buffer.get(), 0, nullptr);
      benchmark::DoNotOptimize(buffer.get());
      benchmark::ClobberMemory();
    }
    const double middle = ThreadCpuSeconds();
    {
      qv::LayeredSurface surface = qv::picture::LoadPremultipliedPngBytes(bytes);
      benchmark::DoNotOptimize(surface.pixels.data());
      benchmark::ClobberMemory();
    }
    const double end = ThreadCpuSeconds();
    bare += middle - start;
    loader += end - middle;
  }
  state.counters["loader/bare"] = loader / bare;
}
BENCHMARK(BM_LoaderOverBareRatio);

// One rotation tick recomputes all twenty offsets.
void BM_ComputeRingOffsets(benchmark::State& state) {
  double angle = 0;
  for (auto _ : state) {
    angle = qv::round::StepRotationAngle(angle, true);
    qv::round::RingOffsets offsets = qv::round::ComputeRingOffsets(105, 35, angle, qv::Size{200, 174});
    benchmark::DoNotOptimize(offsets);
  }
}
BENCHMARK(BM_ComputeRingOffsets);

// ---- the software canvas ------------------------------------------------------

// Premultiplied pictures made by a function of the position: enough structure
// that the filter's work is the real one.
template <typename Shade>
qv::LayeredSurface MakeSurface(int width, int height, Shade shade) {
  qv::LayeredSurface s(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double alpha = std::clamp(shade(x, y), 0.0, 1.0);
      const auto a = static_cast<std::uint8_t>(std::lround(alpha * 255));
      const auto c = [&](int v) { return static_cast<std::uint8_t>(v * a / 255); };
      s.At(x, y) = qv::PackBgra(c(60 + x % 150), c(90 + y % 120), c(200), a);
    }
  return s;
}

const qv::LayeredSurface& RingSkinSurface() {
  static const qv::LayeredSurface surface = qv::picture::LoadPremultipliedPngBytes(RingSkin());
  return surface;
}

void DrawSkin(benchmark::State& state, double side) {
  qv::headless::SoftwareCanvas canvas;
  qv::LayeredSurface target(static_cast<int>(side), static_cast<int>(side));
  qv::DrawParams params;
  params.destination = {0, 0, side, side};
  params.blend = qv::Blend::SourceCopy;
  for (auto _ : state) {
    canvas.DrawImage(target, RingSkinSurface(), params);
    benchmark::DoNotOptimize(target.pixels.data());
    benchmark::ClobberMemory();
  }
}

// The ring skin at the default background size, and at half of it.
void BM_CanvasSkin300To300(benchmark::State& state) { DrawSkin(state, 300); }
BENCHMARK(BM_CanvasSkin300To300)->Unit(benchmark::kMillisecond);
void BM_CanvasSkin300To150(benchmark::State& state) { DrawSkin(state, 150); }
BENCHMARK(BM_CanvasSkin300To150)->Unit(benchmark::kMillisecond);

// An item's picture, as files give them (48, 128 and 256 pixels), drawn into
// the 40-pixel icon place of an item: every item at start pays this once.
void BM_CanvasItemIcon(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  qv::LayeredSurface picture(side, side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) picture.At(x, y) = (x / 8 + y / 8) % 2 ? 0xFF3060C0u : 0x80402010u;
  qv::headless::SoftwareCanvas canvas;
  qv::LayeredSurface target(50, 50);
  qv::DrawParams params;
  params.destination = {5, 5, 40, 40};
  for (auto _ : state) {
    canvas.DrawImage(target, picture, params);
    benchmark::DoNotOptimize(target.pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CanvasItemIcon)->Arg(48)->Arg(128)->Arg(256)->Unit(benchmark::kMicrosecond);

// The dock's bar of 30 items (1,550 x 100) drawn from a 128 x 100 theme: two
// caps at their own size and the middle stretched across. The start draws it
// once while it waits; a magnified row draws it at every move.
void BM_CanvasDockBar(benchmark::State& state) {
  const qv::LayeredSurface theme = MakeSurface(128, 100, [](int x, int y) { return 0.3 + 0.005 * ((x * 7 + y) % 100); });
  qv::headless::SoftwareCanvas canvas;
  qv::LayeredSurface target(1550, 100);
  const qv::RectF sources[] = {{0, 0, 25, 100}, {25, 0, 78, 100}, {103, 0, 25, 100}};
  const qv::RectF places[] = {{0, 0, 25, 100}, {25, 0, 1500, 100}, {1525, 0, 25, 100}};
  for (auto _ : state) {
    for (int i = 0; i < 3; ++i) {
      qv::DrawParams params;
      params.destination = places[i];
      params.source = &sources[i];
      params.blend = qv::Blend::SourceCopy;
      canvas.DrawImage(target, theme, params);
    }
    benchmark::DoNotOptimize(target.pixels.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CanvasDockBar)->Unit(benchmark::kMillisecond);

struct ClockPictures {
  qv::LayeredSurface plate, face, hour, minute, second, cap, highlights;
};

ClockPictures SyntheticClock() {
  ClockPictures p;
  p.plate = qv::LayeredSurface(115, 115);
  auto disc = [](double cx, double cy, double r, int x, int y) {
    return r + 0.5 - std::hypot(x + 0.5 - cx, y + 0.5 - cy);  // soft by one pixel
  };
  p.face = MakeSurface(230, 230, [&](int x, int y) { return disc(115, 115, 112, x, y); });
  // A hand in the upper half of its strip, pointing to twelve.
  auto hand = [](double halfWidth, double length) {
    return MakeSurface(23, 230, [=](int x, int y) {
      const double across = halfWidth + 0.5 - std::fabs(x + 0.5 - 11.5);
      const double along = std::min(y + 0.5 - (115 - length), 125.0 - y);
      return std::min(across, along);
    });
  };
  p.hour = hand(3, 60);
  p.minute = hand(2, 90);
  p.second = hand(0.7, 100);
  p.cap = MakeSurface(23, 230, [&](int x, int y) { return disc(11.5, 115, 6, x, y); });
  p.highlights = MakeSurface(230, 230, [&](int x, int y) { return 0.3 * disc(100, 70, 80, x, y) / 80; });
  return p;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The art generator's clock, when this build has drawn it.
bool ArtClock(ClockPictures& p) {
  const std::filesystem::path dir = std::filesystem::path(QV_ART_DIR) / "Icon" / "ClockRes";
  const std::array<qv::LayeredSurface*, 6> pictures = {&p.face, &p.hour, &p.minute, &p.second, &p.cap, &p.highlights};
  const std::array<const char*, 6> names = {"trad.png",   "trad_h.png",   "trad_m.png",
                                            "trad_s.png", "trad_dot.png", "trad_highlights.png"};
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    *pictures[i] = qv::picture::LoadPictureBytes(ReadFileBytes(dir / names[i]));
    if (pictures[i]->Empty()) return false;
  }
  p.plate = qv::LayeredSurface(115, 115);
  return true;
}

// One frame as the clock timer draws it at 10:08:37 on the default 115-pixel center.
void DrawClockFrame(qv::ICanvas& canvas, qv::LayeredSurface& center, const ClockPictures& p) {
  const double side = center.width;
  const qv::RectF whole{0, 0, side, side};
  const qv::RectF strip{side / 2 - side / 20, 0, side / 10, side};
  const qv::PointF middle{side / 2, side / 2};
  qv::DrawParams params;
  params.destination = whole;
  params.blend = qv::Blend::SourceCopy;
  canvas.DrawImage(center, p.plate, params);
  params.blend = qv::Blend::SourceOver;
  canvas.DrawImage(center, p.face, params);
  params.destination = strip;
  params.pivot = middle;
  const std::array<std::pair<const qv::LayeredSurface*, double>, 3> hands = {
      {{&p.hour, 10 * 30 + 8 / 60.0 * 30}, {&p.minute, 8 / 60.0 * 360}, {&p.second, 37 * 6.0}}};
  for (const auto& [picture, degrees] : hands) {
    params.rotationDegrees = degrees;
    canvas.DrawImage(center, *picture, params);
  }
  params.rotationDegrees = 0;
  canvas.DrawImage(center, p.cap, params);
  params.destination = whole;
  canvas.DrawImage(center, p.highlights, params);
}

void BM_ClockFrame(benchmark::State& state) {
  ClockPictures pictures = SyntheticClock();
  if (state.range(0) == 1 && !ArtClock(pictures)) {
    state.SkipWithError("no clock pictures under " QV_ART_DIR);
    return;
  }
  qv::headless::SoftwareCanvas canvas;
  qv::LayeredSurface center(115, 115);
  for (auto _ : state) {
    DrawClockFrame(canvas, center, pictures);
    benchmark::DoNotOptimize(center.pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetLabel(state.range(0) == 1 ? "generated art" : "synthetic pictures");
}
BENCHMARK(BM_ClockFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// ---- the icon reader -----------------------------------------------------------

void PutLittle(std::string& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A cache file as the extraction writes it: one 48 x 48 32-bit image with a
// soft edge, or one 256-pixel PNG image.
std::string MakeIcon(bool png) {
  const int side = png ? 256 : 48;
  std::vector<std::uint32_t> straight(static_cast<std::size_t>(side) * side);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const double edge = side / 2.0 - 1 - std::hypot(x + 0.5 - side / 2.0, y + 0.5 - side / 2.0);
      const auto a = static_cast<std::uint32_t>(std::clamp(edge * 128, 0.0, 255.0));
      straight[static_cast<std::size_t>(y) * side + x] = a << 24 | static_cast<std::uint32_t>(x * 5) << 16 | 0x4080u;
    }
  std::string image;
  if (png) {
    png_image info{};
    info.version = PNG_IMAGE_VERSION;
    info.width = info.height = static_cast<png_uint_32>(side);
    info.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&info, nullptr, &size, 0, straight.data(), 0, nullptr);
    image.resize(size);
    png_image_write_to_memory(&info, image.data(), &size, 0, straight.data(), 0, nullptr);
    image.resize(size);
  } else {
    for (const std::uint32_t v : {40u, 48u, 96u}) PutLittle(image, v, 4);
    PutLittle(image, 1, 2);
    PutLittle(image, 32, 2);
    image += std::string(24, '\0');
    for (int y = side - 1; y >= 0; --y)
      for (int x = 0; x < side; ++x) PutLittle(image, straight[static_cast<std::size_t>(y) * side + x], 4);
    image += std::string(static_cast<std::size_t>(side) * 8, '\0');  // the AND mask, all opaque
  }
  std::string file;
  PutLittle(file, 0, 2);
  PutLittle(file, 1, 2);
  PutLittle(file, 1, 2);
  PutLittle(file, png ? 0 : 48, 1);
  PutLittle(file, png ? 0 : 48, 1);
  PutLittle(file, 0, 2);
  PutLittle(file, 1, 2);
  PutLittle(file, 32, 2);
  PutLittle(file, static_cast<std::uint32_t>(image.size()), 4);
  PutLittle(file, 22, 4);
  return file + image;
}

void BM_ReadIcoForDrawing(benchmark::State& state) {
  const std::string file = MakeIcon(state.range(0) == 1);
  for (auto _ : state) {
    std::optional<qv::picture::IcoImage> image = qv::picture::ReadIcoForDrawing(file);
    benchmark::DoNotOptimize(image);
  }
  state.SetLabel(state.range(0) == 1 ? "256 px PNG image" : "48 px 32-bit image");
}
BENCHMARK(BM_ReadIcoForDrawing)->Arg(0)->Arg(1);

}  // namespace
