#include "logfetch/testing/large_log.h"

namespace testing_support {

Bytes largeIntervalLog(std::size_t bytes)
{
    HeaderFields fields;
    fields.temperatureFlag = 1;
    fields.end = {12, 31, 2, 23, 59, 59};
    BinBuilder builder = BinBuilder::interval(1).header(fields);
    for (int i = 0; builder.bytes().size() + 3 <= bytes; ++i)
        builder.reading3(200 + i % 300, i % 7 == 0, i % 5 == 0, i % 4, i % 1024);
    return builder.bytes();
}

}  // namespace testing_support
