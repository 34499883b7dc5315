// Checking what is in a flash image or a bank loader file.
#include "inspect/file_checks.h"

#include <algorithm>
#include <cstdio>

#include "base/files.h"
#include "base/flash_geometry.h"
#include "image/crc16.h"
#include "output/bank_loader.h"
#include "output/loader_decoder.h"
#include "output/loader_records.h"

namespace {

constexpr std::size_t kBlockRecords = kBlockSize / kMaxRecordPayload;

// Opens a file to inspect. Returns: kInspectRead with file open, kInspectNotRegular or kInspectCannotOpen.
int openToInspect(const char* path, FilePtr& file) {
    if (fileKind(path) == FileKind::Other) return kInspectNotRegular;
    file = openInputFile(path);
    return file ? kInspectRead : kInspectCannotOpen;
}

bool isBlank(const uint8_t* block) {
    return std::all_of(block, block + kBlockSize, [](uint8_t byte) { return byte == 0xFF; });
}

void markDamage(LoaderReport& report, std::size_t offset, const std::string& what) {
    report.damaged = true;
    report.damageOffset = offset;
    report.damage = what;
}

// Checks that the flasher's records continue each other and that the file
// ends with the 32 block records at 4000. Returns: false after marking the first damage.
bool checkRecordLayout(const std::vector<LoaderRecord>& records, std::size_t fileSize, LoaderReport& report) {
    if (records.size() < kBlockRecords) {
        markDamage(report, fileSize, "block records missing: " + std::to_string(records.size()) +
                                         " records in all, a bank loader file ends with 32 records at 4000");
        return false;
    }
    const std::size_t blockFirst = records.size() - kBlockRecords;
    char what[96];
    for (std::size_t j = 1; j < blockFirst; ++j) {
        const LoaderRecord& previous = records[j - 1];
        const auto expected = static_cast<uint16_t>(previous.address + previous.length);
        if (previous.length != kMaxRecordPayload) {
            markDamage(report, records[j].offset, "flasher record after a short record");
            return false;
        }
        if (records[j].address != expected) {
            (void)std::snprintf(what, sizeof what, "address gap: record at %04x, expected %04x",
                                static_cast<unsigned>(records[j].address), static_cast<unsigned>(expected));
            markDamage(report, records[j].offset, what);
            return false;
        }
    }
    for (std::size_t i = 0; i < kBlockRecords; ++i) {
        const LoaderRecord& record = records[blockFirst + i];
        const auto expected = static_cast<uint16_t>(kBlockLoadAddress + i * kMaxRecordPayload);
        if (record.address != expected || record.length != kMaxRecordPayload) {
            (void)std::snprintf(what, sizeof what, "block record at %04x with %u bytes, expected 256 bytes at %04x",
                                static_cast<unsigned>(record.address), static_cast<unsigned>(record.length),
                                static_cast<unsigned>(expected));
            markDamage(report, record.offset, what);
            return false;
        }
    }
    return true;
}

// Takes the flasher's load address, size and bank byte, and the block's CRC-16,
// from records whose layout is checked.
void readLoaderParts(const uint8_t* data, const std::vector<LoaderRecord>& records, LoaderReport& report) {
    const std::size_t blockFirst = records.size() - kBlockRecords;
    if (blockFirst > 0) {
        report.hasFlasher = true;
        report.flasherAddress = records.front().address;
        std::size_t payload = 0;
        for (std::size_t j = 0; j < blockFirst; ++j) payload += records[j].length;
        report.flasherSize = payload + 1;  // load address + body; the payload's last byte is the bank
        const LoaderRecord& last = records[blockFirst - 1];
        report.bankByte = data[last.offset + kRecordHeaderSize + last.length - 1];
    }
    std::vector<uint8_t> block;
    block.reserve(kBlockSize);
    for (std::size_t i = blockFirst; i < records.size(); ++i) {
        const uint8_t* payload = data + records[i].offset + kRecordHeaderSize;
        block.insert(block.end(), payload, payload + kMaxRecordPayload);
    }
    report.blockStart = kBlockLoadAddress;
    report.blockSize = block.size();
    report.crc = crc16Block(block.data(), static_cast<uint16_t>(block.size()));
}

}  // namespace

int inspectFlashImage(const char* path, const Catalogue& catalogue, ImageReport& report) {
    FilePtr file;
    const int opened = openToInspect(path, file);
    if (opened != kInspectRead) return opened;
    report.size = fileSize(file.get());
    if (report.size != kFlashImageSize) return kInspectWrongSize;
    std::vector<uint8_t> image(static_cast<std::size_t>(kFlashImageSize));
    if (std::fread(image.data(), image.size(), 1, file.get()) != 1) return kInspectReadError;

    for (int bank = 0; bank < kBankCount; ++bank) {
        const uint8_t* slot = image.data() + static_cast<std::size_t>(bank) * kBlockSize;
        BankReport bankReport;
        bankReport.bank = bank;
        if (isBlank(slot)) {
            ++report.blank;
        } else {
            ++report.used;
            bankReport.crc = crc16Block(slot, kBlockSize);
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
    if (!checkRecordLayout(decoded.records, size, report)) return;
    readLoaderParts(data, decoded.records, report);
    report.entry = findByCrc(catalogue, report.crc);
    report.bankNamed = report.hasFlasher && report.entry != nullptr && report.bankByte < kBankCount &&
                       report.entry->banks[report.bankByte] != 0;
}

int inspectLoaderFile(const char* path, const Catalogue& catalogue, LoaderReport& report) {
    FilePtr file;
    const int opened = openToInspect(path, file);
    if (opened != kInspectRead) return opened;
    report.size = fileSize(file.get());
    if (report.size < 0 || static_cast<unsigned long>(report.size) > kMaxBankLoaderFileSize) {
        // Nothing past what a bank loader file can hold is read, however large the file.
        markDamage(report, kMaxBankLoaderFileSize,
                   "larger than a bank loader file can be (" + std::to_string(kMaxBankLoaderFileSize) + " bytes)");
        return kInspectRead;
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(report.size));
    if (!bytes.empty() && std::fread(bytes.data(), bytes.size(), 1, file.get()) != 1) return kInspectReadError;
    inspectLoaderBytes(bytes.data(), bytes.size(), catalogue, report);
    return kInspectRead;
}

bool loaderIsGood(const LoaderReport& report) { return !report.damaged && report.bankNamed; }
