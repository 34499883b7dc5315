// Loader record writer.
#include "output/loader_records.h"

#include "base/console.h"
#include "base/flash_geometry.h"
#include "base/little_endian.h"

void writeLoaderRecords(int32_t verbosity, const uint8_t* buffer, std::size_t size, std::FILE* stream) {
    if (size < kLoadAddressSize) return;  // not even a start address: nothing to write, and nothing to read past
    const uint16_t payloadLength = static_cast<uint16_t>(size - kLoadAddressSize);
    uint16_t address = readLe16(buffer);
    progress(verbosity, Level::Details, "------ writing buffer ------\n");
    progress(verbosity, Level::Details, "size: %lx\n", static_cast<unsigned long>(payloadLength));
    progress(verbosity, Level::Details, "start-adr: %04x\n", static_cast<unsigned>(address));

    // Each record is assembled in one piece and handed to the stream at once.
    uint8_t record[kRecordHeaderSize + kMaxRecordPayload + kRecordChecksumSize];
    const uint8_t* payload = buffer + kLoadAddressSize;
    std::size_t remaining = payloadLength;
    for (int number = 1; remaining > 0; ++number) {
        const std::size_t length = remaining < kMaxRecordPayload ? remaining : kMaxRecordPayload;
        writeLe16(record, address);
        record[2] = static_cast<uint8_t>(length & 0xFF);
        uint8_t sum = record[0];
        sum = addEndAroundCarry(sum, record[1]);
        sum = addEndAroundCarry(sum, record[2]);
        for (std::size_t i = 0; i < length; ++i) {
            record[kRecordHeaderSize + i] = payload[i];
            sum = addEndAroundCarry(sum, payload[i]);
        }
        record[kRecordHeaderSize + length] = sum;
        // The caller checks the stream's error state once, when it closes the file.
        (void)std::fwrite(record, 1, kRecordHeaderSize + length + kRecordChecksumSize, stream);
        progress(verbosity, Level::Records, "Blk %d: adr=%04x; size=%03x; checksum=%02x\n", number,
            static_cast<unsigned>(address), static_cast<unsigned>(length), static_cast<unsigned>(sum));
        address = static_cast<uint16_t>(address + length);
        payload += length;
        remaining -= length;
    }
}
