#include "conversion/xbm_decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <vector>

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define ASG_SSSE3_PATH 1
#include <tmmintrin.h>
#endif

namespace asg {
namespace {


// Pixel conversion comes in two sets of building blocks with the same shape,
// chosen once at run time: portable code with two tables, and SSSE3 on x86
// processors that have it. Each set has
//  - Convert16: 16 pixel words (32 bytes) into exactly 48 bytes;
//  - Convert4: 4 pixel words into exactly 12 bytes.
// The row decoders are templates over the set, so both share one body.

// RGB565 to the 24-bit B,G,R value (blue in bits 0..7) through two tables, one
// indexed by the low byte of the word and one by the high byte; the two results
// never overlap, so they are OR-ed.
struct Rgb565Tables {
  uint32_t low[256];
  uint32_t high[256];
};

constexpr Rgb565Tables MakeRgb565Tables() {
  Rgb565Tables t{};
  for (uint32_t b = 0; b < 256; ++b) {
    const Rgb565Fields lo = SplitRgb565(static_cast<uint16_t>(b));
    const Rgb565Fields hi = SplitRgb565(static_cast<uint16_t>(b << 8));
    t.low[b] = (lo.blue * 8u) | (lo.green * 4u) << 8;
    t.high[b] = (hi.green * 4u) << 8 | (hi.red * 8u) << 16;
  }
  return t;
}

constexpr Rgb565Tables kRgb565 = MakeRgb565Tables();

inline uint32_t Bgr(const uint8_t* word) { return kRgb565.low[word[0]] | kRgb565.high[word[1]]; }

inline void Store32(uint8_t* p, uint32_t v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, 4);
  } else {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
  }
}

struct PortablePixels {
// 4 pixels into exactly 12 bytes, as three 32-bit stores.
  static void Convert4(const uint8_t* src, uint8_t* dst) {
    const uint32_t p0 = Bgr(src), p1 = Bgr(src + 2), p2 = Bgr(src + 4), p3 = Bgr(src + 6);
    Store32(dst, p0 | p1 << 24);
    Store32(dst + 4, p1 >> 8 | p2 << 16);
    Store32(dst + 8, p2 >> 16 | p3 << 8);
  }
  static void Convert16(const uint8_t* src, uint8_t* dst) {
    for (int i = 0; i < 4; ++i) Convert4(src + 8 * i, dst + 12 * i);
  }
};

#if defined(ASG_SSSE3_PATH)
// SSSE3: per word, blue and green are built in place as the low and high byte
// of a 16-bit lane, and red is the word's high byte masked; pshufb then picks
// the bytes of 16 pixels into three 16-byte stores.
struct ByteMask {
  alignas(16) int8_t bytes[16];
};

// The bytes of output block `block` (0..2) of 16 pixels, taken from 16 bytes
// that hold the blue/green pairs of pixels `firstPair`.. (blueGreen), or from
// the 16 packed red bytes (red); -1 marks a byte that the other source fills.
constexpr ByteMask MakeMask(int block, int firstPair, bool red) {
  ByteMask m{};
  for (int k = 0; k < 16; ++k) {
    const int at = 16 * block + k, pixel = at / 3, field = at % 3;
    if (red) {
      m.bytes[k] = static_cast<int8_t>(field == 2 ? pixel : -1);
    } else {
      m.bytes[k] = static_cast<int8_t>(field == 2 ? -1 : 2 * (pixel - firstPair) + field);
    }
  }
  return m;
}

constexpr ByteMask kBlueGreen0 = MakeMask(0, 0, false), kRed0 = MakeMask(0, 0, true);
constexpr ByteMask kBlueGreen1 = MakeMask(1, 5, false), kRed1 = MakeMask(1, 0, true);
constexpr ByteMask kBlueGreen2 = MakeMask(2, 8, false), kRed2 = MakeMask(2, 0, true);

