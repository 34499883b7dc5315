// Catalogue line parser.
#include "catalogue/catalogue_line.h"

#include <cstring>

#include "base/console.h"
#include "base/hex_digit.h"

namespace {

constexpr std::size_t kCrcFieldLength = 4;
constexpr std::size_t kBankFieldLength = 80;
constexpr uint32_t kHighestBank = kBankCount - 1;

}  // namespace

const char* skipBlanks(const char* cursor) {
    while (isBlank(*cursor)) ++cursor;
    return cursor;
}

void trimCopy(char* destination, const char* source, std::size_t maxLength) {
    source = skipBlanks(source);
    std::size_t length = 0;
    while (length < maxLength && source[length] != '\0') {
        destination[length] = source[length];
        ++length;
    }
    while (length > 0 && isBlank(destination[length - 1])) --length;
    destination[length] = '\0';
}

int parseHexRun(const char*& cursor, uint32_t& value) {
    cursor = skipBlanks(cursor);
    value = 0;
    int count = 0;
    for (int digit; (digit = hexDigitValue(*cursor)) >= 0; ++cursor) {
        value = (value << 4) | static_cast<uint32_t>(digit);
        ++count;
    }
    cursor = skipBlanks(cursor);
    return count;
}

CrcStatus parseHex16(const char* text, uint16_t& crc) {
    uint32_t value = 0;
    if (parseHexRun(text, value) == 0) return CrcStatus::NoDigits;
    if (*text != '\0') return CrcStatus::TrailingText;
    crc = static_cast<uint16_t>(value & 0xFFFFu);
    return CrcStatus::Ok;
}

BanksStatus parseBankList(int32_t verbosity, const char* text, std::array<uint8_t, kBankCount>& banks) {
    banks.fill(0);
    int count = 0;
    while (*text != '\0') {
        uint32_t bank = 0;
        if (parseHexRun(text, bank) == 0) {
            if (*text != '\0') return BanksStatus::TrailingText;
            break;
        }
        if (*text == ',') ++text;
        if (bank > kHighestBank) {
            if (shows(verbosity, Level::Steps)) reportError("value for 'bank' must less than 0x40: %02x\n", bank);
            return BanksStatus::BankTooHigh;
        }
        banks[bank] = 1;
        ++count;
    }
    return count == 0 ? BanksStatus::NoBanks : BanksStatus::Ok;
}

LineStatus parseCatalogueLine(int32_t verbosity, char* line, CatalogueEntry& entry) {
    char* crcField = line + (skipBlanks(line) - line);
    if (*crcField == '\0' || *crcField == '#' || *crcField == ';') return LineStatus::Comment;

    char* firstSeparator = std::strchr(crcField, ';');
    if (firstSeparator == nullptr) return LineStatus::MissingSeparator;
    char* secondSeparator = std::strchr(firstSeparator + 1, ';');
    if (secondSeparator == nullptr) return LineStatus::MissingSeparator;
    *firstSeparator = '\0';
    *secondSeparator = '\0';

    char crcText[kCrcFieldLength + 1];
    char bankText[kBankFieldLength + 1];
    char nameText[kMaxNameLength + 1];
    trimCopy(crcText, crcField, kCrcFieldLength);
    trimCopy(bankText, firstSeparator + 1, kBankFieldLength);
    trimCopy(nameText, secondSeparator + 1, kMaxNameLength);

    uint16_t crc = 0;
    if (parseHex16(crcText, crc) != CrcStatus::Ok) return LineStatus::BadCrc;
    std::array<uint8_t, kBankCount> banks{};
    if (parseBankList(verbosity, bankText, banks) != BanksStatus::Ok) return LineStatus::BadBanks;

    entry.crc = crc;
    entry.banks = banks;
    entry.name = nameText;
    return LineStatus::Entry;
}
