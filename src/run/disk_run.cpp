// quillmore-flashdisk: the run, step by step: arguments, inputs read and
// named, files packed onto disks in the order given, each image written
// whole or not at all, and what went where said.
#include "run/disk_run.h"

#include <cstring>
#include <string>
#include <vector>

#include "base/console.h"
#include "base/files.h"
#include "base/system.h"
#include "disk/disk_writer.h"

namespace {

const char* const kUsage =
    "Usage: quillmore-flashdisk [-n NAME] [-i ID] IMAGE.d64|IMAGE.d81 FILE...\n"
    "\n"
    "Writes FILE... as PRG files, in the order given, onto a freshly formatted\n"
    "disk image: a .d64 (35 tracks, 664 blocks free) or a .d81 (80 tracks, 3160\n"
    "blocks free), laid out as the drive itself lays out files. A file's name on\n"
    "the disk is its name without \".prg\", in upper case (as the drive shows it),\n"
    "at most 16 characters. When the files take more than one disk, they go onto\n"
    "IMAGE-1.d64, IMAGE-2.d64, ... in order, none split across two disks.\n"
    "\n"
    "  -n NAME    the disk's name (default QUILLMORE), at most 16 characters\n"
    "  -i ID      the disk's ID, two characters (default QM)\n"
    "  -h, --help this text\n"
    "  --version  the version\n"
    "\n"
    "Exit status: 0 every image written, 1 an image could not be written,\n"
    "2 bad usage, or an input that cannot be read, named or fitted on a disk.\n";

struct DiskRequest {
    std::string name = "QUILLMORE";
    std::string id = "QM";
    std::string image;
    DiskFormat format = DiskFormat::D64;
    std::vector<std::string> paths;
};

struct InputFile {
    std::string path;
    std::string name;  // as the disk's directory holds it
    std::vector<uint8_t> bytes;
};

void refuse(const char* format, const std::string& what) { reportError(format, what.c_str()); }

// Reads the options, the image and the files. Returns: true when there is
// work to do; false with ended set when the run ends here.
bool readArguments(int argc, const char* const* argv, DiskRequest& request, DiskExit& ended) {
    ended = DiskExit::Refused;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (!optionsEnded && arg[0] == '-' && arg[1] != '\0') {
            if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
                progressAlways("%s", kUsage);
                ended = DiskExit::Ok;
                return false;
            }
            if (std::strcmp(arg, "--version") == 0) {
                progressAlways("quillmore-flashdisk %s\n", FLASHTOOL_VERSION);
                ended = DiskExit::Ok;
                return false;
            }
            if (std::strcmp(arg, "--") == 0) {
                optionsEnded = true;
            } else if (std::strcmp(arg, "-n") == 0 || std::strcmp(arg, "-i") == 0) {
                if (i + 1 == argc) {
                    refuse("quillmore-flashdisk: option '%s' needs a value (see --help)\n", arg);
                    return false;
                }
                (arg[1] == 'n' ? request.name : request.id) = argv[++i];
            } else {
                refuse("quillmore-flashdisk: unknown option '%s' (see --help)\n", arg);
                return false;
            }
            continue;
        }
        if (request.image.empty())
            request.image = arg;
        else
            request.paths.emplace_back(arg);
    }
    std::string extension = request.image.size() > 4 ? request.image.substr(request.image.size() - 4) : "";
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (request.paths.empty() || (extension != ".d64" && extension != ".d81")) {
        reportError("Usage: quillmore-flashdisk [-n NAME] [-i ID] IMAGE.d64|IMAGE.d81 FILE...  (see --help)\n");
        return false;
    }
    request.format = extension == ".d64" ? DiskFormat::D64 : DiskFormat::D81;
    char bad = 0;
    std::string name, id;
    if (request.name.empty() || request.name.size() > kNameLength || !diskText(request.name, name, bad)) {
        refuse("quillmore-flashdisk: the disk's name must be 1 to 16 characters the drive shows: '%s'\n", request.name);
        return false;
    }
    if (request.id.size() != 2 || !diskText(request.id, id, bad)) {
        refuse("quillmore-flashdisk: the disk's ID must be two characters the drive shows: '%s'\n", request.id);
        return false;
    }
    request.name = name;
    request.id = id;
    return true;
}

