// Reading a disk image.
#include "disk/disk_reader.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

constexpr int kDirectory = -2;  // a sector the header, the BAM or the directory holds
constexpr int kUnowned = -1;
constexpr std::size_t kMostLostNamed = 8;
constexpr uint8_t kTypeMask = 0x07;  // the type of file in a directory entry's type byte; 0: DEL
constexpr uint8_t kSectorOk = 0x01;  // an error byte that says the sector was read well

struct Image {
    const uint8_t* bytes;
    std::size_t size;
    DiskShape shape;
    LongBam longBam = LongBam::None;
    std::size_t sectors = 0;  // of the shape
};

int sectorsOn(const Image& image, int track) {
    return track <= image.shape.tracks ? sectorsOnTrack(image.shape.format, track) : 0;
}

long offsetOf(const Image& image, int track, int sector) {
    if (sector < 0 || sector >= sectorsOn(image, track)) return -1;
    return sectorOffset(image.shape.format, track, sector);
}

// Returns: the sector's 256 bytes, or nullptr when it is off the disk or past the bytes there are.
const uint8_t* sectorOf(const Image& image, int track, int sector) {
    const long offset = offsetOf(image, track, sector);
    if (offset < 0 || static_cast<std::size_t>(offset) + kSectorSize > image.size) return nullptr;
    return image.bytes + offset;
}

// Returns: the sector's place in the owners' list (and the error bytes): one entry a sector of the disk.
std::size_t indexOf(const Image& image, int track, int sector) {
    return static_cast<std::size_t>(offsetOf(image, track, sector)) / kSectorSize;
}

std::string place(int track, int sector) { return std::to_string(track) + "/" + std::to_string(sector); }

// Returns: what a chain that cannot go on to track/sector runs into.
std::string beyond(const Image& image, int track, int sector) {
    return offsetOf(image, track, sector) < 0 ? "leaves the disk at " + place(track, sector)
                                              : "runs past the end of the image at " + place(track, sector);
}

std::string unpadded(const uint8_t* text, std::size_t length) {
    std::string value(text, text + length);
    while (!value.empty() && static_cast<uint8_t>(value.back()) == kNamePad) value.pop_back();
    return value;
}

// Returns: why the image's error bytes mark the sector bad, or "" when they do not (or there are none).
std::string badSector(const Image& image, int track, int sector) {
    const std::size_t at = image.sectors * kSectorSize + indexOf(image, track, sector);
    if (!image.shape.errorBytes || at >= image.size) return "";
    const uint8_t code = image.bytes[at];
    if (code < 0x02 || code > 0x0F || code == kSectorOk) return "";
    // The drive's error number for each code, as the drive reports a sector it
    // cannot read; $0C-$0E stand for none of them.
    static const std::array<int, 16> kDriveErrors{0, 0, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 0, 0, 0, 74};
    char text[96];
    const std::string bad = "sector " + place(track, sector) + " is marked bad in the image's error bytes";
    if (kDriveErrors[code] == 0) {
        (void)std::snprintf(text, sizeof text, "%s ($%02X)", bad.c_str(), static_cast<unsigned>(code));
    } else {
        (void)std::snprintf(text, sizeof text, "%s ($%02X: read error %d)", bad.c_str(), static_cast<unsigned>(code),
            kDriveErrors[code]);
    }
    return text;
}

// Follows the directory's chain from its first sector, taking each entry
// that holds a file, and where each file's chain starts.
void readDirectory(
    const Image& image, std::vector<int>& owners, DiskReport& report, std::vector<std::pair<int, int>>& starts) {
    const DiskGeometry& geometry = geometryOf(image.shape.format);
    int track = geometry.directoryTrack;
    int sector = geometry.firstDirectorySector;
    while (track != 0) {
        const uint8_t* bytes = sectorOf(image, track, sector);
        if (bytes == nullptr) {
            report.damage.push_back("the directory's chain " + beyond(image, track, sector));
            return;
        }
        int& owner = owners[indexOf(image, track, sector)];
        if (owner == kDirectory) {
            report.damage.push_back("the directory's chain loops back to " + place(track, sector));
            return;
        }
        owner = kDirectory;
        const std::string bad = badSector(image, track, sector);
        if (!bad.empty()) report.damage.push_back("the directory: its " + bad);
        for (std::size_t at = 0; at < kSectorSize; at += kEntrySize) {
            const uint8_t* entry = bytes + at;
            if (entry[2] == 0) continue;  // never used, or scratched
            DiskFile file;
            file.type = entry[2];
            file.name = unpadded(entry + 5, kNameLength);
            file.blocks = entry[30] | entry[31] << 8;
            // A DEL entry that starts no chain is a line of the listing: a separator, directory art.
            file.chained = (file.type & kTypeMask) != 0 || entry[3] != 0;
            report.files.push_back(file);
            starts.emplace_back(entry[3], entry[4]);
        }
        track = bytes[0];
        sector = bytes[1];
    }
}

