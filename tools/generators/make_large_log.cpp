// Writes one long interval data log of about SIZE bytes as FILE.BIN, for measuring what a
// conversion of a large download costs. Usage: make_large_log SIZE FILE.BIN
#include <cstdio>
#include <cstdlib>
#include <string>

#include "logfetch/testing/large_log.h"
#include "testing/file_contents.h"

int main(int argc, char* argv[])
{
    char* end = nullptr;
    const unsigned long long size = argc == 3 ? std::strtoull(argv[1], &end, 10) : 0;
    if (size == 0 || *end != '\0') {
        std::fprintf(stderr, "usage: make_large_log SIZE FILE.BIN\n");
        return 2;
    }
    testing_support::writeFile(argv[2], testing_support::largeIntervalLog(size));
    return 0;
}
