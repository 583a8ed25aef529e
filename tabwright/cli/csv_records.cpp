#include "tabwright/cli/csv_records.h"

#include <algorithm>
#include <cstdlib>

#include "tabwright/capture/single_tab.h"

namespace tabwright {

namespace {

// A text field: single-byte (Latin-1) characters as UTF-8, in double quotes, quotes doubled.
void appendTextField(std::string& csv, std::string_view text)
{
    csv += '"';
    // Runs of plain ASCII go in whole; only quotes and Latin-1 bytes need a character's care.
    const auto plain = [](char c) { return c != '"' && static_cast<unsigned char>(c) < 0x80; };
    for (auto at = text.begin(); at != text.end();) {
        const auto runEnd = std::find_if_not(at, text.end(), plain);
        csv.append(at, runEnd);
        if (runEnd == text.end())
            break;
        const auto byte = static_cast<unsigned char>(*runEnd);
        if (byte == '"') {
            csv += "\"\"";
        } else {
            csv += static_cast<char>(0xC0 | (byte >> 6));
            csv += static_cast<char>(0x80 | (byte & 0x3F));
        }
        at = runEnd + 1;
    }
    csv += '"';
}

// Reads the quoted text field that starts at `at` (its opening quote), back to Latin-1;
// `at` ends past its closing quote.
std::string readTextField(std::string_view csv, std::size_t& at)
{
    std::string text;
    ++at;
    while (at < csv.size()) {
        const auto byte = static_cast<unsigned char>(csv[at]);
        if (csv[at] == '"') {
            if (at + 1 < csv.size() && csv[at + 1] == '"') {
                text += '"';
                at += 2;
                continue;
            }
            ++at;
            break;
        }
        if (byte >= 0xC0 && at + 1 < csv.size()) {
            text +=
                static_cast<char>(((byte & 0x03) << 6) | (static_cast<unsigned char>(csv[at + 1]) & 0x3F));
            at += 2;
            continue;
        }
        text += csv[at++];
    }
    return text;
}

}  // namespace

std::size_t usedWidth(const CsvRow& row)
{
    const auto last = std::find_if(row.rbegin(), row.rend(), [](const CsvCell& value) {
        return !std::holds_alternative<std::monostate>(value);
    });
    return static_cast<std::size_t>(row.rend() - last);
}

void appendRecord(std::string& csv, const CsvRow& row, std::size_t width)
{
    for (std::size_t column = 0; column < width; ++column) {
        if (column > 0)
            csv += ',';
        if (column >= row.size())
            continue;
        if (const auto* text = std::get_if<std::string>(&row[column]))
            appendTextField(csv, *text);
        else if (const auto* number = std::get_if<double>(&row[column]))
            csv += plainDecimal(*number);
    }
    csv += "\r\n";
}

std::vector<CsvRow> readRecords(std::string_view csv)
{
    std::vector<CsvRow> rows;
    CsvRow row;
    std::size_t at = 0;
    while (at < csv.size()) {
        if (csv[at] == '"') {
            row.emplace_back(readTextField(csv, at));
        } else {
            const std::size_t end = std::min(csv.find_first_of(",\r", at), csv.size());
            if (end == at)
                row.emplace_back(std::monostate{});
            else
                row.emplace_back(std::strtod(std::string(csv.substr(at, end - at)).c_str(), nullptr));
            at = end;
        }
        if (at < csv.size() && csv[at] == ',') {
            ++at;
            continue;
        }
        at += 2;  // the record's CR LF
        rows.push_back(std::move(row));
        row.clear();
    }
    return rows;
}

}  // namespace tabwright
