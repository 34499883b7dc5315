// Reads loader records back the way the receiving side does: every record
// whole and its checksum right, or the offset and kind of the first fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Faults of decodeLoaderRecords.
enum class DecodeFault {
    None = 0,
    TruncatedHeader = -1,  // fewer than 3 bytes left for a record header
    PastEnd = -2,          // the record's length runs past the end
    Checksum = -3,         // the checksum byte does not match
};

struct LoaderRecord {
    std::size_t offset = 0;  // of the record's first byte in the stream
    uint16_t address = 0;
    std::size_t length = 0;  // 1..256
};

struct DecodedRecords {
    DecodeFault fault = DecodeFault::None;
    std::size_t faultOffset = 0;        // the record where decoding stopped
    std::vector<LoaderRecord> records;  // the whole records before any fault
};

// Returns: the records of data; on a fault, those before it and where it is.
DecodedRecords decodeLoaderRecords(const uint8_t* data, std::size_t size);

// Returns: a short text for a fault ("checksum error", ...).
const char* decodeFaultText(DecodeFault fault);
