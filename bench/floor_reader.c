/* The floor of the benchmarks: the least a program can do to take in save
 * files. It opens each file named on its command line, reads it whole into
 * one buffer that every file reuses, and closes it. Nothing else: no parsing,
 * no output. Usage: floor_reader FILE... */
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

/* As large as the tool's own load buffer: a save file fits with room over. */
static unsigned char buffer[262144];

int main(int argc, char **argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        int fd = open(argv[i], O_RDONLY);
        if (fd < 0) {
            perror(argv[i]);
            status = 1;
            continue;
        }
        /* Until end of file, as any reader of a file of unknown length must. */
        for (;;) {
            ssize_t got = read(fd, buffer, sizeof buffer);
            if (got <= 0) {
                if (got < 0) {
                    perror(argv[i]);
                    status = 1;
                }
                break;
            }
        }
        close(fd);
    }
    return status;
}
