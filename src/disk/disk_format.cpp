// Disk image geometry and directory names.
#include "disk/disk_format.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

const DiskGeometry kD64{DiskFormat::D64, 35, 18, 0, 1, 3, 10, 144, kD64Size, ".d64", 'A', "2A", 0x90, 0xAB};
const DiskGeometry kD81{DiskFormat::D81, 80, 40, 0, 3, 1, 1, 296, kD81Size, ".d81", 'D', "3D", 0x04, 0x1D};

// The signs a name may hold besides letters, digits and space: each shows on
// the drive as it does here and can be typed into a LOAD command.
constexpr const char* kNameSigns = "!#$%&'()+-./;<>[]";

}  // namespace

const DiskGeometry& geometryOf(DiskFormat format) { return format == DiskFormat::D64 ? kD64 : kD81; }

int sectorsOnTrack(DiskFormat format, int track) {
    if (format == DiskFormat::D81) return track >= 1 && track <= geometryOf(format).tracks ? 40 : 0;
    if (track < 1 || track > kD64LongTracks) return 0;
    return track <= 17 ? 21 : track <= 24 ? 19 : track <= 30 ? 18 : 17;
}

long sectorOffset(DiskFormat format, int track, int sector) {
    if (sector < 0 || sector >= sectorsOnTrack(format, track)) return -1;
    long before = 0;
    for (int t = 1; t < track; ++t) before += sectorsOnTrack(format, t);
    return (before + sector) * static_cast<long>(kSectorSize);
}

long bamEntryOffset(DiskFormat format, int track, LongBam longBam) {
    const DiskGeometry& disk = geometryOf(format);
    const long header = sectorOffset(format, disk.directoryTrack, 0);
    if (format == DiskFormat::D64 && track > disk.tracks && track <= kD64LongTracks && longBam != LongBam::None) {
        return header + (longBam == LongBam::SpeedDos ? 0xC0 : 0xAC) + 4L * (track - disk.tracks - 1);
    }
    if (track < 1 || track > disk.tracks) return -1;
    if (format == DiskFormat::D64) return header + 4 + 4L * (track - 1);
    // The 1581 keeps tracks 1-40 in sector 1 of its directory track, 41-80 in sector 2.
    const int half = track <= 40 ? 1 : 2;
    return sectorOffset(format, disk.directoryTrack, half) + 16 + 6L * ((track - 1) % 40);
}

long blocksFor(std::size_t size) {
    return size == 0 ? 1 : static_cast<long>((size + kSectorPayload - 1) / kSectorPayload);
}

bool diskText(const std::string& text, std::string& shown, char& bad) {
    shown = text;
    for (char& c : shown) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        const bool shows = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
                           (c != '\0' && std::strchr(kNameSigns, c) != nullptr);
        if (!shows) {
            bad = c;
            return false;
        }
    }
    return true;
}

bool diskFileName(const std::string& fileName, std::string& name, std::string& why) {
    // The name without its folders, as this system separates them (a backslash is a letter on POSIX).
    std::string base = std::filesystem::path(fileName).filename().string();
    if (base.size() >= 4) {
        std::string suffix = base.substr(base.size() - 4);
        for (char& c : suffix) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (suffix == ".prg") base.erase(base.size() - 4);
    }
    char bad = 0;
    if (base.empty()) {
        why = "no name is left for the disk";
    } else if (base[0] == '$' || base[0] == '@') {
        why = "its name on the disk, " + base + ", starts with '" + base[0] +
              (base[0] == '$' ? "', which the drive reads as the directory: LOAD\"$\" lists it"
                              : "', which the drive reads as a command: save and replace");
    } else if (base.size() > kNameLength) {
        why = "its name on the disk, " + base + ", is longer than 16 characters";
    } else if (!diskText(base, name, bad)) {
        char shown[8];
        (void)std::snprintf(shown, sizeof shown, bad > 0x20 && bad < 0x7F ? "'%c'" : "\\x%02x",
            bad > 0x20 && bad < 0x7F ? bad : static_cast<unsigned char>(bad));
        why = std::string("its name holds a character the drive cannot show or load: ") + shown;
    } else {
        return true;
    }
    return false;
}
