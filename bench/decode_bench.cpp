// DecodeXbm on sprites already in memory, side by side with a memcpy of the
// same number of BMP bytes (the goal: decoding takes at most 2x that memcpy).
// Every benchmark writes into a buffer that it reuses, as a batch does.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "conversion/xbm_decoder.h"
#include "tests/conversion/xbm_test_files.h"

namespace {

using asg::test::Bytes;
using asg::test::PatternSkipRunXbm;
using asg::test::PatternXbm;

void Decode(benchmark::State& state, const Bytes& file) {
  asg::BmpImage bmp;
  if (!asg::DecodeXbm(file, bmp).ok()) {
    state.SkipWithError("decoding failed");
    return;
  }
  for (auto _ : state) {
    asg::DecodeXbm(file, bmp);
    benchmark::DoNotOptimize(bmp.bytes().data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bmp.bytes().size()));
  state.counters["bmp_bytes"] = static_cast<double>(bmp.bytes().size());
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
  static const Bytes file = PatternXbm(2048, 2048);
  Decode(state, file);
}

// About 120 gaps per row: gaps and runs of 1 to 16 pixels.
void BM_DecodeSkipRun2048Gaps16(benchmark::State& state) {
  static const Bytes file = PatternSkipRunXbm(2048, 2048, 16);
  Decode(state, file);
}

// About 32 gaps per row: gaps and runs of 1 to 64 pixels.
void BM_DecodeSkipRun2048Gaps64(benchmark::State& state) {
  static const Bytes file = PatternSkipRunXbm(2048, 2048, 64);
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
  static const Bytes file = PatternXbm(2048, 2048);
  DecodePortable(state, file);
}

void BM_DecodeSkipRun2048Gaps16Portable(benchmark::State& state) {
  static const Bytes file = PatternSkipRunXbm(2048, 2048, 16);
  DecodePortable(state, file);
}

void BM_MemcpyBmp64x48(benchmark::State& state) { MemcpyBmp(state, 64, 48); }

void BM_DecodePlain64x48(benchmark::State& state) {
  static const Bytes file = PatternXbm(64, 48);
  Decode(state, file);
}

void BM_DecodeSkipRun64x48(benchmark::State& state) {
  static const Bytes file = PatternSkipRunXbm(64, 48, 16);
  Decode(state, file);
}

// A fresh output buffer each time, as a single conversion has: the page faults
// and the first touch of the memory are part of the cost.
void BM_DecodePlain2048FreshBuffer(benchmark::State& state) {
  static const Bytes file = PatternXbm(2048, 2048);
  for (auto _ : state) {
    asg::BmpImage bmp;
    asg::DecodeXbm(file, bmp);
    benchmark::DoNotOptimize(bmp.bytes().data());
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
