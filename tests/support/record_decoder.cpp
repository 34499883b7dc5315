// Reads loader record streams back the way the receiving side would.
#include "support/record_decoder.h"

namespace {

// The checksum as a ones'-complement sum: add everything, fold the carries back in.
uint8_t foldedSum(const Bytes& bytes, std::size_t from, std::size_t to) {
    unsigned sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += bytes[i];
    while (sum > 0xFF) sum = (sum & 0xFF) + (sum >> 8);
    return static_cast<uint8_t>(sum);
}

}  // namespace

DecodedFile decodeLoaderFile(const Bytes& bytes) {
    DecodedFile file;
    bool streamOpen = false;
    uint16_t expected = 0;
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 3) {
            file.fault = "truncated record header";
            file.faultOffset = at;
            return file;
        }
        const uint16_t address = static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
        const std::size_t length = bytes[at + 2] == 0 ? 256 : bytes[at + 2];
        if (bytes.size() - at < 3 + length + 1) {
            file.fault = "record runs past the end";
            file.faultOffset = at;
            return file;
        }
        if (foldedSum(bytes, at, at + 3 + length) != bytes[at + 3 + length]) {
            file.fault = "checksum";
            file.faultOffset = at;
            return file;
        }
        if (!streamOpen || address != expected) {
            file.streams.push_back(DecodedStream{address, {}, {}});
        }
        DecodedStream& stream = file.streams.back();
        stream.payload.insert(stream.payload.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at + 3),
                              bytes.begin() + static_cast<std::ptrdiff_t>(at + 3 + length));
        stream.recordLengths.push_back(length);
        expected = static_cast<uint16_t>(address + length);
        streamOpen = length == 256;
        at += 3 + length + 1;
    }
    return file;
}
