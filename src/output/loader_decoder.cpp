// Reads loader records back.
#include "output/loader_decoder.h"

#include "output/little_endian.h"
#include "output/loader_records.h"

DecodedRecords decodeLoaderRecords(const uint8_t* data, std::size_t size) {
    DecodedRecords decoded;
    bool streamOpen = false;
    uint16_t expected = 0;
    std::size_t at = 0;
    while (at < size) {
        if (size - at < 3) {
            decoded.fault = kDecodeTruncatedHeader;
            decoded.faultOffset = at;
            return decoded;
        }
        const uint16_t address = readLe16(data + at);
        const std::size_t length = data[at + 2] == 0 ? kMaxRecordPayload : data[at + 2];
        if (size - at < 3 + length + 1) {
            decoded.fault = kDecodePastEnd;
            decoded.faultOffset = at;
            return decoded;
        }
        uint8_t sum = data[at];
        for (std::size_t i = 1; i < 3 + length; ++i) sum = addEndAroundCarry(sum, data[at + i]);
        if (sum != data[at + 3 + length]) {
            decoded.fault = kDecodeChecksum;
            decoded.faultOffset = at;
            return decoded;
        }
        decoded.records.push_back(LoaderRecord{at, address, length});
        if (!streamOpen || address != expected) decoded.streams.push_back(LoaderStream{at, address, {}, {}});
        LoaderStream& stream = decoded.streams.back();
        stream.payload.insert(stream.payload.end(), data + at + 3, data + at + 3 + length);
        stream.recordLengths.push_back(length);
        expected = static_cast<uint16_t>(address + length);
        streamOpen = length == kMaxRecordPayload;
        at += 3 + length + 1;
    }
    return decoded;
}

const char* decodeFaultText(int fault) {
    switch (fault) {
        case kDecodeTruncatedHeader: return "truncated record header";
        case kDecodePastEnd: return "record runs past the end of the file";
        case kDecodeChecksum: return "checksum error";
        default: return "no fault";
    }
}
