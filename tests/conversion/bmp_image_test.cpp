#include "conversion/bmp_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "tests/conversion/xbm_test_files.h"

namespace asg {
namespace {

using test::Bytes;
using test::BytesOf;
using test::Difference;
using test::ExpectedBmp;

TEST(BmpRowBytes, PadsToFourBytes) {
  const struct {
    int32_t width;
    uint32_t want;
  } cases[] = {{0, 0}, {1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {6, 20}, {7, 24}, {8, 24}, {2048, 6144}};
  for (const auto& c : cases) EXPECT_EQ(BmpRowBytes(c.width), c.want) << "width " << c.width;
}

// Every picture shape gets the header spelled out field by field in the test
// builder, and rows of exactly RowBytes each.
TEST(BmpImage, ReshapeWritesTheHeaderOfTheShapeAndLeavesRoomForItsRows) {
  const struct {
    int32_t width, height;
    size_t wantBytes;
  } cases[] = {{1, 1, 58}, {5, 2, 86}, {3, 4, 54 + 12 * 4}, {0, 3, 54}, {3, 0, 54}, {2048, 2, 54 + 6144 * 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    BmpImage image;
    const std::span<uint8_t> rows = image.Reshape(c.width, c.height);
    std::fill(rows.begin(), rows.end(), uint8_t{0x5A});
    EXPECT_EQ(image.bytes().size(), c.wantBytes);
    EXPECT_EQ(rows.size(), c.wantBytes - 54);
    EXPECT_EQ(image.width(), c.width);
    EXPECT_EQ(image.height(), c.height);
    EXPECT_EQ(image.rows().data(), image.bytes().data() + 54) << "rows follow the header directly";
    EXPECT_EQ(Difference(image.bytes(), ExpectedBmp(c.width, c.height, Bytes(c.wantBytes - 54, 0x5A))), "");
  }
}

// Reshaping again rewrites the header for the new shape, whatever the old one held.
TEST(BmpImage, ReshapingAgainGivesOnlyTheNewShape) {
  BmpImage image;
  image.Reshape(7, 9);
  const std::span<uint8_t> rows = image.Reshape(2, 1);
  std::fill(rows.begin(), rows.end(), uint8_t{0});
  EXPECT_EQ(Difference(image.bytes(), ExpectedBmp(2, 1, Bytes(8, 0))), "");
}

TEST(BmpImage, BlackPictureHasZeroRowsAndNegativeSizesCountAsZero) {
  const struct {
    int32_t width, height;
    int32_t wantWidth, wantHeight;
  } cases[] = {{1, 1, 1, 1}, {5, 2, 5, 2}, {0, 5, 0, 5}, {-3, 2, 0, 2}, {4, -1, 4, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    const BmpImage image = BmpImage::Black(c.width, c.height);
    EXPECT_EQ(image.width(), c.wantWidth);
    EXPECT_EQ(image.height(), c.wantHeight);
    const Bytes zeros(size_t{BmpRowBytes(c.wantWidth)} * static_cast<size_t>(c.wantHeight), 0);
    EXPECT_EQ(Difference(image.bytes(), ExpectedBmp(c.wantWidth, c.wantHeight, zeros)), "");
  }
}

TEST(BmpImage, OnlyAPictureOfWidthAndHeightHasPixels) {
  const struct {
    int32_t width, height;
    bool want;
  } cases[] = {{1, 1, true}, {2048, 3, true}, {0, 5, false}, {4, 0, false}, {0, 0, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(BmpImage::Black(c.width, c.height).HasPixels(), c.want) << c.width << "x" << c.height;
  }
}

TEST(BmpImage, EmptyPictureHasNoBytesAtAll) {
  const BmpImage fresh;
  BmpImage cleared = BmpImage::Black(3, 3);
  cleared.Clear();
  for (const BmpImage* image : {&fresh, static_cast<const BmpImage*>(&cleared)}) {
    EXPECT_EQ(image->width(), 0);
    EXPECT_EQ(image->height(), 0);
    EXPECT_FALSE(image->HasPixels());
    EXPECT_TRUE(image->bytes().empty()) << "have " << image->bytes().size() << " bytes, want none";
    EXPECT_TRUE(image->rows().empty());
  }
  EXPECT_EQ(BytesOf(BmpImage::Black(0, 0)).size(), 54u) << "a 0 x 0 picture still has its header";
}

}  // namespace
}  // namespace asg