struct Ssse3Pixels {
  [[gnu::target("ssse3")]] static __m128i Mask(const ByteMask& m) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(m.bytes));
  }
  // Blue in the low byte and green in the high byte of each 16-bit lane.
  [[gnu::target("ssse3")]] static __m128i BlueGreen(__m128i v) {
    const __m128i blue = _mm_and_si128(_mm_slli_epi16(v, 3), _mm_set1_epi16(0x00F8));
    const __m128i green = _mm_and_si128(_mm_slli_epi16(v, 5), _mm_set1_epi16(static_cast<short>(0xFC00)));
    return _mm_or_si128(blue, green);
  }
  [[gnu::target("ssse3")]] static void Convert16(const uint8_t* src, uint8_t* dst) {
    const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src));
    const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 16));
    const __m128i red = _mm_and_si128(_mm_packus_epi16(_mm_srli_epi16(v0, 8), _mm_srli_epi16(v1, 8)),
                                      _mm_set1_epi8(static_cast<char>(0xF8)));
    const __m128i bg0 = BlueGreen(v0), bg1 = BlueGreen(v1);
    const __m128i bg5 = _mm_alignr_epi8(bg1, bg0, 10);  // pairs of pixels 5..12
    Store(dst, bg0, kBlueGreen0, red, kRed0);
    Store(dst + 16, bg5, kBlueGreen1, red, kRed1);
    Store(dst + 32, bg1, kBlueGreen2, red, kRed2);
  }
  [[gnu::target("ssse3")]] static void Store(uint8_t* dst, __m128i blueGreen, const ByteMask& blueGreenMask,
                                             __m128i red, const ByteMask& redMask) {
    const __m128i out =
        _mm_or_si128(_mm_shuffle_epi8(blueGreen, Mask(blueGreenMask)), _mm_shuffle_epi8(red, Mask(redMask)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), out);
  }
  static void Convert4(const uint8_t* src, uint8_t* dst) { PortablePixels::Convert4(src, dst); }
};
#endif

inline void Convert1(const uint8_t* src, uint8_t* dst) {
  const uint32_t p = Bgr(src);
  dst[0] = static_cast<uint8_t>(p);
  dst[1] = static_cast<uint8_t>(p >> 8);
  dst[2] = static_cast<uint8_t>(p >> 16);
}

// Converts `count` pixel words at `src` into exactly 3 * count bytes at `dst`.
template <class Pixels>
void ConvertPixels(const uint8_t* src, uint8_t* dst, size_t count) {
  size_t i = 0;
  for (; i + 16 <= count; i += 16) Pixels::Convert16(src + 2 * i, dst + 3 * i);
  for (; i + 4 <= count; i += 4) Pixels::Convert4(src + 2 * i, dst + 3 * i);
  for (; i < count; ++i) Convert1(src + 2 * i, dst + 3 * i);
}

// A little-endian 16-bit word.
inline uint16_t Load16(const uint8_t* p) {
  if constexpr (std::endian::native == std::endian::little) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
  }
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Bounds-checked little-endian reads of the file held in memory.
class Input {
 public:
  explicit Input(std::span<const uint8_t> file) : data_(file.data()), size_(file.size()) {}
  uint64_t size() const { return size_; }
  bool Holds(uint64_t offset, uint64_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }
  const uint8_t* At(uint64_t offset) const { return data_ + offset; }
  uint16_t U16(uint64_t offset) const { return Load16(data_ + offset); }
  uint32_t U32(uint64_t offset) const {
    return static_cast<uint32_t>(U16(offset)) | static_cast<uint32_t>(U16(offset + 2)) << 16;
  }

 private:
  const uint8_t* data_;
  uint64_t size_;
};

XbmResult Fail(XbmResult r, XbmError error, std::string reason) {
  r.error = error;
  r.reason = std::move(reason);
  return r;
}

XbmResult Truncated(XbmResult r, const char* where, uint64_t offset) {
  return Fail(std::move(r), XbmError::Truncated,
              std::string("ends in ") + where + " at offset " + std::to_string(offset));
}

