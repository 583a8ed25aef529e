#include "tabwright/cli/csv_records.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tabwright/capture/single_tab.h"

namespace tabwright {

namespace {

// Writes a text field at `out`: single-byte (Latin-1) characters as UTF-8, in double
// quotes, quotes doubled; returns where it ends. Takes at most twice the text's size and two.
char* putTextField(char* out, std::string_view text)
{
    *out++ = '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80 && c != '"') {
            *out++ = c;
        } else if (c == '"') {
            *out++ = '"';
            *out++ = '"';
        } else {
            *out++ = static_cast<char>(0xC0 | (byte >> 6));
            *out++ = static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    *out++ = '"';
    return out;
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
    // Room for the longest the record can be, written in place, then cut to what it took.
    const std::size_t cells = std::min(width, row.size());
    std::vector<std::string> decimals;
    std::size_t room = width + 2;
    for (std::size_t column = 0; column < cells; ++column) {
        if (const auto* text = std::get_if<std::string>(&row[column]))
            room += 2 * text->size() + 2;
        else if (const auto* number = std::get_if<double>(&row[column]))
            room += decimals.emplace_back(plainDecimal(*number)).size();
    }
    const std::size_t start = csv.size();
    csv.resize(start + room);
    char* out = csv.data() + start;
    auto decimal = decimals.begin();
    for (std::size_t column = 0; column < width; ++column) {
        if (column > 0)
            *out++ = ',';
        if (column >= cells)
            continue;
        if (const auto* text = std::get_if<std::string>(&row[column])) {
            out = putTextField(out, *text);
        } else if (std::holds_alternative<double>(row[column])) {
            out = std::copy(decimal->begin(), decimal->end(), out);
            ++decimal;
        }
    }
    *out++ = '\r';
    *out++ = '\n';
    csv.resize(static_cast<std::size_t>(out - csv.data()));
}

void appendFields(std::string& csv, std::span<const CellValue> values)
{
    // As appendRecord: room for the longest the fields can be, written in place.
    std::vector<std::string> decimals;
    std::size_t room = values.size();
    for (const CellValue& value : values) {
        if (const auto* text = std::get_if<std::string_view>(&value))
            room += 2 * text->size() + 2;
        else
            room += decimals.emplace_back(plainDecimal(std::get<double>(value))).size();
    }
    const std::size_t start = csv.size();
    csv.resize(start + room);
    char* out = csv.data() + start;
    auto decimal = decimals.begin();
    for (std::size_t at = 0; at < values.size(); ++at) {
        if (at > 0)
            *out++ = ',';
        if (const auto* text = std::get_if<std::string_view>(&values[at])) {
            if (!text->empty())
                out = putTextField(out, *text);
        } else {
            out = std::copy(decimal->begin(), decimal->end(), out);
            ++decimal;
        }
    }
    csv.resize(static_cast<std::size_t>(out - csv.data()));
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
