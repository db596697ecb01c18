// Preloaded into xbm2bmp by its tests to play a file system without unnamed
// files (FAT, some network file systems): an open with O_TMPFILE fails as it
// fails there, and each refusal adds a line to the file that the environment
// variable NO_UNNAMED_FILES_LOG names, so a test can tell it took effect.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <unistd.h>

typedef int (*OpenAt)(int, const char*, int, ...);

static int Refuse(void) {
  const char* log = getenv("NO_UNNAMED_FILES_LOG");
  if (log) {
    const int fd = (int)syscall(SYS_openat, AT_FDCWD, log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
      (void)!write(fd, "O_TMPFILE refused\n", 18);
      close(fd);
    }
  }
  errno = EOPNOTSUPP;
  return -1;
}

static mode_t ModeOf(int flags, va_list args) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? (mode_t)va_arg(args, int) : 0;
}

static int Open(const char* name, int dir, const char* path, int flags, mode_t mode) {
  if ((flags & O_TMPFILE) == O_TMPFILE) return Refuse();
  OpenAt next = (OpenAt)dlsym(RTLD_NEXT, name);
  return next(dir, path, flags, mode);
}

// The part every variant shares: the mode is there only with O_CREAT or O_TMPFILE.
#define FORWARD(next, dir)                 \
  va_list args;                            \
  va_start(args, flags);                   \
  const mode_t mode = ModeOf(flags, args); \
  va_end(args);                            \
  return Open(next, dir, path, flags, mode)

int openat(int dir, const char* path, int flags, ...) { FORWARD("openat", dir); }
int openat64(int dir, const char* path, int flags, ...) { FORWARD("openat64", dir); }
int open(const char* path, int flags, ...) { FORWARD("openat", AT_FDCWD); }
int open64(const char* path, int flags, ...) { FORWARD("openat64", AT_FDCWD); }
