// From a click in the file list to the picture the preview draws, the
// portable part, through the main window's own converter: the sprite file is
// judged on its header, read into the converter's buffer kept from the last
// selection, and decoded into the memory of the picture's previous image (the
// picture draws straight from those bytes). Side by side: one memcpy of the
// same BMP bytes, the goal's yardstick (2048 x 2048 within 3x of it); the
// first selection, when every buffer is fresh memory; and for a 64 x 48 sprite
// the open-and-read alone, which should dominate.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "conversion/file_io.h"
#include "conversion/xbm_converter.h"
#include "conversion/xbm_decoder.h"
#include "tests/conversion/xbm_test_files.h"

namespace {

namespace fs = std::filesystem;
using asg::test::Bytes;

// A sprite file in the temporary folder, removed at exit.
class SpriteFile {
 public:
  SpriteFile(int32_t width, int32_t height)
      : path_(fs::temp_directory_path() /
              ("asg-preview-bench-" + std::to_string(width) + "x" + std::to_string(height) + ".xbm")) {
    asg::test::PutFile(path_, asg::test::PatternXbm(width, height));
  }
  ~SpriteFile() { fs::remove(path_); }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

const SpriteFile& Sprite2048() {
  static const SpriteFile file(2048, 2048);
  return file;
}
const SpriteFile& Sprite64x48() {
  static const SpriteFile file(64, 48);
  return file;
}

// One selection after others: the buffers are those of the previous one.
void ClickToPicture(benchmark::State& state, const fs::path& path) {
  asg::XbmConverter converter;
  asg::BmpImage picture;
  for (auto _ : state) {
    if (converter.Decode(path, picture).failed()) state.SkipWithError("failed");
    benchmark::DoNotOptimize(picture.bytes().data());
    benchmark::ClobberMemory();
  }
}

// The first selection: the converter and the picture are fresh.
void FirstClickToPicture(benchmark::State& state, const fs::path& path) {
  for (auto _ : state) {
    asg::XbmConverter converter;
    asg::BmpImage picture;
    if (converter.Decode(path, picture).failed()) state.SkipWithError("failed");
    benchmark::DoNotOptimize(picture.bytes().data());
    benchmark::ClobberMemory();
  }
}

void MemcpyBmp(benchmark::State& state, const fs::path& path) {
  const Bytes bmp = asg::test::DecodedBmp(path);
  Bytes target(bmp.size());
  for (auto _ : state) {
    std::memcpy(target.data(), bmp.data(), bmp.size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bmp.size()));
}

void BM_MemcpyBmp2048(benchmark::State& state) { MemcpyBmp(state, Sprite2048().Path()); }
void BM_ClickToPicture2048(benchmark::State& state) { ClickToPicture(state, Sprite2048().Path()); }
void BM_FirstClickToPicture2048(benchmark::State& state) { FirstClickToPicture(state, Sprite2048().Path()); }

void BM_MemcpyBmp64x48(benchmark::State& state) { MemcpyBmp(state, Sprite64x48().Path()); }
void BM_OpenAndRead64x48(benchmark::State& state) {
  for (auto _ : state) {
    Bytes file;
    if (!asg::ReadWholeFile(Sprite64x48().Path(), file)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(file.data());
  }
}
void BM_DecodeInMemory64x48(benchmark::State& state) {
  Bytes file;
  asg::ReadWholeFile(Sprite64x48().Path(), file);
  for (auto _ : state) {
    asg::BmpImage bmp;
    asg::DecodeXbm(file, bmp);
    benchmark::DoNotOptimize(bmp.bytes().data());
  }
}
void BM_ClickToPicture64x48(benchmark::State& state) { ClickToPicture(state, Sprite64x48().Path()); }

}  // namespace

BENCHMARK(BM_MemcpyBmp2048)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClickToPicture2048)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FirstClickToPicture2048)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyBmp64x48)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_OpenAndRead64x48)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_DecodeInMemory64x48)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_ClickToPicture64x48)->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