// Reads every input and names it for the disk. Returns: false after its
// message when one cannot be read, named, or fitted on an empty disk.
bool readInputs(const DiskRequest& request, std::vector<InputFile>& inputs) {
    const DiskWriter empty = formatDisk(request.format, request.name, request.id);
    for (const std::string& path : request.paths) {
        InputFile input;
        input.path = path;
        std::string why;
        if (!diskFileName(path, input.name, why)) {
            reportError("quillmore-flashdisk: %s: %s\n", path.c_str(), why.c_str());
            return false;
        }
        for (const InputFile& before : inputs) {
            if (before.name == input.name) {
                reportError("quillmore-flashdisk: %s: its name on the disk, %s, is %s's too\n", path.c_str(),
                    input.name.c_str(), before.path.c_str());
                return false;
            }
        }
        const FileKind kind = fileKind(path.c_str());
        FilePtr file = kind == FileKind::Regular ? openInputFile(path.c_str()) : nullptr;
        const int64_t size = file ? fileSize(file.get()) : -1;
        if (size < 0) {
            reportError("quillmore-flashdisk: %s: %s\n", path.c_str(),
                kind == FileKind::Missing ? "no such file"
                : kind == FileKind::Other ? "not a regular file"
                                          : "cannot read the file");
            return false;
        }
        if (size > static_cast<int64_t>(blocksFree(empty)) * static_cast<int64_t>(kSectorPayload)) {
            reportError("quillmore-flashdisk: %s: %lld bytes, more than a %s disk holds (%ld blocks of 254)\n",
                path.c_str(), static_cast<long long>(size), geometryOf(request.format).extension + 1,
                blocksFree(empty));
            return false;
        }
        input.bytes.resize(static_cast<std::size_t>(size));
        if (size > 0 && std::fread(input.bytes.data(), input.bytes.size(), 1, file.get()) != 1) {
            reportError("quillmore-flashdisk: %s: cannot read the file\n", path.c_str());
            return false;
        }
        inputs.push_back(std::move(input));
    }
    return true;
}

// Returns: the name of disk n (from 1) of count: the image's own name when it is the only one.
std::string imageName(const std::string& image, std::size_t n, std::size_t count) {
    if (count == 1) return image;
    return image.substr(0, image.size() - 4) + "-" + std::to_string(n) + image.substr(image.size() - 4);
}

// Writes one image whole, never over an input of the run.
// Returns: false after its message when it could not be written in full.
bool writeImage(const std::string& name, const DiskWriter& disk, const SparedFiles& inputs) {
    ReplacedFile file;
    if (!beginReplace(name.c_str(), inputs, file)) {
        reportError("quillmore-flashdisk: cannot create %s\n", name.c_str());
        return false;
    }
    (void)std::fwrite(disk.image.data(), 1, disk.image.size(), file.stream.get());
    if (commitReplace(file) != CommitStatus::Committed) {
        reportError("quillmore-flashdisk: cannot write %s in full\n", name.c_str());
        return false;
    }
    return true;
}

DiskExit runDisk(int argc, const char* const* argv) {
    if (keepStandardStreamsOpen() == StandardStreams::CannotOpen) return DiskExit::NotWritten;
    DiskRequest request;
    DiskExit ended = DiskExit::Refused;
    if (!readArguments(argc, argv, request, ended)) return ended;
    std::vector<InputFile> inputs;
    if (!readInputs(request, inputs)) return DiskExit::Refused;

    // The files in the order given, each on the disk being filled while it fits.
    std::vector<DiskWriter> disks;
    std::vector<std::vector<const InputFile*>> onDisk;
    for (const InputFile& input : inputs) {
        if (disks.empty() || !fits(disks.back(), input.bytes.size())) {
            disks.push_back(formatDisk(request.format, request.name, request.id));
            onDisk.emplace_back();
        }
        addFile(disks.back(), input.name, input.bytes.data(), input.bytes.size());
        onDisk.back().push_back(&input);
    }
    const SparedFiles spared = spareFiles({request.paths.begin(), request.paths.end()});
    std::vector<std::string> names;
    for (std::size_t n = 0; n < disks.size(); ++n) {
        names.push_back(imageName(request.image, n + 1, disks.size()));
        if (isSpared(names.back().c_str(), spared)) {
            reportError(
                "quillmore-flashdisk: %s is a file to put on the disk: nothing written\n", names.back().c_str());
            return DiskExit::Refused;
        }
    }
    DiskExit status = DiskExit::Ok;
    for (std::size_t n = 0; n < disks.size(); ++n) {
        const std::string& name = names[n];
        if (!writeImage(name, disks[n], spared)) {
            status = DiskExit::NotWritten;
            continue;
        }
        progressAlways("%s: %ld file%s, %ld blocks free\n", name.c_str(), static_cast<long>(onDisk[n].size()),
            onDisk[n].size() == 1 ? "" : "s", blocksFree(disks[n]));
        for (const InputFile* input : onDisk[n]) {
            progressAlways("  %s as \"%s\", %ld blocks\n", input->path.c_str(), input->name.c_str(),
                blocksFor(input->bytes.size()));
        }
    }
    return status;
}

}  // namespace

int runFlashDisk(int argc, const char* const* argv) { return static_cast<int>(runDisk(argc, argv)); }
