// Makes blocks with a chosen CRC-16.
#include "support/crc_forge.h"

#include "image/crc16.h"

void forgeCrc(Bytes& data, uint16_t target) {
    // The remainder of data ending in two zero bytes is what the rest of the
    // data leaves; two bytes put there are added to it unchanged.
    const std::size_t n = data.size();
    data[n - 2] = 0;
    data[n - 1] = 0;
    const uint16_t rest = crc16Block(data.data(), static_cast<uint16_t>(n));
    const uint16_t tail = static_cast<uint16_t>(rest ^ target);
    data[n - 2] = static_cast<uint8_t>(tail >> 8);
    data[n - 1] = static_cast<uint8_t>(tail & 0xFF);
}

Bytes forgedBlock(uint16_t target, uint8_t seed) {
    Bytes block(8192);
    for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(seed + i * 3 + (i >> 8));
    forgeCrc(block, target);
    return block;
}
