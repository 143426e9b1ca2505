// The PNG loader against a bare libpng decode of the same picture, and the
// ring layout. The loader's goal is at most 1.15 times the bare decode.

#include <benchmark/benchmark.h>
#include <png.h>
#include <time.h>  // the thread CPU clock

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "round/PngLoader.h"
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
    qv::LayeredSurface surface = qv::round::LoadPremultipliedPngBytes(bytes);
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
      qv::LayeredSurface surface = qv::round::LoadPremultipliedPngBytes(bytes);
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

}  // namespace
