// Reading a disk image.
#include "disk/disk_reader.h"

#include <algorithm>

namespace {

constexpr int kDirectory = -2;  // a sector the header, the BAM or the directory holds
constexpr int kUnowned = -1;

struct Image {
    const uint8_t* bytes;
    std::size_t size;
    DiskFormat format;
};

// Returns: the sector's 256 bytes, or nullptr when it is off the disk or past the bytes there are.
const uint8_t* sectorOf(const Image& image, int track, int sector) {
    const long offset = sectorOffset(image.format, track, sector);
    if (offset < 0 || static_cast<std::size_t>(offset) + kSectorSize > image.size) return nullptr;
    return image.bytes + offset;
}

std::string place(int track, int sector) { return std::to_string(track) + "/" + std::to_string(sector); }

// Returns: what a chain that cannot go on to track/sector runs into.
std::string beyond(const Image& image, int track, int sector) {
    return sectorOffset(image.format, track, sector) < 0 ? "leaves the disk at " + place(track, sector)
                                                         : "runs past the end of the image at " + place(track, sector);
}

std::string unpadded(const uint8_t* text, std::size_t length) {
    std::string value(text, text + length);
    while (!value.empty() && static_cast<uint8_t>(value.back()) == kNamePad) value.pop_back();
    return value;
}

// Returns: the sector's place in the owners' list: one entry a sector of the disk.
std::size_t indexOf(DiskFormat format, int track, int sector) {
    return static_cast<std::size_t>(sectorOffset(format, track, sector)) / kSectorSize;
}

// Follows the directory's chain from its first sector, taking each entry
// that holds a file, and where each file's chain starts.
void readDirectory(
    const Image& image, std::vector<int>& owners, DiskReport& report, std::vector<std::pair<int, int>>& starts) {
    const DiskGeometry& geometry = geometryOf(image.format);
    int track = geometry.directoryTrack;
    int sector = geometry.firstDirectorySector;
    while (track != 0) {
        const uint8_t* bytes = sectorOf(image, track, sector);
        if (bytes == nullptr) {
            report.damage.push_back("the directory's chain " + beyond(image, track, sector));
            return;
        }
        int& owner = owners[indexOf(image.format, track, sector)];
        if (owner == kDirectory) {
            report.damage.push_back("the directory's chain loops back to " + place(track, sector));
            return;
        }
        owner = kDirectory;
        for (std::size_t at = 0; at < kSectorSize; at += kEntrySize) {
            const uint8_t* entry = bytes + at;
            if (entry[2] == 0) continue;  // never used, or scratched
            DiskFile file;
            file.type = entry[2];
            file.name = unpadded(entry + 5, kNameLength);
            file.blocks = entry[30] | entry[31] << 8;
            report.files.push_back(file);
            starts.emplace_back(entry[3], entry[4]);
        }
        track = bytes[0];
        sector = bytes[1];
    }
}

// Follows one file's chain, taking its bytes.
void readFile(const Image& image, std::vector<int>& owners, int index, std::pair<int, int> start, DiskReport& report) {
    DiskFile& file = report.files[static_cast<std::size_t>(index)];
    auto [track, sector] = start;
    long chained = 0;
    for (;;) {
        const uint8_t* bytes = sectorOf(image, track, sector);
        if (bytes == nullptr) {
            report.damage.push_back(file.name + ": its chain " + beyond(image, track, sector));
            return;
        }
        int& owner = owners[indexOf(image.format, track, sector)];
        if (owner == index) {
            report.damage.push_back(file.name + ": its chain loops back to " + place(track, sector));
            return;
        }
        if (owner != kUnowned) {
            const std::string other =
                owner == kDirectory ? "the directory" : report.files[static_cast<std::size_t>(owner)].name;
            report.damage.push_back(
                "sector " + place(track, sector) + " is used by both " + file.name + " and " + other);
            return;
        }
        owner = index;
        ++chained;
        if (bytes[0] == 0) {
            // The last sector's second byte is the index of its last byte used.
            const std::size_t used = std::min<std::size_t>(bytes[1] < 1 ? 0 : bytes[1] - 1u, kSectorPayload);
            file.data.insert(file.data.end(), bytes + 2, bytes + 2 + used);
            file.whole = true;
            break;
        }
        file.data.insert(file.data.end(), bytes + 2, bytes + kSectorSize);
        track = bytes[0];
        sector = bytes[1];
    }
    if (chained != file.blocks) {
        report.damage.push_back(file.name + ": the directory says " + std::to_string(file.blocks) +
                                " blocks, its chain has " + std::to_string(chained));
    }
}

// Checks each track's count of free sectors against its map, and that no
// sector in use is free in the BAM; counts the blocks free.
void checkBam(const Image& image, const std::vector<int>& owners, DiskReport& report) {
    const DiskGeometry& geometry = geometryOf(image.format);
    for (int track = 1; track <= geometry.tracks; ++track) {
        const auto entry = static_cast<std::size_t>(bamEntryOffset(image.format, track));
        if (entry + 1 + bamMapBytes(image.format) > image.size) return;  // cut short: said already
        const uint8_t* map = image.bytes + entry + 1;
        int shown = 0;
        for (int sector = 0; sector < sectorsOnTrack(image.format, track); ++sector) {
            const bool free = (map[sector / 8] >> (sector % 8) & 1) != 0;
            shown += free ? 1 : 0;
            const int owner = owners[indexOf(image.format, track, sector)];
            if (free && owner != kUnowned) {
                const std::string user =
                    owner == kDirectory ? "the directory" : report.files[static_cast<std::size_t>(owner)].name;
                report.damage.push_back(
                    "sector " + place(track, sector) + ", used by " + user + ", is free in the BAM");
            }
        }
        const int counted = image.bytes[entry];
        if (counted != shown) {
            report.damage.push_back("track " + std::to_string(track) + ": the BAM's count of free sectors is " +
                                    std::to_string(counted) + ", its map shows " + std::to_string(shown));
        }
        if (track != geometry.directoryTrack) report.blocksFree += counted;
    }
}

}  // namespace

