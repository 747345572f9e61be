#include "platform/fs/program_file.h"

#include <unistd.h>

#include <cerrno>

bool IsProgramFile(int descriptor) {
    unsigned char head[4] = {};
    ssize_t got = 0;
    do {
        got = pread(descriptor, head, sizeof head, 0);
    } while (got < 0 && errno == EINTR);
    if (got >= 4 && head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F') {
        return true;
    }
    return got >= 2 && head[0] == '#' && head[1] == '!';
}
