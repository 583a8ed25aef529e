#include "logfetch/convert/jfix_table.h"

#include <cstdio>
#include <memory>

#include "common/core/path_text.h"

namespace logfetch {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void writeProbe(const std::string& path)
{
    // Reuse an existing file without cutting it, as records written from the start.
    File file(std::fopen(path.c_str(), "r+b"));
    if (!file)
        file.reset(std::fopen(path.c_str(), "wb"));
    if (!file)
        return;
    for (int code = 0; code <= 255; ++code) {
        std::fputc(code, file.get());
        if (code > 128)
            std::fputc(code, file.get());
    }
}

}  // namespace

std::vector<std::string> MakeJfixTable(const std::string& programFolder)
{
    const std::string path = common::joinPath(programFolder, "jfix.txt");
    writeProbe(path);

    std::vector<std::string> items;
    File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return items;
    for (int byte = std::fgetc(file.get()); byte != EOF && items.size() < kJfixCapacity;
         byte = std::fgetc(file.get()))
        items.push_back(std::to_string(byte));
    return items;
}

}  // namespace logfetch
