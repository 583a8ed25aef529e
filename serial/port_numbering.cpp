#include "serial/port_numbering.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string_view>

#include "common/core/whole_number.h"
#include "serial/serial_port.h"

namespace serial {

namespace {

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The run of digits that starts at pos, without leading zeros; pos moves past it.
std::string_view digitRun(std::string_view text, std::size_t& pos)
{
    const std::size_t start = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    std::string_view run = text.substr(start, pos - start);
    while (run.size() > 1 && run.front() == '0')
        run.remove_prefix(1);
    return run;
}

// Compares names so that runs of digits count by value.
bool naturalLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const std::string_view numberA = digitRun(a, i);
            const std::string_view numberB = digitRun(b, j);
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (numberA != numberB)
                return numberA < numberB;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

const SerialDevice* findByCanonicalPath(const std::vector<SerialDevice>& devices,
                                        const std::string& canonicalPath)
{
    const auto found = std::find_if(devices.begin(), devices.end(),
                                    [&](const SerialDevice& d) { return d.canonicalPath == canonicalPath; });
    return found == devices.end() ? nullptr : &*found;
}

}  // namespace

std::vector<SerialDevice> orderDevices(std::vector<SerialDevice> devices)
{
    std::stable_sort(devices.begin(), devices.end(), [](const SerialDevice& a, const SerialDevice& b) {
        if (a.usb != b.usb)
            return a.usb;
        return naturalLess(a.path, b.path);
    });
    return devices;
}

std::vector<PortEntry> assignPortNumbers(const std::map<int, SerialDevice>& explicitMap,
                                         const std::vector<SerialDevice>& present)
{
    std::set<std::string> mappedDevices;
    for (const auto& [number, device] : explicitMap)
        mappedDevices.insert(device.canonicalPath);

    std::vector<SerialDevice> unmapped;
    for (const SerialDevice& device : orderDevices(present))
        if (mappedDevices.count(device.canonicalPath) == 0)
            unmapped.push_back(device);

    std::vector<PortEntry> entries;
    auto next = unmapped.begin();
    for (int number = kFirstPortNumber; number <= kLastPortNumber; ++number) {
        const auto mapped = explicitMap.find(number);
        if (mapped != explicitMap.end()) {
            const SerialDevice* seen = findByCanonicalPath(present, mapped->second.canonicalPath);
            entries.push_back({number, mapped->second.path, seen ? seen->description : std::string(),
                               mapped->second.exists});
        } else if (next != unmapped.end()) {
            entries.push_back({number, next->path, next->description, true});
            ++next;
        }
    }
    return entries;
}

std::string deviceLine(const PortEntry& entry)
{
    std::string line = entry.device;
    if (!entry.present)
        line += "  (not connected)";
    else if (!entry.description.empty())
        line += "  " + entry.description;
    return line;
}

std::string listingLine(const PortEntry& entry)
{
    return "COM " + std::to_string(entry.number) + "  " + deviceLine(entry);
}

std::optional<int> portNumberOfText(std::string_view text)
{
    const std::optional<long long> number = common::wholeNumber(
        text, {common::Blanks::Spaces, common::Sign::None}, kFirstPortNumber, kLastPortNumber);
    if (!number)
        return std::nullopt;
    return static_cast<int>(*number);
}

}  // namespace serial
