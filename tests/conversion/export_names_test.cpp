#include "conversion/export_names.h"

#include <gtest/gtest.h>

#include <string>

namespace asg {
namespace {

struct NameCase {
  const char* input;
  const char* want;
};

TEST(ExportNames, DefaultSaveNameIsTextBeforeFirstDot) {
  const NameCase cases[] = {
      {"sprite.xbm", "sprite"},
      {"a.b.xbm", "a"},
      {"SPRITE.XBM", "SPRITE"},
      {"noext", ""},
      {".hidden.xbm", ""},
      {"trailing.", "trailing"},
      {"", ""},
      {"\xCC\xE5\xF7.xbm", "\xCC\xE5\xF7"},  // Windows-1251 bytes pass through untouched
  };
  for (const NameCase& c : cases) {
    const std::string have = DefaultSaveName(c.input);
    EXPECT_EQ(have, c.want) << "DefaultSaveName(\"" << c.input << "\"): have \"" << have
                            << "\", want \"" << c.want << "\"";
  }
}

TEST(ExportNames, BatchOutputNameKeepsNameAndFirstDotThenBmp) {
  const NameCase cases[] = {
      {"sprite.xbm", "sprite.bmp"},
      {"SPRITE.XBM", "SPRITE.bmp"},
      {"a.b.xbm", "a.bmp"},
      {"x.1.xbm", "x.bmp"},
      {"x.2.xbm", "x.bmp"},
      {"noext", "noext.bmp"},  // a dotless name keeps its text instead of becoming just "bmp"
      {"trailing.", "trailing.bmp"},
      {".hidden.xbm", ".bmp"},
      {"\xCC\xE5\xF7.xbm", "\xCC\xE5\xF7.bmp"},
  };
  for (const NameCase& c : cases) {
    const std::string have = BatchOutputName(c.input);
    EXPECT_EQ(have, c.want) << "BatchOutputName(\"" << c.input << "\"): have \"" << have
                            << "\", want \"" << c.want << "\"";
  }
}

TEST(ExportNames, FolderPartEndsAtLastBackslashOrColon) {
  const NameCase cases[] = {
      {"D:\\pics\\a.bmp", "D:\\pics\\"},
      {"C:a.bmp", "C:"},
      {"C:\\a.bmp", "C:\\"},
      {"\\\\server\\share\\x.bmp", "\\\\server\\share\\"},
      {"D:\\pics\\sub:odd", "D:\\pics\\sub:"},  // ":" after the last "\" wins
      {"a.bmp", ""},
      {"", ""},
  };
  for (const NameCase& c : cases) {
    const std::string have = FolderPart(c.input);
    EXPECT_EQ(have, c.want) << "FolderPart(\"" << c.input << "\"): have \"" << have
                            << "\", want \"" << c.want << "\"";
  }
}

}  // namespace
}  // namespace asg
