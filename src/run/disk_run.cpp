// quillmore-flashdisk: the run, step by step: arguments, inputs read and
// named, files packed onto disks in the order given, the set of images
// written whole or not at all, and what went where said.
#include "run/disk_run.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/console.h"
#include "base/files.h"
#include "base/system.h"
#include "disk/disk_writer.h"
#include "inspect/display_text.h"
#include "run/options.h"

namespace {

enum DiskOption { kName, kId };

const ProgramUsage kUsage{"quillmore-flashdisk", {"[-n NAME] [-i ID] IMAGE.d64|IMAGE.d81 FILE..."},
    "Writes FILE... as PRG files, in the order given, onto a freshly formatted\n"
    "disk image: a .d64 (35 tracks, 664 blocks free) or a .d81 (80 tracks, 3160\n"
    "blocks free), laid out as the drive itself lays out files. A file's name on\n"
    "the disk is its name without \".prg\", in upper case (as the drive shows it),\n"
    "at most 16 characters. When the files take more than one disk, they go onto\n"
    "IMAGE-1.d64, IMAGE-2.d64, ... in order, none split across two disks; the\n"
    "images take their names only when all are written.\n"
    "\n"
    "  -n NAME    the disk's name (default QUILLMORE), at most 16 characters\n"
    "  -i ID      the disk's ID, two characters (default QM)\n"
    "  -h, --help this text\n"
    "  --version  the version\n"
    "\n"
    "Exit status: 0 every image written, 1 an image could not be written (none\n"
    "of the set then) or the report not, 2 bad usage, or an input that cannot\n"
    "be read, named or fitted on a disk.\n",
    {{kName, "-n", "NAME"}, {kId, "-i", "ID"}}, false};

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

// Says why the run ends here, with what (a name, a value) shown as the inspector shows names.
void refuse(const char* format, const std::string& what) { reportError(format, tableText(what).c_str()); }

// Says why an input is refused: its name, as the inspector shows names, and why.
void refuseInput(const std::string& path, const std::string& why) {
    reportError("quillmore-flashdisk: %s: %s\n", tableText(path).c_str(), tableText(why).c_str());
}

// Reads the options, the image and the files. Returns: true when there is
// work to do; false with ended set when the run ends here.
bool readArguments(int argc, const char* const* argv, DiskRequest& request, DiskExit& ended) {
    const ScanStatus scanned = scanArguments(
        argc, argv, kUsage, [&](int id, const char* value) { (id == kName ? request.name : request.id) = value; },
        [&](const char* arg) {
            if (request.image.empty())
                request.image = arg;
            else
                request.paths.emplace_back(arg);
        });
    ended = scanned == ScanStatus::Answered ? DiskExit::Ok : DiskExit::Refused;
    if (scanned != ScanStatus::Scanned) return false;
    std::string extension = request.image.size() > 4 ? request.image.substr(request.image.size() - 4) : "";
    for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (request.paths.empty() || (extension != ".d64" && extension != ".d81")) {
        printShortUsage(kUsage);
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

// Reads file to its end, whatever size the system gives it (a file of
// /proc says 0), but never more than most bytes and one: the size told is
// where the reading starts, not where it ends.
// Returns: false when it could not be read.
bool readToEnd(std::FILE* file, std::size_t most, std::vector<uint8_t>& bytes) {
    const int64_t told = fileSize(file);
    std::size_t chunk = told > 0 ? std::min(static_cast<std::size_t>(told), most) + 1 : 4096;
    while (bytes.size() <= most) {
        const std::size_t had = bytes.size();
        bytes.resize(had + chunk);
        const std::size_t got = std::fread(bytes.data() + had, 1, chunk, file);
        bytes.resize(had + got);
        if (got < chunk) return std::ferror(file) == 0;
        chunk = 65536;
    }
    return true;
}

// Reads every input and names it for the disk. Returns: false after its
// message when one cannot be read, named, or fitted on an empty disk.
bool readInputs(const DiskRequest& request, std::vector<InputFile>& inputs) {
    const DiskWriter empty = formatDisk(request.format, request.name, request.id);
    const auto most = static_cast<std::size_t>(blocksFree(empty)) * kSectorPayload;
    for (const std::string& path : request.paths) {
        InputFile input;
        input.path = path;
        std::string why;
        if (!diskFileName(path, input.name, why)) {
            refuseInput(path, why);
            return false;
        }
        for (const InputFile& before : inputs) {
            if (before.name == input.name) {
                refuseInput(path, "its name on the disk, " + input.name + ", is " + before.path + "'s too");
                return false;
            }
        }
        const FileKind kind = fileKind(path.c_str());
        FilePtr file = kind == FileKind::Regular ? openInputFile(path.c_str()) : nullptr;
        if (!file || !readToEnd(file.get(), most, input.bytes)) {
            refuseInput(path, kind == FileKind::Missing ? "no such file"
                              : kind == FileKind::Other ? "not a regular file"
                                                        : "cannot read the file");
            return false;
        }
        if (input.bytes.size() > most) {
            refuseInput(path, "more than a " + std::string(geometryOf(request.format).extension + 1) + " disk holds (" +
                                  std::to_string(blocksFree(empty)) + " blocks of 254 bytes)");
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

// Writes every image of the set under a temporary name beside it, never
// over an input of the run, and only when all are complete gives each its
// name: the set is replaced whole, or the earlier one stays as it was.
// Returns: false after its message when the set could not be written.
bool writeImages(
    const std::vector<std::string>& names, const std::vector<DiskWriter>& disks, const SparedFiles& inputs) {
    std::vector<std::unique_ptr<ReplacedFile>> files;
    for (std::size_t n = 0; n < disks.size(); ++n) {
        files.push_back(std::make_unique<ReplacedFile>());
        ReplacedFile& file = *files.back();
        if (!beginReplace(names[n].c_str(), inputs, file)) {
            refuse("quillmore-flashdisk: cannot create %s: no image of the set written\n", names[n]);
            return false;
        }
        (void)std::fwrite(disks[n].image.data(), 1, disks[n].image.size(), file.stream.get());
        if (!finishReplace(file)) {
            refuse("quillmore-flashdisk: cannot write %s in full: no image of the set written\n", names[n]);
            return false;
        }
    }
    for (std::size_t n = 0; n < files.size(); ++n) {
        if (commitReplace(*files[n]) != CommitStatus::Committed) {
            // Only a folder changed under the run makes a finished file fail to take its name.
            reportError("quillmore-flashdisk: cannot name %s: %s written, the rest not\n", tableText(names[n]).c_str(),
                n == 0 ? "no image of the set" : (std::to_string(n) + " of " + std::to_string(files.size())).c_str());
            return false;
        }
    }
    return true;
}

// Says which images of an earlier, longer set (or a single image, for a
// set) this run leaves as they were: they are not part of this set.
void nameLeftovers(const std::string& image, std::size_t count) {
    std::vector<std::string> left;
    if (count > 1 && fileKind(image.c_str()) != FileKind::Missing) left.push_back(image);
    for (std::size_t n = count == 1 ? 1 : count + 1;; ++n) {
        const std::string name = imageName(image, n, 2);
        if (fileKind(name.c_str()) == FileKind::Missing) break;
        left.push_back(name);
    }
    for (const std::string& name : left) {
        progressAlways("%s is left from an earlier run: not part of this set\n", tableText(name).c_str());
    }
}

DiskExit writeDisks(int argc, const char* const* argv) {
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
            refuse("quillmore-flashdisk: %s is a file to put on the disk: nothing written\n", names.back());
            return DiskExit::Refused;
        }
    }
    if (!writeImages(names, disks, spared)) return DiskExit::NotWritten;
    for (std::size_t n = 0; n < disks.size(); ++n) {
        progressAlways("%s: %s, %ld blocks free\n", tableText(names[n]).c_str(),
            countText(static_cast<long long>(onDisk[n].size()), "file").c_str(), blocksFree(disks[n]));
        for (const InputFile* input : onDisk[n]) {
            progressAlways("  %s as \"%s\", %s\n", tableText(input->path).c_str(), input->name.c_str(),
                countText(blocksFor(input->bytes.size()), "block").c_str());
        }
    }
    nameLeftovers(request.image, disks.size());
    return DiskExit::Ok;
}

DiskExit runDisk(int argc, const char* const* argv) {
    const StandardStreams streams = keepStandardStreamsOpen();
    if (streams == StandardStreams::CannotOpen) return DiskExit::NotWritten;
    const DiskExit status = writeDisks(argc, argv);
    // What went where is the run's report: one that did not reach its reader is a failure.
    const int lost = streams == StandardStreams::StdoutWasClosed ? EBADF : finishProgress();
    if (lost != 0) {
        reportError("quillmore-flashdisk: cannot write to standard output: %s\n", std::strerror(lost));
        return status == DiskExit::Ok ? DiskExit::NotWritten : status;
    }
    return status;
}

}  // namespace

int runFlashDisk(int argc, const char* const* argv) { return static_cast<int>(runDisk(argc, argv)); }
