// Entry of the Windows test programs: no crash dialog ever blocks a run, a
// failed assertion is printed and ends the program, and the exit code is the
// test result.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <windows.h>

// The test programs link the checked libraries, whose flags carry over to this file.
#ifdef NDEBUG
#error "the tests must be built with assertions on"
#endif

int main(int argc, char** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  _set_error_mode(_OUT_TO_STDERR);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
