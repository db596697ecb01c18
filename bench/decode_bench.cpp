// DecodeXbm on sprites already in memory, side by side with a memcpy of the
// same number of BMP bytes (the goal: decoding takes at most 2x that memcpy).
// Every benchmark writes into a buffer that it reuses, as a batch does.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "conversion/xbm_decoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v);
  Put16(b, v >> 16);
}

Bytes Header(int32_t width, int32_t height, uint16_t encoding) {
  Bytes b(64, 0);
  for (int i = 0; i < 4; ++i) {
    b[20 + i] = static_cast<uint8_t>(static_cast<uint32_t>(width) >> (8 * i));
    b[24 + i] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (8 * i));
  }
  b[30] = static_cast<uint8_t>(encoding);
  b[31] = static_cast<uint8_t>(encoding >> 8);
  return b;
}

uint16_t Pixel(uint32_t x, uint32_t y) { return static_cast<uint16_t>(x * 2654435761u ^ y * 40503u); }

Bytes PlainSprite(int32_t width, int32_t height) {
  Bytes b = Header(width, height, 0);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) Put16(b, Pixel(x, y));
  return b;
}

// Rows of alternating gaps and runs of 1 to `longest` pixels (random lengths).
Bytes SkipRunSprite(int32_t width, int32_t height, uint32_t longest) {
  std::vector<Bytes> rows(height);
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return 1 + (seed >> 16) % n;
  };
  for (int32_t y = 0; y < height; ++y) {
    Bytes& row = rows[y];
    int32_t x = 0;
    while (x < width) {
      const int32_t gap = std::min<int32_t>(static_cast<int32_t>(next(longest)), width - x);
      Put16(row, 2 * gap);
      x += gap;
      if (x == width) break;
      const int32_t run = std::min<int32_t>(static_cast<int32_t>(next(longest)), width - x);
      Put16(row, 2 * run);
      for (int32_t i = 0; i < run; ++i) Put16(row, Pixel(x + i, y));
      x += run;
    }
  }
  Bytes b = Header(width, height, 1);
  uint32_t offset = 4 * static_cast<uint32_t>(height);
  for (const Bytes& row : rows) {
    Put32(b, offset);
    offset += static_cast<uint32_t>(row.size());
  }
  for (const Bytes& row : rows) b.insert(b.end(), row.begin(), row.end());
  return b;
}

void Decode(benchmark::State& state, const Bytes& file) {
  Bytes bmp;
  if (!asg::DecodeXbm(file, bmp).ok()) {
    state.SkipWithError("decoding failed");
    return;
  }
  for (auto _ : state) {
    asg::DecodeXbm(file, bmp);
    benchmark::DoNotOptimize(bmp.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bmp.size()));
  state.counters["bmp_bytes"] = static_cast<double>(bmp.size());
}

// The yardstick: one copy of the BMP bytes of a width x height picture.
void MemcpyBmp(benchmark::State& state, int32_t width, uint32_t height) {
  const size_t size = 54 + asg::BmpRowBytes(width) * height;
  Bytes src(size, 0x5A), dst(size, 0);
  for (auto _ : state) {
    std::memcpy(dst.data(), src.data(), size);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
  state.counters["bmp_bytes"] = static_cast<double>(size);
}

void BM_MemcpyBmp2048(benchmark::State& state) { MemcpyBmp(state, 2048, 2048); }

void BM_DecodePlain2048(benchmark::State& state) {
  static const Bytes file = PlainSprite(2048, 2048);
  Decode(state, file);
}

// About 120 gaps per row: gaps and runs of 1 to 16 pixels.
void BM_DecodeSkipRun2048Gaps16(benchmark::State& state) {
  static const Bytes file = SkipRunSprite(2048, 2048, 16);
  Decode(state, file);
}

// About 32 gaps per row: gaps and runs of 1 to 64 pixels.
void BM_DecodeSkipRun2048Gaps64(benchmark::State& state) {
  static const Bytes file = SkipRunSprite(2048, 2048, 64);
  Decode(state, file);
}

// The same through the portable pixel code, which processors without SSSE3 and
// other architectures use.
void DecodePortable(benchmark::State& state, const Bytes& file) {
  asg::UsePixelCode(asg::PixelCode::Portable);
  Decode(state, file);
  asg::UsePixelCode(asg::PixelCode::Fastest);
}

void BM_DecodePlain2048Portable(benchmark::State& state) {
  static const Bytes file = PlainSprite(2048, 2048);
  DecodePortable(state, file);
}

void BM_DecodeSkipRun2048Gaps16Portable(benchmark::State& state) {
  static const Bytes file = SkipRunSprite(2048, 2048, 16);
  DecodePortable(state, file);
}

void BM_MemcpyBmp64x48(benchmark::State& state) { MemcpyBmp(state, 64, 48); }

void BM_DecodePlain64x48(benchmark::State& state) {
  static const Bytes file = PlainSprite(64, 48);
  Decode(state, file);
}

void BM_DecodeSkipRun64x48(benchmark::State& state) {
  static const Bytes file = SkipRunSprite(64, 48, 16);
  Decode(state, file);
}

// A fresh output buffer each time, as a single conversion has: the page faults
// and the first touch of the memory are part of the cost.
void BM_DecodePlain2048FreshBuffer(benchmark::State& state) {
  static const Bytes file = PlainSprite(2048, 2048);
  for (auto _ : state) {
    Bytes bmp;
    asg::DecodeXbm(file, bmp);
    benchmark::DoNotOptimize(bmp.data());
  }
}

}  // namespace

BENCHMARK(BM_MemcpyBmp2048)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodePlain2048)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeSkipRun2048Gaps16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeSkipRun2048Gaps64)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodePlain2048Portable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeSkipRun2048Gaps16Portable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyBmp64x48)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_DecodePlain64x48)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_DecodeSkipRun64x48)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_DecodePlain2048FreshBuffer)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
