// peak_memory REPORT PROGRAM ARGS...: runs PROGRAM, writes the most memory it
// held at once ("<kB>\n") to the file REPORT, and exits as PROGRAM did.
// A child takes the peak of the process it was started from as its own
// starting figure, so a program that is measured is started from this small
// one rather than from a test that may have grown large.
#include <signal.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 3) return 125;
  const pid_t pid = fork();
  if (pid < 0) return 126;
  if (pid == 0) {
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(pid, &status, 0, &usage) != pid) return 126;
  FILE* report = fopen(argv[1], "w");
  if (report) {
    fprintf(report, "%ld\n", usage.ru_maxrss);
    fclose(report);
  }
  if (WIFSIGNALED(status)) {
    signal(WTERMSIG(status), SIG_DFL);
    raise(WTERMSIG(status));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 126;
}
