// Reads loader records back.
#include "output/loader_decoder.h"

#include "base/little_endian.h"
#include "output/loader_records.h"

namespace {

DecodedRecords& stopAt(DecodedRecords& decoded, DecodeFault fault, std::size_t offset) {
    decoded.fault = fault;
    decoded.faultOffset = offset;
    return decoded;
}

}  // namespace

DecodedRecords decodeLoaderRecords(const uint8_t* data, std::size_t size) {
    DecodedRecords decoded;
    for (std::size_t at = 0; at < size;) {
        if (size - at < kRecordHeaderSize) return stopAt(decoded, DecodeFault::TruncatedHeader, at);
        const std::size_t length = data[at + 2] == 0 ? kMaxRecordPayload : data[at + 2];
        const std::size_t checksumAt = at + kRecordHeaderSize + length;
        if (size - at < kRecordHeaderSize + length + kRecordChecksumSize)
            return stopAt(decoded, DecodeFault::PastEnd, at);
        uint8_t sum = data[at];
        for (std::size_t i = at + 1; i < checksumAt; ++i) sum = addEndAroundCarry(sum, data[i]);
        if (sum != data[checksumAt]) return stopAt(decoded, DecodeFault::Checksum, at);
        decoded.records.push_back(LoaderRecord{at, readLe16(data + at), length});
        at = checksumAt + kRecordChecksumSize;
    }
    return decoded;
}

const char* decodeFaultText(DecodeFault fault) {
    switch (fault) {
        case DecodeFault::TruncatedHeader: return "truncated record header";
        case DecodeFault::PastEnd: return "record runs past the end of the file";
        case DecodeFault::Checksum: return "checksum error";
        default: return "no fault";
    }
}
