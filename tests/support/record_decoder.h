// Reads loader record streams back the way the receiving side would.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/test_support.h"

struct DecodedStream {
    uint16_t start = 0;
    Bytes payload;
    std::vector<std::size_t> recordLengths;
};

struct DecodedFile {
    std::string fault;              // empty when every record is whole and its checksum right
    std::size_t faultOffset = 0;
    std::vector<DecodedStream> streams;
};

// Splits bytes into records and the records into streams: a stream ends with
// a record shorter than 256 bytes, or where the next address does not follow on.
DecodedFile decodeLoaderFile(const Bytes& bytes);
