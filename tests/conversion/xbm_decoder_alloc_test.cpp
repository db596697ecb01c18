// Allocation behaviour of the decoder: header numbers alone never cause a large
// allocation, and running out of memory is a clean failure. This file replaces
// the global operator new to watch and refuse allocations, so it is a test
// program of its own.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "conversion/xbm_converter.h"
#include "conversion/xbm_decoder.h"
#include "tests/conversion/xbm_test_files.h"

namespace {
size_t g_largest = 0;                // largest request since the last Reset
size_t g_refuseAbove = SIZE_MAX;     // requests above this throw std::bad_alloc

void ResetAllocationWatch(size_t refuseAbove = SIZE_MAX) {
  g_largest = 0;
  g_refuseAbove = refuseAbove;
}
}  // namespace

void* operator new(std::size_t size) {
  if (size > g_largest) g_largest = size;
  if (size > g_refuseAbove) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace asg {
namespace {

using test::Add32;
using test::Bytes;
using test::PlainXbm;
using test::operator+;
using test::XbmHeader;

constexpr size_t kSmall = 1 << 20;

TEST(DecodeXbmAllocation, HugeHeadersOnTinyFilesAllocateLittle) {
  const struct {
    const char* name;
    Bytes file;
    XbmError want;
  } cases[] = {
      {"width0_plain_height_max", XbmHeader(0, INT32_MAX, 0), XbmError::None},
      {"width0_skiprun_height_max", XbmHeader(0, INT32_MAX, 1), XbmError::Truncated},
      {"width1_plain_height_500M", XbmHeader(1, 500000000, 0), XbmError::Truncated},
      {"width1_skiprun_height_500M", XbmHeader(1, 500000000, 1) + Bytes(400, 0), XbmError::Truncated},
      {"width2048_plain_just_under_cap", XbmHeader(2048, 349525, 0), XbmError::Truncated},
      {"width2048_skiprun_just_under_cap", XbmHeader(2048, 349525, 1), XbmError::Truncated},
      {"width2048_height_max", XbmHeader(2048, INT32_MAX, 0), XbmError::TooLarge},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BmpImage bmp;
    ResetAllocationWatch();
    const XbmResult r = DecodeXbm(c.file, bmp);
    const size_t largest = g_largest;
    ResetAllocationWatch();
    EXPECT_EQ(r.error, c.want) << r.reason;
    EXPECT_LT(largest, kSmall) << "largest allocation: have " << largest << " bytes, want under " << kSmall;
  }
}

TEST(DecodeXbmAllocation, OutOfMemoryIsACleanFailure) {
  const Bytes file = XbmHeader(8, 4, 0) + Bytes(64, 0x11);
  BmpImage bmp = BmpImage::Black(1, 1);
  ResetAllocationWatch(100);  // the image needs 150 bytes
  const XbmResult r = DecodeXbm(file, bmp);
  ResetAllocationWatch();
  EXPECT_EQ(r.error, XbmError::OutOfMemory) << r.reason;
  EXPECT_NE(r.reason.find("150 bytes"), std::string::npos) << "reason: " << r.reason;
  EXPECT_TRUE(bmp.bytes().empty());
  EXPECT_EQ(bmp.width(), 0);

  ASSERT_TRUE(DecodeXbm(file, bmp).ok());  // and it works again with memory
  EXPECT_EQ(bmp.bytes().size(), 150u);
}

TEST(DecodeXbmAllocation, ReusedPictureOfTheRightSizeIsNotReallocated) {
  const Bytes file = PlainXbm(3, 1, {1, 2, 3});
  BmpImage bmp;
  ASSERT_TRUE(DecodeXbm(file, bmp).ok());
  ResetAllocationWatch();
  ASSERT_TRUE(DecodeXbm(file, bmp).ok());
  EXPECT_EQ(g_largest, 0u) << "have an allocation of " << g_largest << " bytes, want none";
}

// The preview's road: a converter that keeps its input buffer, decoding again
// into the picture it filled last, touches no fresh memory.
TEST(DecodeXbmAllocation, ConverterDecodingTheNextSelectionAllocatesNothing) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("asg_alloc_" + std::to_string(std::random_device{}()) + ".xbm");
  ASSERT_TRUE(test::PutFile(path, test::PatternXbm(64, 48)));
  XbmConverter converter;
  BmpImage picture;
  ASSERT_FALSE(converter.Decode(path, picture).failed());
  const BmpImage first = picture;
  ResetAllocationWatch();
  const Outcome again = converter.Decode(path, picture);
  const size_t largest = g_largest;
  ResetAllocationWatch();
  std::filesystem::remove(path);
  EXPECT_FALSE(again.failed()) << again.reason;
  EXPECT_EQ(largest, 0u) << "have an allocation of " << largest << " bytes, want none";
  EXPECT_TRUE(test::BytesOf(picture) == test::BytesOf(first));
}

}  // namespace
}  // namespace asg
