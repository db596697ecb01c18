#include "cli/console.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace asg::cli {
namespace {

TEST(DisplayName, GivesUtf8AndNeverThrows) {
  EXPECT_EQ(DisplayName(std::filesystem::path(u8"\u0441\u043F\u0440\u0430\u0439\u0442.xbm")),
            "\xD1\x81\xD0\xBF\xD1\x80\xD0\xB0\xD0\xB9\xD1\x82.xbm");
#ifdef _WIN32
  // Windows allows a file name with an unpaired surrogate; it is shown with U+FFFD.
  std::string shown;
  EXPECT_NO_THROW(shown = DisplayName(std::filesystem::path(std::wstring(L"a\xD800" L".xbm"))));
  EXPECT_EQ(shown, "a\xEF\xBF\xBD.xbm");
#endif
}

}  // namespace
}  // namespace asg::cli
