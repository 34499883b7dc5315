// Loader records: an address-prefixed buffer cut into checksummed pieces of at most 256 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

constexpr std::size_t kMaxRecordPayload = 256;
constexpr std::size_t kRecordHeaderSize = 3;  // address low, address high, length
constexpr std::size_t kRecordChecksumSize = 1;

// Returns: the number of bytes the records of a payload of this length take.
constexpr std::size_t loaderRecordsSize(std::size_t payloadLength) {
    const std::size_t records = (payloadLength + kMaxRecordPayload - 1) / kMaxRecordPayload;
    return payloadLength + records * (kRecordHeaderSize + kRecordChecksumSize);
}

// Adds one byte to an end-around-carry sum: a carry out of bit 7 comes back in at bit 0.
inline uint8_t addEndAroundCarry(uint8_t sum, uint8_t byte) {
    const unsigned total = static_cast<unsigned>(sum) + byte;
    return static_cast<uint8_t>(total > 0xFF ? total - 0xFF : total);
}

// Writes buffer (start address low, high, then the payload) to stream as
// records: address low, address high, length (256 as 0), data, checksum.
// The payload length size - 2 is taken as 16 bits; an empty payload writes
// nothing. Write errors on the stream are left to the caller to find.
void writeLoaderRecords(int32_t verbosity, const uint8_t* buffer, std::size_t size, std::FILE* stream);