long diskHeaderAt(DiskFormat format, std::size_t size) {
    const DiskGeometry& geometry = geometryOf(format);
    const bool whole = size == static_cast<std::size_t>(geometry.size) ||
                       (format == DiskFormat::D64 && size == static_cast<std::size_t>(kD64WithErrorsSize));
    const long at = sectorOffset(format, geometry.directoryTrack, geometry.headerSector);
    const bool cutShort =
        size < static_cast<std::size_t>(geometry.size) && size >= static_cast<std::size_t>(at) + kSectorSize;
    return whole || cutShort ? at : -1;
}

bool isDiskHeader(DiskFormat format, const uint8_t* header, bool whole) {
    // The DOS version: every image has it; the DOS type as the drive formats
    // a disk, which tools may leave out, is asked of an image cut short.
    const DiskGeometry& geometry = geometryOf(format);
    if (header[2] != static_cast<uint8_t>(geometry.dosVersion)) return false;
    const uint8_t* dosType = header + geometry.label + 21;
    return whole || (dosType[0] == static_cast<uint8_t>(geometry.dosType[0]) &&
                        dosType[1] == static_cast<uint8_t>(geometry.dosType[1]));
}

DiskReport readDiskImage(const uint8_t* bytes, std::size_t size, DiskFormat format) {
    const DiskGeometry& geometry = geometryOf(format);
    const Image image{bytes, size, format};
    DiskReport report;
    report.format = format;
    report.size = static_cast<long>(size);
    if (size < static_cast<std::size_t>(geometry.size)) {
        report.damage.push_back(
            "the image is cut short: " + std::to_string(size) + " of " + std::to_string(geometry.size) + " bytes");
    }
    const uint8_t* header = sectorOf(image, geometry.directoryTrack, geometry.headerSector);
    if (header != nullptr) {
        const std::size_t name = geometry.label;
        report.name = unpadded(header + name, kNameLength);
        report.id = unpadded(header + name + 18, 2);
    }
    std::vector<int> owners(static_cast<std::size_t>(geometry.size) / kSectorSize, kUnowned);
    owners[indexOf(format, geometry.directoryTrack, geometry.headerSector)] = kDirectory;
    if (format == DiskFormat::D81) {
        for (const int bam : {1, 2}) owners[indexOf(format, geometry.directoryTrack, bam)] = kDirectory;
    }
    std::vector<std::pair<int, int>> starts;
    readDirectory(image, owners, report, starts);
    for (std::size_t i = 0; i < starts.size(); ++i) readFile(image, owners, static_cast<int>(i), starts[i], report);
    checkBam(image, owners, report);
    return report;
}

std::string diskFileType(uint8_t type) {
    static const char* const kTypes[] = {"del", "seq", "prg", "usr", "rel"};
    const unsigned kind = type & 0x07u;
    std::string text = kind < 5 ? kTypes[kind] : "?";
    if ((type & 0x80) == 0) text = "*" + text;  // not closed
    if ((type & 0x40) != 0) text += "<";        // locked
    return text;
}
