// Catalogue line syntax "CRC; BANKS; NAME" and its parser.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "catalogue/catalogue_entry.h"

// Statuses of parseCatalogueLine; "error in line %d: rc=%d" prints the failures' numbers.
enum class LineStatus { Entry = 0, Comment = 1, MissingSeparator = -2, BadCrc = -3, BadBanks = -4 };
inline bool isFaulty(LineStatus status) { return static_cast<int>(status) < 0; }

// Statuses of the two field parsers, folded into BadCrc and BadBanks by the line parser.
enum class CrcStatus { Ok = 0, NoDigits = -2, TrailingText = -3 };
enum class BanksStatus { Ok = 0, BankTooHigh = -2, TrailingText = -3, NoBanks = -4 };

// A blank is a non-zero character whose value as a signed 8-bit number is at
// most 32: controls, space, and every byte from 0x80 up (not 0x7F).
inline bool isBlank(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u != 0 && (u <= 32 || u >= 0x80);
}

// Returns: the cursor moved past any blanks.
const char* skipBlanks(const char* cursor);

// Copies source without its surrounding blanks into destination, which has
// room for maxLength characters and a terminator; text past maxLength is dropped.
void trimCopy(char* destination, const char* source, std::size_t maxLength);

// Reads a run of hexadecimal digits between optional blanks, accumulated in
// 32 bits (only the last 8 digits count). Leaves cursor after the trailing blanks.
// Returns: the number of digits read; value is 0 when there were none.
int parseHexRun(const char*& cursor, uint32_t& value);

// Returns: Ok with crc set to the low 16 bits, NoDigits, or TrailingText.
CrcStatus parseHex16(const char* text, uint16_t& crc);

// Parses banks separated by one comma and/or blanks; prints the bank-range
// message at verbosity >= 1 for a bank above 0x3F.
// Returns: Ok, BankTooHigh, TrailingText or NoBanks.
BanksStatus parseBankList(int32_t verbosity, const char* text, std::array<uint8_t, kBankCount>& banks);

// Parses one line, which it modifies in place (the separators become
// terminators); verbosity gates the bank-range message.
// Returns: Entry with entry set, or Comment, MissingSeparator,
// BadCrc or BadBanks with entry left as it was.
LineStatus parseCatalogueLine(int32_t verbosity, char* line, CatalogueEntry& entry);
