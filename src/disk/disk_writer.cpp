// Writing a disk image.
#include "disk/disk_writer.h"

#include <algorithm>

namespace {

struct Place {
    int track = 0;
    int sector = 0;
};

uint8_t* sectorAt(DiskWriter& disk, Place place) {
    return disk.image.data() + sectorOffset(disk.format, place.track, place.sector);
}

bool isFree(const DiskWriter& disk, Place place) {
    const long entry = bamEntryOffset(disk.format, place.track);
    return (disk.image[static_cast<std::size_t>(entry + 1 + place.sector / 8)] >> (place.sector % 8) & 1) != 0;
}

int freeOnTrack(const DiskWriter& disk, int track) {
    return disk.image[static_cast<std::size_t>(bamEntryOffset(disk.format, track))];
}

void take(DiskWriter& disk, Place place) {
    const auto entry = static_cast<std::size_t>(bamEntryOffset(disk.format, place.track));
    disk.image[entry + 1 + static_cast<std::size_t>(place.sector / 8)] &=
        static_cast<uint8_t>(~(1u << (place.sector % 8)));
    --disk.image[entry];
}

// Returns: the first free sector of track from sector on, wrapping round; -1 when none is.
int freeFrom(const DiskWriter& disk, int track, int sector) {
    const int count = sectorsOnTrack(disk.format, track);
    for (int i = 0; i < count; ++i) {
        const int s = (sector + i) % count;
        if (isFree(disk, {track, s})) return s;
    }
    return -1;
}

// Where a file starts: on the track nearest the directory track that has a
// free sector (the one below before the one above), at its first free sector.
Place firstPlace(const DiskWriter& disk) {
    const DiskGeometry& geometry = geometryOf(disk.format);
    for (int distance = 1; distance < geometry.tracks; ++distance) {
        for (const int track : {geometry.directoryTrack - distance, geometry.directoryTrack + distance}) {
            if (track >= 1 && track <= geometry.tracks && freeOnTrack(disk, track) > 0)
                return {track, freeFrom(disk, track, 0)};
        }
    }
    return {};
}

// Where a file goes on after last: the interleave further on the same track
// while it has a free sector; then the next track away from the directory
// track, and past the last one on that side, the tracks of the other side.
Place nextPlace(const DiskWriter& disk, Place last) {
    const DiskGeometry& geometry = geometryOf(disk.format);
    int track = last.track;
    int sector = last.sector + geometry.fileInterleave;
    for (int moves = 0; moves <= geometry.tracks; ++moves) {
        if (freeOnTrack(disk, track) > 0)
            return {track, freeFrom(disk, track, sector % sectorsOnTrack(disk.format, track))};
        const bool below = track < geometry.directoryTrack;
        track += below ? -1 : 1;
        if (track < 1) track = geometry.directoryTrack + 1;
        if (track > geometry.tracks) track = geometry.directoryTrack - 1;
        sector = 0;
    }
    return {};
}

// Returns: the directory sector and slot of the first free entry, making a
// new directory sector (the directory interleave on) when the last one is full.
std::pair<Place, int> freeEntry(DiskWriter& disk) {
    const DiskGeometry& geometry = geometryOf(disk.format);
    Place place{geometry.directoryTrack, geometry.firstDirectorySector};
    for (;;) {
        uint8_t* sector = sectorAt(disk, place);
        for (int slot = 0; slot < static_cast<int>(kSectorSize / kEntrySize); ++slot) {
            if (sector[slot * kEntrySize + 2] == 0) return {place, slot};
        }
        if (sector[0] == 0) break;
        place = {sector[0], sector[1]};
    }
    const int count = sectorsOnTrack(disk.format, geometry.directoryTrack);
    const Place added{geometry.directoryTrack,
        freeFrom(disk, geometry.directoryTrack, (place.sector + geometry.directoryInterleave) % count)};
    take(disk, added);
    ++disk.directorySectors;
    sectorAt(disk, place)[0] = static_cast<uint8_t>(added.track);
    sectorAt(disk, place)[1] = static_cast<uint8_t>(added.sector);
    uint8_t* fresh = sectorAt(disk, added);
    std::fill(fresh, fresh + kSectorSize, 0);
    fresh[1] = 0xFF;
    return {added, 0};
}

void putPadded(uint8_t* to, const std::string& text, std::size_t length) {
    std::fill(to, to + length, kNamePad);
    std::copy_n(text.begin(), std::min(text.size(), length), to);
}

}  // namespace