// Names a damage of the file at index (or of the disk's own sectors, kDirectory).
void fileDamage(DiskReport& report, int index, const std::string& what) {
    if (index >= 0) report.files[static_cast<std::size_t>(index)].damaged = true;
    report.damage.push_back(what);
}

// Follows one file's chain, taking its bytes.
void readFile(const Image& image, std::vector<int>& owners, int index, std::pair<int, int> start, DiskReport& report) {
    DiskFile& file = report.files[static_cast<std::size_t>(index)];
    if (!file.chained) return;
    auto [track, sector] = start;
    long chained = 0;
    for (;;) {
        const uint8_t* bytes = sectorOf(image, track, sector);
        if (bytes == nullptr) {
            fileDamage(report, index, file.name + ": its chain " + beyond(image, track, sector));
            return;
        }
        int& owner = owners[indexOf(image, track, sector)];
        if (owner == index) {
            fileDamage(report, index, file.name + ": its chain loops back to " + place(track, sector));
            return;
        }
        if (owner != kUnowned) {
            const std::string other =
                owner == kDirectory ? "the directory" : report.files[static_cast<std::size_t>(owner)].name;
            if (owner >= 0) report.files[static_cast<std::size_t>(owner)].damaged = true;
            fileDamage(
                report, index, "sector " + place(track, sector) + " is used by both " + file.name + " and " + other);
            return;
        }
        owner = index;
        ++chained;
        const std::string bad = badSector(image, track, sector);
        if (!bad.empty()) fileDamage(report, index, file.name + ": its " + bad);
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
        fileDamage(report, index,
            file.name + ": the directory says " + std::to_string(file.blocks) + " blocks, its chain has " +
                std::to_string(chained));
    }
}

// Returns: whether the five BAM entries at offset of the header sector
// could be those of tracks 36-40 (17 sectors each, the counts their maps')
// and are not all zero, which every layout could hold.
bool holdsLongBam(const uint8_t* header, std::size_t offset) {
    bool any = false;
    for (std::size_t track = 0; track < 5; ++track) {
        const uint8_t* entry = header + offset + 4 * track;
        const unsigned map = entry[1] | entry[2] << 8 | entry[3] << 16;
        int free = 0;
        for (unsigned bits = map; bits != 0; bits &= bits - 1) ++free;
        if (map >> 17 != 0 || entry[0] != free) return false;
        any = any || entry[0] != 0;
    }
    return any;
}

// Returns: where a 40-track .d64 keeps the BAM of tracks 36-40, by what its header holds.
LongBam findLongBam(const Image& image) {
    const DiskGeometry& geometry = geometryOf(DiskFormat::D64);
    const uint8_t* header = sectorOf(image, geometry.directoryTrack, geometry.headerSector);
    if (image.shape.tracks != kD64LongTracks || header == nullptr) return LongBam::None;
    if (holdsLongBam(header, 0xAC)) return LongBam::DolphinDos;
    if (holdsLongBam(header, 0xC0)) return LongBam::SpeedDos;
    return LongBam::None;
}