std::string RowAt(uint32_t row, uint64_t offset) {
  return "in row " + std::to_string(row) + " at offset " + std::to_string(offset);
}

// The length of the pair of a gap and a run at `pos` when it adds no pixel
// (SkipBytes and PixelBytes both 0 or 1) and lies wholly in the file: 4 bytes,
// or 5 with the one byte of a PixelBytes 1. Otherwise 0.
inline uint32_t EmptyPairBytes(const Input& in, uint64_t pos) {
  if (!in.Holds(pos, 4)) return 0;
  const uint32_t skipBytes = in.U16(pos), pixelBytes = in.U16(pos + 2);
  if (skipBytes > 1 || pixelBytes > 1 || !in.Holds(pos, 4 + pixelBytes)) return 0;
  return 4 + pixelBytes;
}

}  // namespace

// Pairs of a gap and a run that add no pixel are allowed in any number: each
// takes 4 or 5 bytes of the file, so one walk over them ends inside the file.
// But rows may share their data, and many rows that all lead into one long
// stretch of such pairs would cost rows times stretch. So where a long stretch
// ends is remembered at marked offsets along it, and a later walk that lands
// on a mark jumps to the end. A walk moves 4 or 5 bytes at a time and so cannot
// pass a group of 5 marked offsets without landing on one: every walk meets a
// mark within spacing / 4 steps. The spacing grows with the file so that the
// marks of the whole file fit in a table whose size follows the image's.
struct EmptyPairJumps {
  EmptyPairJumps(uint64_t fileSize, uint64_t imageBytes)
      : capacity(std::max<uint64_t>(1 << 16, imageBytes / 256)) {
    while (5 * (fileSize / spacing + 1) > capacity) spacing *= 2;
  }

  // The offset of the first pair from `pos` on that is not a pair without
  // pixels lying wholly in the file; `pos` itself when there is none.
  uint64_t Skip(const Input& in, uint64_t pos) {
    const uint64_t from = pos;
    uint64_t steps = 0;
    uint64_t end = 0;
    for (uint32_t bytes; (bytes = EmptyPairBytes(in, pos)) != 0; pos += bytes, ++steps) {
      if (used > 0 && Marked(pos) && (end = Find(pos)) != 0) break;
    }
    if (end == 0) end = pos;
    if (steps >= kRememberFrom) Remember(in, from, end);
    return end;
  }

 private:
  static constexpr uint64_t kRememberFrom = 64;  // shorter walks cost no more than finding a mark
  struct Entry {
    uint64_t key = 0;  // the marked offset + 1; 0 for a free slot
    uint64_t end = 0;
  };

  bool Marked(uint64_t pos) const { return (pos & (spacing - 1)) < 5; }
  size_t Slot(uint64_t key) const {
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> (64 - slotBits)) ;
  }
  uint64_t Find(uint64_t pos) const {
    for (size_t i = Slot(pos + 1);; i = (i + 1) & (table.size() - 1)) {
      if (table[i].key == pos + 1) return table[i].end;
      if (table[i].key == 0) return 0;
    }
  }
  // False when the table is full.
  bool Insert(uint64_t pos, uint64_t end) {
    if (used >= capacity) return false;
    if (2 * (used + 1) > table.size()) Grow();
    size_t i = Slot(pos + 1);
    while (table[i].key != 0 && table[i].key != pos + 1) i = (i + 1) & (table.size() - 1);
    if (table[i].key == 0) ++used;
    table[i] = {pos + 1, end};
    return true;
  }
  void Grow() {
    std::vector<Entry> old(size_t{1} << (slotBits + 1));
    old.swap(table);
    ++slotBits;
    used = 0;
    for (const Entry& e : old) {
      if (e.key != 0) Insert(e.key - 1, e.end);
    }
  }
  // Walks from `from` again and notes `end` at every mark on the way, up to a
  // mark already known (which leads to `end` as well).
  void Remember(const Input& in, uint64_t from, uint64_t end) {
    for (uint64_t pos = from; pos != end;) {
      if (Marked(pos)) {
        if (used > 0 && Find(pos) != 0) return;
        if (!Insert(pos, end)) return;
      }
      pos += EmptyPairBytes(in, pos);
    }
  }

  uint64_t capacity;      // most entries kept
  uint64_t spacing = 256;  // a power of two
  std::vector<Entry> table;
  int slotBits = 9;  // the table's first growth makes 1024 slots
  uint64_t used = 0;
};

