// Checking what is in a flash image, a ROM file or a bank loader file.
#include "inspect/file_checks.h"

#include <algorithm>
#include <cstdio>
#include <type_traits>

#include "base/files.h"
#include "base/flash_geometry.h"
#include "base/little_endian.h"
#include "base/system.h"
#include "output/bank_loader.h"
#include "output/loader_decoder.h"
#include "output/loader_records.h"
#include "rom/crc16.h"
#include "rom/rom_file.h"

namespace {

constexpr std::size_t kBlockRecords = kBlockSize / kMaxRecordPayload;

// The blocks of an image or a ROM file (const or not, as the file), or nullptr.
template <typename File>
auto* readingIn(File& file) {
    using Reading = std::conditional_t<std::is_const_v<File>, const BlockReading, BlockReading>;
    if (auto* image = std::get_if<ImageReport>(&file.report)) return static_cast<Reading*>(&image->reading);
    if (auto* rom = std::get_if<RomReport>(&file.report)) return static_cast<Reading*>(&rom->reading);
    return static_cast<Reading*>(nullptr);
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
        markDamage(report, fileSize,
            "block records missing: " + std::to_string(records.size()) +
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

// Reads the next count bytes of the file, from its stream or from the bytes it holds.
// Returns: false when they are not all there.
bool readPart(InspectedFile& file, void* to, std::size_t count) {
    if (count == 0) return true;
    FileSource& source = file.source;
    if (source.held == nullptr) return source.stream && std::fread(to, count, 1, source.stream.get()) == 1;
    if (source.held->size() - source.heldAt < count) return false;
    std::copy_n(source.held->data() + source.heldAt, count, static_cast<uint8_t*>(to));
    source.heldAt += count;
    return true;
}

// Returns: whether bytes start with two loader records as a bank loader
// file does: the second continues the first (the flasher's records, or the
// block's), or starts the block at 4000; a run of zeros or of any one byte
// does neither.
bool startsLikeLoader(const uint8_t* bytes, std::size_t size) {
    const std::size_t twoRecords = 2 * (kRecordHeaderSize + kMaxRecordPayload + kRecordChecksumSize);
    const DecodedRecords decoded = decodeLoaderRecords(bytes, std::min(size, twoRecords));
    if (decoded.records.size() < 2) return false;
    const LoaderRecord& first = decoded.records[0];
    const uint16_t second = decoded.records[1].address;
    return second == static_cast<uint16_t>(first.address + first.length) || second == kBlockLoadAddress;
}

// Reads what a bank loader file can hold and checks it, when its size is
// one only a bank loader file has, or its first record is a loader record
// (the first two, for a file larger than a bank loader file can be).
// Returns: Unrecognised when it is neither.
InspectStatus checkLoader(InspectedFile& file, const Catalogue& catalogue) {
    const int64_t size = file.size;
    LoaderReport& report = file.report.emplace<LoaderReport>();
    // Nothing past what a bank loader file can hold is read, however large the file.
    const bool tooLarge = static_cast<uint64_t>(size) > kMaxBankLoaderFileSize;
    std::vector<uint8_t> bytes(tooLarge ? kMaxBankLoaderFileSize : static_cast<std::size_t>(size));
    if (!readPart(file, bytes.data(), bytes.size())) return InspectStatus::ReadError;
    const std::size_t firstRecord = kRecordHeaderSize + kMaxRecordPayload + kRecordChecksumSize;
    const bool recordFirst =
        tooLarge ? startsLikeLoader(bytes.data(), bytes.size())
                 : !decodeLoaderRecords(bytes.data(), std::min(bytes.size(), firstRecord)).records.empty();
    if (!isBankLoaderFileSize(size) && !recordFirst) return InspectStatus::Unrecognised;
    if (tooLarge) {
        markDamage(report, kMaxBankLoaderFileSize,
            "larger than a bank loader file can be (" + std::to_string(kMaxBankLoaderFileSize) + " bytes)");
    } else {
        inspectLoaderBytes(bytes.data(), bytes.size(), catalogue, report);
    }
    return InspectStatus::Read;
}

// Tells whether the file's start is text: no zero byte in its first 4 KB.
// Returns: Read with text set, or ReadError.
InspectStatus startIsText(InspectedFile& file, bool& text) {
    std::FILE* stream = file.source.stream.get();
    std::vector<uint8_t> start(4096);
    std::rewind(stream);
    start.resize(std::fread(start.data(), 1, start.size(), stream));
    if (std::ferror(stream) != 0) return InspectStatus::ReadError;
    std::rewind(stream);
    text = looksLikeText(start.data(), start.size());
    return InspectStatus::Read;
}

// Reads a file as catalogue lines, when it is given as a catalogue or its
// start is text and one of its lines an entry.
// Returns: Unrecognised when it is none.
InspectStatus tellCatalogue(InspectedFile& file) {
    std::FILE* stream = file.source.stream.get();
    if (stream == nullptr) return InspectStatus::Unrecognised;  // a file of a disk image is no catalogue here
    bool text = false;
    if (startIsText(file, text) != InspectStatus::Read) return InspectStatus::ReadError;
    if (!file.asCatalogue && !text) return InspectStatus::Unrecognised;
    CatalogueReport& report = file.report.emplace<CatalogueReport>();
    if (!readCatalogueReport(stream, report)) return InspectStatus::ReadError;
    if (!file.asCatalogue && report.catalogue.entries.empty()) return InspectStatus::Unrecognised;
    return InspectStatus::Read;
}

InspectStatus tellKind(const Catalogue& catalogue, InspectedFile& file);

// Checks a file of a disk image as a loose file is checked, when its chain
// could be followed to its end. A file of another kind, or a ROM file
// without a whole block (a small program: a game, the flasher), is not wrong.
DiskFileCheck checkDiskFile(const Catalogue& catalogue, const DiskFile& entry) {
    DiskFileCheck check;
    check.chained = entry.chained;
    check.whole = entry.whole;
    check.damaged = entry.damaged;
    if (!check.whole) return check;
    InspectedFile inner;
    inner.path = entry.name;
    inner.source.held = &entry.data;
    inner.size = static_cast<int64_t>(entry.data.size());
    check.told = tellKind(catalogue, inner) == InspectStatus::Read &&
                 !(kindOf(inner) == InspectedKind::Rom && std::get<RomReport>(inner.report).reading.blocks == 0);
    check.good = !check.told && !check.damaged;
    if (!check.told) return check;
    BlockReport block;
    while (nextBlock(catalogue, inner, block)) {}
    check.kind = kindOf(inner);
    if (const BlockReading* reading = readingOf(inner)) {
        check.blocks = reading->blocks;
        check.counts = reading->counts;
    }
    if (check.kind == InspectedKind::Loader) check.loader = std::get<LoaderReport>(inner.report);
    check.good = inner.status == InspectStatus::Read && inspectedFileIsGood(inner) && !check.damaged;
    return check;
}

// Reads a disk image whole and checks each of its files.
InspectStatus tellDisk(const Catalogue& catalogue, InspectedFile& file, const DiskShape& shape) {
    const auto size = static_cast<std::size_t>(file.size);
    std::vector<uint8_t> bytes(size);
    std::rewind(file.source.stream.get());
    if (!readPart(file, bytes.data(), size)) return InspectStatus::ReadError;
    DiskImageReport& report = file.report.emplace<DiskImageReport>();
    report.disk = readDiskImage(bytes.data(), size, shape);
    for (const DiskFile& entry : report.disk.files) report.files.push_back(checkDiskFile(catalogue, entry));
    file.source.stream.reset();
    return InspectStatus::Read;
}

// Returns: whether the header sector of a disk of this shape, read from the file, is a disk's.
InspectStatus headerIsDisks(InspectedFile& file, const DiskShape& shape, bool& disk) {
    const DiskGeometry& geometry = geometryOf(shape.format);
    uint8_t header[kSectorSize];
    const long at = sectorOffset(shape.format, geometry.directoryTrack, geometry.headerSector);
    std::FILE* stream = file.source.stream.get();
    if (std::fseek(stream, at, SEEK_SET) != 0 || std::fread(header, sizeof header, 1, stream) != 1) {
        return InspectStatus::ReadError;
    }
    std::rewind(stream);
    disk = isDiskHeader(shape.format, header);
    return InspectStatus::Read;
}

// Tells a disk image by its size: one of the sizes disk images come in (but
// for those a ROM file also has, 24 and 100 blocks, which take a disk's
// header), or one cut short that is neither a bank loader file, longer
// than it can be, nor text.
// Returns: Unrecognised when it is none.
InspectStatus tellDiskBySize(const Catalogue& catalogue, InspectedFile& file) {
    DiskShape shape;
    if (file.source.held != nullptr || !diskShapeOf(file.size, static_cast<int64_t>(kMaxBankLoaderFileSize), shape)) {
        return InspectStatus::Unrecognised;  // a file of a disk image holds no disk here
    }
    bool disk = shape.whole;
    if (romLayout(file.size).accepted) {
        if (!shape.whole) return InspectStatus::Unrecognised;
        if (headerIsDisks(file, shape, disk) != InspectStatus::Read) return InspectStatus::ReadError;
    } else if (!shape.whole) {
        bool text = false;
        std::vector<uint8_t> start(2 * (kRecordHeaderSize + kMaxRecordPayload + kRecordChecksumSize));
        if (!readPart(file, start.data(), start.size()) || startIsText(file, text) != InspectStatus::Read) {
            return InspectStatus::ReadError;
        }
        disk = !text && !startsLikeLoader(start.data(), start.size());
    }
    return disk ? tellDisk(catalogue, file, shape) : InspectStatus::Unrecognised;
}

// Tells the kind from the size, and the content where the size leaves it open.
InspectStatus tellKind(const Catalogue& catalogue, InspectedFile& file) {
    if (file.asCatalogue) {
        const InspectStatus status = tellCatalogue(file);
        file.source.stream.reset();
        return status;
    }
    if (file.size != kFlashImageSize) {
        const InspectStatus disk = tellDiskBySize(catalogue, file);
        if (disk != InspectStatus::Unrecognised) return disk;
    }
    const RomLayout rom = romLayout(file.size);
    if (file.size == kFlashImageSize) {
        file.report.emplace<ImageReport>().reading.blocks = kBankCount;
    } else if (rom.accepted) {
        RomReport& report = file.report.emplace<RomReport>();
        report.reading.blocks = rom.blocks;
        report.hasLoadAddress = rom.hasLoadAddress;
        if (rom.hasLoadAddress) {
            uint8_t address[kLoadAddressSize];
            if (!readPart(file, address, kLoadAddressSize)) return InspectStatus::ReadError;
            report.loadAddress = readLe16(address);
        }
    } else {
        InspectStatus status = checkLoader(file, catalogue);
        if (status == InspectStatus::Unrecognised) status = tellCatalogue(file);
        file.source.stream.reset();
        return status;
    }
    return InspectStatus::Read;
}

}  // namespace

InspectStatus inspectFile(const Catalogue& catalogue, InspectedFile& file) {
    const char* path = file.path.c_str();
    if (fileKind(path) == FileKind::Other) return file.status = InspectStatus::NotRegular;
    file.source.stream = openInputFile(path);
    if (!file.source.stream) return file.status = InspectStatus::CannotOpen;
    file.size = fileSize(file.source.stream.get());
    if (file.size < 0) return file.status = InspectStatus::ReadError;
    return file.status = tellKind(catalogue, file);
}

bool nextBlock(const Catalogue& catalogue, InspectedFile& file, BlockReport& report) {
    BlockReading* reading = readingOf(file);
    if (reading == nullptr || (!file.source.stream && file.source.held == nullptr) ||
        reading->read == reading->blocks) {
        return false;
    }
    if (!readPart(file, reading->block.data(), kBlockSize)) {
        file.status = InspectStatus::ReadError;
        file.source.stream.reset();
        return false;
    }
    BlockCounts& counts = reading->counts;
    report = BlockReport();
    report.index = reading->read++;
    report.crc = crc16Block(reading->block.data(), kBlockSize);
    if (isErasedBlock(reading->block.data())) {
        ++counts.blank;
        return true;
    }
    ++counts.used;
    report.entry = findByCrc(catalogue, report.crc);
    report.content = report.entry != nullptr ? BlockContent::Known : BlockContent::Unknown;
    if (report.entry == nullptr) ++counts.unknown;
    report.misplaced =
        kindOf(file) == InspectedKind::Image && report.entry != nullptr && report.entry->banks[report.index] == 0;
    if (report.misplaced) ++counts.misplaced;
    return true;
}

void inspectLoaderBytes(const uint8_t* data, std::size_t size, const Catalogue& catalogue, LoaderReport& report) {
    const DecodedRecords decoded = decodeLoaderRecords(data, size);
    if (decoded.fault != DecodeFault::None) {
        markDamage(report, decoded.faultOffset, decodeFaultText(decoded.fault));
        return;
    }
    if (!checkRecordLayout(decoded.records, size, report)) return;
    readLoaderParts(data, decoded.records, report);
    report.entry = findByCrc(catalogue, report.crc);
    report.bankNamed = report.hasFlasher && report.entry != nullptr && report.bankByte < kBankCount &&
                       report.entry->banks[report.bankByte] != 0;
}

bool loaderCarriesBlock(const uint8_t* data, std::size_t size, long bank, const uint8_t* block) {
    const Catalogue none;
    LoaderReport report;
    inspectLoaderBytes(data, size, none, report);
    if (report.damaged || !report.hasFlasher || report.bankByte != bank) return false;
    // The layout is checked: the file ends with the block's records, 256 bytes each.
    constexpr std::size_t kRecord = kRecordHeaderSize + kMaxRecordPayload + kRecordChecksumSize;
    const uint8_t* records = data + size - kBlockRecords * kRecord;
    for (std::size_t i = 0; i < kBlockRecords; ++i) {
        const uint8_t* payload = records + i * kRecord + kRecordHeaderSize;
        if (!std::equal(payload, payload + kMaxRecordPayload, block + i * kMaxRecordPayload)) return false;
    }
    return true;
}

BlockReading* readingOf(InspectedFile& file) { return readingIn(file); }

const BlockReading* readingOf(const InspectedFile& file) { return readingIn(file); }

bool inspectedFileIsGood(const InspectedFile& file) {
    switch (kindOf(file)) {
        case InspectedKind::Loader: {
            const LoaderReport& loader = std::get<LoaderReport>(file.report);
            return !loader.damaged && loader.bankNamed;
        }
        case InspectedKind::Rom: {
            const BlockReading& rom = std::get<RomReport>(file.report).reading;
            return rom.blocks > 0 && rom.counts.unknown == 0;
        }
        case InspectedKind::Catalogue: {
            const CatalogueReport& catalogue = std::get<CatalogueReport>(file.report);
            return catalogue.refused.empty() && catalogue.repeated.empty();
        }
        case InspectedKind::Disk: {
            const DiskImageReport& disk = std::get<DiskImageReport>(file.report);
            return disk.disk.damage.empty() &&
                   std::all_of(disk.files.begin(), disk.files.end(),
                       [](const DiskFileCheck& check) { return !check.chained || (check.whole && check.good); });
        }
        default: {
            const BlockCounts& image = std::get<ImageReport>(file.report).reading.counts;
            return image.unknown == 0 && image.misplaced == 0;
        }
    }
}
