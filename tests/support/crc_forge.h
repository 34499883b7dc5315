// Makes 8 KB blocks with a chosen CRC-16, so that tests (and the example) can
// stand in for catalogued ROMs without shipping any real ROM.
#pragma once

#include <cstdint>

#include "support/test_support.h"

// Sets the last two bytes of data so that its CRC-16 is target.
void forgeCrc(Bytes& data, uint16_t target);

// Returns: an 8192-byte block that is not blank, patterned from seed, with CRC-16 target.
Bytes forgedBlock(uint16_t target, uint8_t seed);