namespace {

// What the row decoders need to know of a file whose header passed the checks.
struct RowSource {
  Input in;
  uint64_t dataStart;
  uint32_t width;
  uint32_t height;
  uint32_t rowBytes;  // BMP bytes of one row, pad included
  bool skipRun;
  EmptyPairJumps* emptyPairs;

  static RowSource Of(std::span<const uint8_t> file, const XbmHeader& h, EmptyPairJumps* emptyPairs) {
    return {Input(file),          h.dataStart,    static_cast<uint32_t>(h.width), static_cast<uint32_t>(h.height),
            BmpRowBytes(h.width), h.encoding == 1, emptyPairs};
  }
  void Pad(uint8_t* row) const {
    for (uint32_t i = 0; i < width % 4; ++i) row[3 * width + i] = 0;
  }
};

// Where and how a skip-run row is damaged. The row loops only record it; the
// reason text is made once, on failure.
struct RowFault {
  enum class Kind : uint8_t { None, Truncated, LongGap, GapPastWidth, LongRun, RunPastWidth };
  Kind kind = Kind::None;
  uint32_t row = 0;  // in the file's order
  uint64_t offset = 0;
  uint32_t value = 0;  // the gap in pixels or the run in bytes
  explicit operator bool() const { return kind != Kind::None; }
};

XbmResult Fail(XbmResult r, const RowFault& f, uint32_t width) {
  using Kind = RowFault::Kind;
  const std::string at = RowAt(f.row, f.offset);
  switch (f.kind) {
    case Kind::Truncated:
      return Truncated(std::move(r), "the row data", f.offset);
    case Kind::LongGap:
      return Fail(std::move(r), XbmError::BadRun, "gap of " + std::to_string(f.value) + " pixels over 2048 " + at);
    case Kind::GapPastWidth:
      return Fail(std::move(r), XbmError::RowOverflow, "gap passes width " + std::to_string(width) + " " + at);
    case Kind::LongRun:
      return Fail(std::move(r), XbmError::BadRun, "run of " + std::to_string(f.value) + " bytes over 4096 " + at);
    case Kind::RunPastWidth:
      return Fail(std::move(r), XbmError::RowOverflow, "run passes width " + std::to_string(width) + " " + at);
    case Kind::None:
      break;
  }
  return r;
}

// Rows are taken bottom row first, so the file is read backwards a row at a
// time, which the processor's own prefetching does not foresee; the row above
// is fetched while this one is converted.
template <class Pixels>
void DecodePlainRow(const RowSource& src, uint32_t row, uint8_t* dst) {
  const uint64_t srcRowBytes = 2 * uint64_t{src.width};
  const uint8_t* words = src.in.At(src.dataStart + srcRowBytes * row);
  if (row > 0) {
    for (uint64_t i = 0; i < srcRowBytes; i += 64) __builtin_prefetch(words - srcRowBytes + i);
  }
  ConvertPixels<Pixels>(words, dst, src.width);
  src.Pad(dst);
}

// The steps of a skip-run row write from left to right, each starting exactly at
// its first pixel, so bytes that a step writes past its own pixels are rewritten
// by the steps that follow or by the pad; nothing is written past the row's pad.
// Short gaps and runs are the common case of sprites with many holes, so the
// first 16 pixels of each are written unconditionally, with no loop exit to mispredict.
inline void WriteGap(uint8_t* dst, const uint8_t* rowEnd, uint32_t bytes) {
  if (bytes + 48 <= static_cast<uint64_t>(rowEnd - dst)) {
    std::memset(dst, 0, 48);
    for (uint32_t i = 48; i < bytes; i += 16) std::memset(dst + i, 0, 16);
  } else {
    std::memset(dst, 0, bytes);
  }
}

template <class Pixels>
void WriteRun(const Input& in, uint64_t pos, uint32_t pixels, uint8_t* dst, const uint8_t* rowEnd) {
  const uint32_t blocks = pixels <= 16 ? 1 : (pixels + 15) / 16;
  if (48 * blocks <= static_cast<uint64_t>(rowEnd - dst) && in.Holds(pos, 32 * blocks)) {
    const uint8_t* src = in.At(pos);
    Pixels::Convert16(src, dst);
    for (uint32_t b = 1; b < blocks; ++b) Pixels::Convert16(src + 32 * b, dst + 48 * b);
  } else {
    ConvertPixels<Pixels>(in.At(pos), dst, pixels);
  }
}

// Bytes past the end of a skip-run row that DecodeSkipRunRow may write: its
// fast steps write gaps in 48-byte pieces and runs in blocks of 16 pixels.
constexpr uint32_t kRowSlack = 48;

// The most a gap and a run read: two words and a run of 4096 bytes, whose
// pixels are read in whole 32-byte blocks (4096 is a multiple of 32).
constexpr uint64_t kLongestPairBytes = 4 + kMaxRunBytes;

// Whole pairs of a gap and a run that stay inside the file and the row and do
// not end it. One test per pair decides that a pair is such a pair, and no
// bounds are checked; every other pair, the end of the row included, is left
// to the careful steps of DecodeSkipRunRow. Returns the file offset of the
// first pair left, with `x` advanced past the pairs done.
template <class Pixels>
uint64_t DecodeWholePairs(const Input& in, uint64_t pos, uint32_t width, uint8_t* dst, uint32_t& x) {
  if (x >= width || in.size() < kLongestPairBytes || pos > in.size() - kLongestPairBytes) return pos;
  const uint8_t* const last = in.At(in.size() - kLongestPairBytes);
  const uint8_t* p = in.At(pos);
  uint32_t at = x;
  while (p <= last) {
    const uint32_t gap = Load16(p) / 2u;
    const uint32_t runBytes = Load16(p + 2);
    const uint32_t run = runBytes / 2u;
    // Left: a pair that adds no pixel (the sum wraps), or reaches the end of
    // the row or passes it, which every run over 4096 bytes does.
    static_assert(kMaxRunBytes / 2 >= static_cast<uint32_t>(kMaxXbmWidth));
    if (gap + run - 1 >= width - at - 1) break;
    uint8_t* out = dst + 3 * at;
    std::memset(out, 0, 48);
    for (uint32_t i = 48; i < 3 * gap; i += 48) std::memset(out + i, 0, 48);
    out += 3 * gap;
    Pixels::Convert16(p + 4, out);
    for (uint32_t i = 16; i < run; i += 16) Pixels::Convert16(p + 4 + 2 * i, out + 3 * i);
    at += gap + run;
    p += 4 + runBytes;
  }
  x = at;
  return static_cast<uint64_t>(p - in.At(0));
}

// Every step adds a pixel except the pairs without pixels, which EmptyPairJumps
// passes over. `dst` has kRowSlack bytes of room after the row.
template <class Pixels>
RowFault DecodeSkipRunRow(const RowSource& src, uint32_t row, uint8_t* dst) {
  using Kind = RowFault::Kind;
  // Copies, not references: the byte stores below could alias `src` for all
  // the compiler knows, which would reload its fields after every store.
  const Input in = src.in;
  const uint32_t width = src.width;
  const uint8_t* rowEnd = dst + src.rowBytes;
  uint32_t x = 0;
  uint64_t pos = DecodeWholePairs<Pixels>(in, src.dataStart + in.U32(src.dataStart + 4 * uint64_t{row}), width,
                                          dst, x);
  for (;;) {
    if (!in.Holds(pos, 2)) return {Kind::Truncated, row, pos};
    const uint32_t gap = in.U16(pos) / 2u;
    if (gap > static_cast<uint32_t>(kMaxXbmWidth)) return {Kind::LongGap, row, pos, gap};
    if (gap > width - x) return {Kind::GapPastWidth, row, pos};
    WriteGap(dst + 3 * x, rowEnd, 3 * gap);
    x += gap;
    pos += 2;
    if (x == width) break;

    if (!in.Holds(pos, 2)) return {Kind::Truncated, row, pos};
    const uint32_t runBytes = in.U16(pos);
    const uint32_t run = runBytes / 2u;
    if (runBytes > kMaxRunBytes) return {Kind::LongRun, row, pos, runBytes};
    if (gap == 0 && run == 0) {
      // A pair whose odd byte is missing is not passed over: it is truncated, below.
      const uint64_t next = src.emptyPairs->Skip(in, pos - 2);
      if (next != pos - 2) {
        pos = next;
        continue;
      }
    }
    if (run > width - x) return {Kind::RunPastWidth, row, pos};
    pos += 2;
    if (!in.Holds(pos, runBytes)) return {Kind::Truncated, row, pos};
    WriteRun<Pixels>(in, pos, run, dst + 3 * x, rowEnd);
    x += run;
    pos += runBytes;
    if (x == width) break;
  }
  src.Pad(dst);
  return {};
}

// Skip-run rows are read in table order backwards and their data may lie
// anywhere, so the start of the next row's data is fetched ahead.
inline void PrefetchSkipRunRow(const RowSource& src, uint32_t row) {
  const uint64_t pos = src.dataStart + src.in.U32(src.dataStart + 4 * uint64_t{row});
  if (!src.in.Holds(pos, 1024)) return;
  for (uint64_t i = 0; i < 1024; i += 64) __builtin_prefetch(src.in.At(pos + i));
}

// Rows in BMP order: BMP row b holds the file's row Height - 1 - b. A skip-run
// row may write into the rows after it, which are decoded later; the rows too
// close to the end of `dst` for that are decoded into a scratch row and copied.
template <class Pixels>
RowFault DecodeRowsWith(const RowSource& src, uint32_t firstRow, uint32_t count, uint8_t* dst) {
  const uint32_t end = firstRow + count;
  for (uint32_t b = firstRow; b < end; ++b, dst += src.rowBytes) {
    const uint32_t row = src.height - 1 - b;
    if (!src.skipRun) {
      DecodePlainRow<Pixels>(src, row, dst);
      continue;
    }
    if (row > 0) PrefetchSkipRunRow(src, row - 1);
    if (uint64_t{end - 1 - b} * src.rowBytes >= kRowSlack) {
      if (const RowFault fault = DecodeSkipRunRow<Pixels>(src, row, dst)) return fault;
    } else {
      uint8_t scratch[BmpRowBytes(kMaxXbmWidth) + kRowSlack];
      if (const RowFault fault = DecodeSkipRunRow<Pixels>(src, row, scratch)) return fault;
      std::memcpy(dst, scratch, src.rowBytes);
    }
  }
  return {};
}

using RowsDecoder = RowFault (*)(const RowSource&, uint32_t, uint32_t, uint8_t*);

RowFault DecodeRowsPortable(const RowSource& src, uint32_t firstRow, uint32_t count, uint8_t* dst) {
  return DecodeRowsWith<PortablePixels>(src, firstRow, count, dst);
}

#if defined(ASG_SSSE3_PATH)
// flatten inlines the whole row loop here, where SSSE3 instructions are
// allowed. On 32-bit x86 the caller's stack may be aligned to 4 bytes only.
#if defined(__i386__)
[[gnu::force_align_arg_pointer]]
#endif
[[gnu::target("ssse3"), gnu::flatten]] RowFault
DecodeRowsSsse3(const RowSource& src, uint32_t firstRow, uint32_t count, uint8_t* dst) {
  return DecodeRowsWith<Ssse3Pixels>(src, firstRow, count, dst);
}

// The same code in AVX2's three-operand encoding, which saves register copies.
#if defined(__i386__)
[[gnu::force_align_arg_pointer]]
#endif
[[gnu::target("avx2"), gnu::flatten]] RowFault
DecodeRowsAvx2(const RowSource& src, uint32_t firstRow, uint32_t count, uint8_t* dst) {
  return DecodeRowsWith<Ssse3Pixels>(src, firstRow, count, dst);
}
#endif

RowsDecoder FastestRowsDecoder() {
#if defined(ASG_SSSE3_PATH)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return DecodeRowsAvx2;
  if (__builtin_cpu_supports("ssse3")) return DecodeRowsSsse3;
#endif
  return DecodeRowsPortable;
}

RowsDecoder& CurrentRowsDecoder() {
  static RowsDecoder decoder = FastestRowsDecoder();
  return decoder;
}

// The first damaged row among the file's rows 0 .. row - 1, else `fault`.
RowFault FirstFaultAbove(const RowSource& src, uint32_t row, RowFault fault) {
  uint8_t scratch[BmpRowBytes(kMaxXbmWidth)];
  const RowsDecoder decode = CurrentRowsDecoder();
  for (uint32_t above = 0; above < row; ++above) {
    if (const RowFault earlier = decode(src, src.height - 1 - above, 1, scratch)) return earlier;
  }
  return fault;
}

// `head` holds the first 64 bytes of a file of `fileSize` bytes, or all of a
// shorter one; the rest of the file is judged by its size alone.
XbmResult ReadAndCheckHeader(const Input& in, uint64_t fileSize) {
  XbmResult r;
  // The reading order: Encoding, Width and Height, ExtraFlag, ExtraSize.
  if (!in.Holds(30, 2)) return Truncated(std::move(r), "the header", 30);
  const uint16_t encoding = in.U16(30);
  const int32_t width = static_cast<int32_t>(in.U32(20));
  const int32_t height = static_cast<int32_t>(in.U32(24));
  if (!in.Holds(36, 4)) return Truncated(std::move(r), "the header", 36);
  uint64_t dataStart = kXbmHeaderBytes;
  if (in.U32(36) != 0) {
    if (!in.Holds(40, 4)) return Truncated(std::move(r), "the header", 40);
    dataStart += in.U32(40);
  }
  if (!in.Holds(0, kXbmHeaderBytes)) return Truncated(std::move(r), "the header", in.size());
  r.header = {width, height, encoding, dataStart};

  if (width < 0 || width > kMaxXbmWidth)
    return Fail(std::move(r), XbmError::BadWidth, "width " + std::to_string(width) + " outside 0..2048");
  if (height < 0) return Fail(std::move(r), XbmError::BadHeight, "height " + std::to_string(height) + " below 0");
  const uint64_t imageBytes = BmpFileBytes(width, height);
  if (imageBytes > kMaxBmpBytes)
    return Fail(std::move(r), XbmError::TooLarge, "image of " + std::to_string(imageBytes) + " bytes over 2147483647");

  // Before anything is allocated, make sure the file holds what the header
  // promises where that is cheap, so a tiny file cannot claim a huge picture.
  const bool skipRun = encoding == 1;
  const uint64_t rows = static_cast<uint64_t>(height);
  const auto fileHolds = [fileSize](uint64_t offset, uint64_t count) {
    return offset <= fileSize && count <= fileSize - offset;
  };
  if (skipRun && rows > 0 && !fileHolds(dataStart, 4 * rows)) {
    const uint64_t whole = dataStart > fileSize ? 0 : (fileSize - dataStart) / 4;
    return Truncated(std::move(r), "the row table", dataStart + 4 * whole);
  }
  if (!skipRun && width > 0 && rows > 0) {
    const uint64_t srcRowBytes = 2 * static_cast<uint64_t>(width);
    if (!fileHolds(dataStart, srcRowBytes * rows)) {
      const uint64_t whole = dataStart > fileSize ? 0 : (fileSize - dataStart) / srcRowBytes;
      return Truncated(std::move(r), "the row data", dataStart + srcRowBytes * whole);
    }
  }
  return r;
}

XbmResult OutOfMemory(XbmResult r, uint64_t imageBytes) {
  return Fail(std::move(r), XbmError::OutOfMemory,
              "out of memory for an image of " + std::to_string(imageBytes) + " bytes");
}

}  // namespace

