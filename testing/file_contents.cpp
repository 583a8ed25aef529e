#include "testing/file_contents.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testing_support {

void writeText(const std::string& path, std::string_view content)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    writeText(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace testing_support
