// The console part of the reference host: standard output.
#include <cstdio>

#include "console.h"

void consoleWrite(const char* text) { std::fputs(text, stdout); }

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: reference_host DATABASE_DIR\n", stderr);
        return 2;
    }
    hostMain(argv[1]);
    return 0;
}