// Checks each track's count of free sectors against its map, that no
// sector in use is free in the BAM, and the header's own sector; counts the
// blocks free, and the blocks the BAM marks used that nothing holds.
void checkBam(const Image& image, const std::vector<int>& owners, DiskReport& report) {
    const DiskGeometry& geometry = geometryOf(image.shape.format);
    for (int track = 1; track <= image.shape.tracks; ++track) {
        const long at = bamEntryOffset(image.shape.format, track, image.longBam);
        if (at < 0) continue;  // tracks 36-40 where the BAM keeps none
        const auto entry = static_cast<std::size_t>(at);
        if (entry + 1 + bamMapBytes(image.shape.format) > image.size) return;  // cut short: said already
        const uint8_t* map = image.bytes + entry + 1;
        int shown = 0;
        for (int sector = 0; sector < sectorsOn(image, track); ++sector) {
            const bool free = (map[sector / 8] >> (sector % 8) & 1) != 0;
            shown += free ? 1 : 0;
            const int owner = owners[indexOf(image, track, sector)];
            if (free && owner != kUnowned) {
                const std::string user =
                    owner == kDirectory ? "the directory" : report.files[static_cast<std::size_t>(owner)].name;
                fileDamage(
                    report, owner, "sector " + place(track, sector) + ", used by " + user + ", is free in the BAM");
            } else if (!free && owner == kUnowned &&
                       image.shape.whole) {  // a chain cut short leaves its sectors unheld
                if (report.lostSectors.size() < kMostLostNamed) report.lostSectors.push_back(place(track, sector));
                ++report.lost;
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

// Names what is wrong with the header sector, which every writer makes the same way.
void checkHeader(const Image& image, const uint8_t* header, DiskReport& report) {
    const DiskGeometry& geometry = geometryOf(image.shape.format);
    const std::string where = "the header (" + place(geometry.directoryTrack, geometry.headerSector) + ")";
    char text[128];
    if (header[2] != static_cast<uint8_t>(geometry.dosVersion)) {
        (void)std::snprintf(text, sizeof text, "%s has no DOS version: $%02X where a %s has $%02X", where.c_str(),
            static_cast<unsigned>(header[2]), geometry.extension, static_cast<unsigned>(geometry.dosVersion));
        report.damage.emplace_back(text);
    }
    if (header[0] != geometry.directoryTrack || header[1] != geometry.firstDirectorySector) {
        report.damage.push_back(where + " does not lead to the directory at " +
                                place(geometry.directoryTrack, geometry.firstDirectorySector) + " but to " +
                                place(header[0], header[1]));
    }
    const std::string bad = badSector(image, geometry.directoryTrack, geometry.headerSector);
    if (!bad.empty()) report.damage.push_back(where + ": its " + bad);
}

}  // namespace

long diskShapeSize(const DiskShape& shape) {
    const long sectors = shape.format == DiskFormat::D81  ? kD81Size / static_cast<long>(kSectorSize)
                         : shape.tracks == kD64LongTracks ? kD64LongSize / static_cast<long>(kSectorSize)
                                                          : kD64Size / static_cast<long>(kSectorSize);
    return sectors * static_cast<long>(kSectorSize + (shape.errorBytes ? 1 : 0));
}

bool diskShapeOf(int64_t size, int64_t min, DiskShape& shape) {
    // Each whole shape, in order of size; an image cut short is taken for the next larger one.
    static const DiskShape kShapes[] = {{DiskFormat::D64, 35, false, true}, {DiskFormat::D64, 35, true, true},
        {DiskFormat::D64, kD64LongTracks, false, true}, {DiskFormat::D64, kD64LongTracks, true, true},
        {DiskFormat::D81, 80, false, true}, {DiskFormat::D81, 80, true, true}};
    for (const DiskShape& candidate : kShapes) {
        const long whole = diskShapeSize(candidate);
        if (size > whole) continue;
        shape = candidate;
        shape.whole = size == whole;
        return shape.whole || size > min;
    }
    return false;
}

bool isDiskHeader(DiskFormat format, const uint8_t* header) {
    const DiskGeometry& geometry = geometryOf(format);
    return header[0] == geometry.directoryTrack && header[1] == geometry.firstDirectorySector &&
           header[2] == static_cast<uint8_t>(geometry.dosVersion);
}

DiskReport readDiskImage(const uint8_t* bytes, std::size_t size, const DiskShape& shape) {
    const DiskGeometry& geometry = geometryOf(shape.format);
    Image image{bytes, size, shape};
    for (int track = 1; track <= shape.tracks; ++track)
        image.sectors += static_cast<std::size_t>(sectorsOn(image, track));
    DiskReport report;
    report.shape = shape;
    report.size = static_cast<long>(size);
    const uint8_t* header = sectorOf(image, geometry.directoryTrack, geometry.headerSector);
    const std::string of = std::to_string(size) + " of " + std::to_string(diskShapeSize(shape)) + " bytes";
    if (header == nullptr) {
        report.damage.push_back("the image is cut short before its header: " + of);
        return report;
    }
    if (!shape.whole) report.damage.push_back("the image is cut short: " + of);
    image.longBam = findLongBam(image);
    report.longBam = image.longBam;
    checkHeader(image, header, report);
    report.name = unpadded(header + geometry.label, kNameLength);
    report.id = unpadded(header + geometry.label + 18, 2);
    std::vector<int> owners(image.sectors, kUnowned);
    owners[indexOf(image, geometry.directoryTrack, geometry.headerSector)] = kDirectory;
    if (shape.format == DiskFormat::D81) {
        for (const int bam : {1, 2}) owners[indexOf(image, geometry.directoryTrack, bam)] = kDirectory;
    }
    std::vector<std::pair<int, int>> starts;
    readDirectory(image, owners, report, starts);
    for (std::size_t i = 0; i < starts.size(); ++i) readFile(image, owners, static_cast<int>(i), starts[i], report);
    checkBam(image, owners, report);
    return report;
}

std::string diskFileType(uint8_t type) {
    static const char* const kTypes[] = {"del", "seq", "prg", "usr", "rel"};
    const unsigned kind = type & kTypeMask;
    std::string text = kind < 5 ? kTypes[kind] : "?";
    if ((type & 0x80) == 0) text = "*" + text;  // not closed
    if ((type & 0x40) != 0) text += "<";        // locked
    return text;
}
