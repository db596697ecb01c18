// Entry of the Windows test programs: no crash dialog ever blocks a run, and
// the exit code is the test result.
#include <gtest/gtest.h>

#include <windows.h>

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
