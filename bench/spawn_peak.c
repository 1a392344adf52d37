/* Starts one process and reports its wall time and peak resident memory:
 *
 *     spawn_peak STDIN STDOUT PROGRAM [ARGUMENTS...]
 *
 * prints "<start ns> <end ns> <exit status> <peak KiB>": CLOCK_MONOTONIC just
 * before the fork and just after the process is reaped, and ru_maxrss from
 * wait4. Linux keeps in ru_maxrss the resident size of the process image that
 * exec replaced, that is of this spawner at the fork, so the spawner is built
 * small and static: the peak is the program's own. */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static long long now_ns(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

int main(int argc, char** argv) {
    if (argc < 4) {
        fputs("usage: spawn_peak STDIN STDOUT PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    const long long start = now_ns();
    const pid_t pid = fork();
    if (pid < 0) return 1;
    if (pid == 0) {
        const int in = open(argv[1], O_RDONLY);
        const int out = open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0) _exit(126);
        execv(argv[3], argv + 3);
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (wait4(pid, &status, 0, &usage) != pid) return 1;
    const long long end = now_ns();
    printf("%lld %lld %d %ld\n", start, end, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
           usage.ru_maxrss);
    return 0;
}