void UsePixelCode(PixelCode code) {
  CurrentRowsDecoder() = code == PixelCode::Portable ? DecodeRowsPortable : FastestRowsDecoder();
}

XbmRowDecoder::XbmRowDecoder(std::span<const uint8_t> file)
    : file_(file), result_(ReadAndCheckHeader(Input(file), file.size())) {
  if (result_.ok() && result_.header.encoding == 1) {
    emptyPairJumps_ = std::make_unique<EmptyPairJumps>(file.size(), imageBytes());
  }
}

XbmRowDecoder::~XbmRowDecoder() = default;

bool XbmRowDecoder::DecodeRows(uint32_t firstRow, uint32_t count, uint8_t* dst) {
  const RowSource src = RowSource::Of(file_, result_.header, emptyPairJumps_.get());
  // Plain rows of Width 0 hold no bytes at all, so any Height is done at once;
  // skip-run rows still have their table and one SkipBytes word each.
  if (!result_.ok() || count == 0 || (!src.skipRun && src.width == 0)) return result_.ok();
  const RowFault fault = CurrentRowsDecoder()(src, firstRow, count, dst);
  if (!fault) return true;
  result_ = Fail(std::move(result_), FirstFaultAbove(src, fault.row, fault), src.width);
  return false;
}

bool XbmRowDecoder::CheckAllRows() {
  const RowSource src = RowSource::Of(file_, result_.header, emptyPairJumps_.get());
  if (!result_.ok() || !src.skipRun) return result_.ok();
  const RowFault fault = FirstFaultAbove(src, src.height, RowFault{});
  if (!fault) return true;
  result_ = Fail(std::move(result_), fault, src.width);
  return false;
}

