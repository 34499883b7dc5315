// What is in a flash image or a bank loader file.
#include "inspect/inspect_reports.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "image/block_dispatch.h"
#include "image/crc16.h"
#include "output/bank_loader.h"
#include "output/flash_image.h"
#include "output/loader_decoder.h"
#include "output/loader_records.h"
#include "run/files.h"

namespace {

constexpr int kBlockRecords = kBlockSize / static_cast<int>(kMaxRecordPayload);

// Returns: the file's size, or -1 when it cannot be told.
long sizeOf(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(file);
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) return -1;
    return size;
}

void markDamage(LoaderReport& report, std::size_t offset, const std::string& what) {
    report.damaged = true;
    report.damageOffset = offset;
    report.damage = what;
}

std::string gapText(uint16_t address, uint16_t expected) {
    char text[64];
    (void)std::snprintf(text, sizeof text, "address gap: record at %04x, expected %04x", static_cast<unsigned>(address),
                        static_cast<unsigned>(expected));
    return text;
}

// Checks the record structure; on success fills the flasher and block parts.
void checkStructure(const uint8_t* data, std::size_t size, const DecodedRecords& decoded, LoaderReport& report) {
    const std::vector<LoaderRecord>& records = decoded.records;
    if (records.size() < static_cast<std::size_t>(kBlockRecords)) {
        markDamage(report, size, "block records missing: " + std::to_string(records.size()) +
                                     " records in all, a bank loader file ends with 32 records at 4000");
        return;
    }
    const std::size_t blockFirst = records.size() - kBlockRecords;
    for (std::size_t j = 1; j < blockFirst; ++j) {
        const LoaderRecord& previous = records[j - 1];
        const auto expected = static_cast<uint16_t>(previous.address + previous.length);
        if (previous.length != kMaxRecordPayload) {
            markDamage(report, records[j].offset, "flasher record after a short record");
            return;
        }
        if (records[j].address != expected) {
            markDamage(report, records[j].offset, gapText(records[j].address, expected));
            return;
        }
    }
    for (int i = 0; i < kBlockRecords; ++i) {
        const LoaderRecord& record = records[blockFirst + i];
        const auto expected = static_cast<uint16_t>(kBlockLoadAddress + i * kMaxRecordPayload);
        if (record.address != expected || record.length != kMaxRecordPayload) {
            char what[96];
            (void)std::snprintf(what, sizeof what, "block record at %04x with %u bytes, expected 256 bytes at %04x",
                                static_cast<unsigned>(record.address), static_cast<unsigned>(record.length),
                                static_cast<unsigned>(expected));
            markDamage(report, record.offset, what);
            return;
        }
    }
    if (blockFirst > 0) {
        report.hasFlasher = true;
        report.flasherAddress = records.front().address;
        std::size_t payload = 0;
        for (std::size_t j = 0; j < blockFirst; ++j) payload += records[j].length;
        report.flasherSize = payload + 1;  // load address + body; the payload's last byte is the bank
        const LoaderRecord& last = records[blockFirst - 1];
        report.bankByte = data[last.offset + 3 + last.length - 1];
    }
    std::vector<uint8_t> blockBytes;
    blockBytes.reserve(kBlockSize);
    for (int i = 0; i < kBlockRecords; ++i) {
        const uint8_t* payload = data + records[blockFirst + i].offset + 3;
        blockBytes.insert(blockBytes.end(), payload, payload + kMaxRecordPayload);
    }
    report.blockStart = kBlockLoadAddress;
    report.blockSize = blockBytes.size();
    report.crc = crc16Block(blockBytes.data(), static_cast<uint16_t>(blockBytes.size()));
}

}  // namespace

int inspectFlashImage(const char* path, const Catalogue& catalogue, ImageReport& report) {
    FilePtr file = openReadableFile(path);
    if (!file) return kInspectCannotOpen;
    report.size = sizeOf(file.get());
    if (report.size != kFlashImageSize) return kInspectWrongSize;
    std::vector<uint8_t> image(static_cast<std::size_t>(kFlashImageSize));
    if (std::fread(image.data(), image.size(), 1, file.get()) != 1) return kInspectReadError;

    for (int bank = 0; bank < kSlotCount; ++bank) {
        const uint8_t* slot = image.data() + static_cast<std::size_t>(bank) * kSlotSize;
        BankReport bankReport;
        bankReport.bank = bank;
        if (std::all_of(slot, slot + kSlotSize, [](uint8_t byte) { return byte == 0xFF; })) {
            ++report.blank;
        } else {
            ++report.used;
            bankReport.crc = crc16Block(slot, kSlotSize);
            bankReport.entry = findByCrc(catalogue, bankReport.crc);
            if (bankReport.entry == nullptr) {
                bankReport.content = BankContent::Unknown;
                ++report.unknown;
            } else {
                bankReport.content = BankContent::Known;
                bankReport.misplaced = bankReport.entry->banks[bank] == 0;
                if (bankReport.misplaced) ++report.misplaced;
            }
        }
        report.banks.push_back(bankReport);
    }
    return kInspectRead;
}

void inspectLoaderBytes(const uint8_t* data, std::size_t size, const Catalogue& catalogue, LoaderReport& report) {
    if (size == 0) {
        markDamage(report, 0, "empty file, no records");
        return;
    }
    const DecodedRecords decoded = decodeLoaderRecords(data, size);
    if (decoded.fault != kDecodeOk) {
        markDamage(report, decoded.faultOffset, decodeFaultText(decoded.fault));
        return;
    }
    checkStructure(data, size, decoded, report);
    if (report.damaged) return;
    report.entry = findByCrc(catalogue, report.crc);
    report.bankNamed = report.hasFlasher && report.entry != nullptr && report.bankByte < kBankCount &&
                       report.entry->banks[report.bankByte] != 0;
}

int inspectLoaderFile(const char* path, const Catalogue& catalogue, LoaderReport& report) {
    FilePtr file = openReadableFile(path);
    if (!file) return kInspectCannotOpen;
    report.size = sizeOf(file.get());
    if (report.size < 0 || static_cast<unsigned long>(report.size) > kMaxLoaderFileSize) {
        // Nothing past what a bank loader file can hold is read, however large the file.
        markDamage(report, kMaxLoaderFileSize,
                   "larger than a bank loader file can be (" + std::to_string(kMaxLoaderFileSize) + " bytes)");
        return kInspectRead;
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(report.size));
    if (!bytes.empty() && std::fread(bytes.data(), bytes.size(), 1, file.get()) != 1) return kInspectReadError;
    inspectLoaderBytes(bytes.data(), bytes.size(), catalogue, report);
    return kInspectRead;
}

bool loaderIsGood(const LoaderReport& report) { return !report.damaged && report.bankNamed; }
