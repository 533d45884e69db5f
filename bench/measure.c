/* measure OUTPUT PROGRAM [ARGUMENTS...]: runs PROGRAM (with this environment, standard output to
   OUTPUT) and prints "wall_ms cpu_ms peak_kib status" for it. A small static program of its own,
   because a child's peak memory counts the memory of the process it was forked from. */

#include <fcntl.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const double start = now_ms();
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || dup2(out, 1) < 0) _exit(126);
    execv(argv[2], argv + 2);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 1;
  const double wall = now_ms() - start;
  const double cpu = usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
                     usage.ru_stime.tv_usec / 1e3;
  printf("%.4f %.4f %ld %d\n", wall, cpu, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return 0;
}