XbmResult DecodeXbm(std::span<const uint8_t> file, BmpImage& image) {
  XbmRowDecoder decoder(file);
  if (!decoder.result().ok()) {
    image.Clear();
    return decoder.result();
  }
  std::span<uint8_t> rows;
  try {
    rows = image.Reshape(decoder.result().header.width, decoder.result().header.height);
  } catch (const std::bad_alloc&) {
    return OutOfMemory(decoder.result(), decoder.imageBytes());
  }
  if (!decoder.DecodeRows(0, decoder.height(), rows.data())) image.Clear();
  return decoder.result();
}

XbmResult CheckXbmHeader(std::span<const uint8_t> head, uint64_t fileSize) {
  return ReadAndCheckHeader(Input(head), fileSize);
}

uint64_t XbmBytesRead(const XbmHeader& header, uint64_t fileSize) {
  uint64_t bytes = fileSize;
  if (header.encoding != 1) {
    const uint64_t rows = 2 * static_cast<uint64_t>(header.width) * static_cast<uint64_t>(header.height);
    bytes = rows == 0 ? 0 : header.dataStart + rows;
  }
  return std::min(fileSize, std::max<uint64_t>(bytes, kXbmHeaderBytes));
}

std::string SizeText(int32_t width, int32_t height) {
  // "Размер: " in Windows-1251.
  return "\xD0\xE0\xE7\xEC\xE5\xF0: " + std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace asg
