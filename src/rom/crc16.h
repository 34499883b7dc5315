// CRC-16 of a block: the plain polynomial remainder, as the catalogue stores it.
#pragma once

#include <cstdint>

// Polynomial 0x8005, register from 0, most significant bit first, no
// reflection, no final XOR, and no zero bytes appended after the data.
// Returns: the remainder; 0 for length 0.
uint16_t crc16Block(const uint8_t* data, uint16_t length);