DiskWriter formatDisk(DiskFormat format, const std::string& name, const std::string& id) {
    const DiskGeometry& geometry = geometryOf(format);
    DiskWriter disk;
    disk.format = format;
    disk.image.assign(static_cast<std::size_t>(geometry.size), 0);
    for (int track = 1; track <= geometry.tracks; ++track) {
        const int count = sectorsOnTrack(format, track);
        uint8_t* entry = disk.image.data() + bamEntryOffset(format, track);
        entry[0] = static_cast<uint8_t>(count);
        for (int s = 0; s < count; ++s) entry[1 + s / 8] |= static_cast<uint8_t>(1u << (s % 8));
    }
    const int dir = geometry.directoryTrack;
    uint8_t* header = sectorAt(disk, {dir, geometry.headerSector});
    header[0] = static_cast<uint8_t>(dir);
    header[1] = static_cast<uint8_t>(geometry.firstDirectorySector);
    header[2] = static_cast<uint8_t>(geometry.dosVersion);
    uint8_t* label = header + geometry.label;
    putPadded(label, name, kNameLength + 2);
    putPadded(label + 18, id, 2);
    label[20] = kNamePad;
    putPadded(label + 21, geometry.dosType, 2);
    std::fill(label + 23, header + geometry.labelEnd, kNamePad);
    if (format == DiskFormat::D64) {
        take(disk, {dir, 0});
    } else {
        for (const int half : {1, 2}) {
            uint8_t* bam = sectorAt(disk, {dir, half});
            bam[0] = static_cast<uint8_t>(half == 1 ? dir : 0);
            bam[1] = static_cast<uint8_t>(half == 1 ? 2 : 0xFF);
            bam[2] = 'D';
            bam[3] = static_cast<uint8_t>(~'D');
            putPadded(bam + 4, id, 2);
            bam[6] = 0xC0;  // the I/O byte: verify on, CRC check on
        }
        for (const int sector : {0, 1, 2}) take(disk, {dir, sector});
    }
    uint8_t* directory = sectorAt(disk, {dir, geometry.firstDirectorySector});
    directory[1] = 0xFF;
    take(disk, {dir, geometry.firstDirectorySector});
    return disk;
}

long blocksFree(const DiskWriter& disk) {
    long free = 0;
    const DiskGeometry& geometry = geometryOf(disk.format);
    for (int track = 1; track <= geometry.tracks; ++track) {
        if (track != geometry.directoryTrack) free += freeOnTrack(disk, track);
    }
    return free;
}

bool fits(const DiskWriter& disk, std::size_t size) {
    const DiskGeometry& geometry = geometryOf(disk.format);
    const int perSector = static_cast<int>(kSectorSize / kEntrySize);
    const bool entryFree = disk.entries < disk.directorySectors * perSector ||
                           (disk.entries < geometry.maxEntries && freeOnTrack(disk, geometry.directoryTrack) > 0);
    return blocksFor(size) <= blocksFree(disk) && entryFree;
}

void addFile(DiskWriter& disk, const std::string& name, const uint8_t* data, std::size_t size) {
    const long blocks = blocksFor(size);
    Place place = firstPlace(disk);
    const Place first = place;
    for (long block = 0; block < blocks; ++block) {
        take(disk, place);
        const std::size_t at = static_cast<std::size_t>(block) * kSectorPayload;
        const std::size_t length = std::min(kSectorPayload, size - std::min(size, at));
        uint8_t* sector = sectorAt(disk, place);
        std::copy_n(data + at, length, sector + 2);
        if (block + 1 == blocks) {
            sector[0] = 0;
            sector[1] = static_cast<uint8_t>(length + 1);  // the last byte used
        } else {
            const Place next = nextPlace(disk, place);
            sector[0] = static_cast<uint8_t>(next.track);
            sector[1] = static_cast<uint8_t>(next.sector);
            place = next;
        }
    }
    const auto [where, slot] = freeEntry(disk);
    uint8_t* entry = sectorAt(disk, where) + slot * kEntrySize;
    entry[2] = kClosedPrg;
    entry[3] = static_cast<uint8_t>(first.track);
    entry[4] = static_cast<uint8_t>(first.sector);
    putPadded(entry + 5, name, kNameLength);
    entry[30] = static_cast<uint8_t>(blocks & 0xFF);
    entry[31] = static_cast<uint8_t>(blocks >> 8);
    ++disk.entries;
}
