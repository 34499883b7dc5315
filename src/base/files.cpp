// Opening inputs, telling sizes, and replacing outputs whole.
#include "base/files.h"

#include <random>
#include <string>
#include <system_error>

#include "base/system.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkDepth = 40;        // more links than this in a row is a loop
constexpr int kMaxTemporaryTries = 100;  // names already taken in a row: not by chance
constexpr int kRandomPartLength = 6;

// Follows name through any links to the file they end at (which need not
// exist), and tells what that file is: one look at each name on the way.
// Returns: false for a link loop or a link that cannot be read.
bool linkTarget(const fs::path& name, fs::path& target, FileFacts& facts) {
    target = name;
    facts = lookAt(target);
    for (int depth = 0; facts.link; ++depth) {
        std::error_code error;
        const fs::path next = fs::read_symlink(target, error);
        if (error || depth == kMaxLinkDepth) return false;
        target = next.is_absolute() ? next : target.parent_path() / next;
        facts = lookAt(target);
    }
    return true;
}

bool isSparedIdentity(const FileIdentity& identity, const SparedFiles& spared) {
    for (const FileIdentity& input : spared.identities) {
        if (input == identity) return true;
    }
    return false;
}

bool isSparedFile(const fs::path& target, const SparedFiles& spared) {
    FileIdentity identity;
    return fileIdentity(target, identity) && isSparedIdentity(identity, spared);
}

// Returns: letters and digits drawn at random.
std::string randomPart() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string part;
    for (int i = 0; i < kRandomPartLength; ++i) part += kLetters[pick(random)];
    return part;
}

// Creates a temporary file beside target under a name no file has, made
// at random and created exclusively, so that files left by killed runs
// never stand in the way.
FilePtr createTemporary(const fs::path& target, fs::path& temporary) {
    for (int n = 0; n < kMaxTemporaryTries; ++n) {
        temporary = target;
        temporary += ".tmp-" + randomPart();
        FilePtr stream(createNewFile(temporary));
        if (stream) return stream;
        std::error_code error;
        if (!fs::exists(fs::symlink_status(temporary, error))) break;  // the folder takes no new file
    }
    temporary.clear();
    return FilePtr();
}

// Where a path leads: links followed, then made absolute and canonical as
// far as it exists (a path none of which exists would stay relative).
fs::path destination(const fs::path& name) {
    fs::path target;
    FileFacts facts;
    if (!linkTarget(name, target, facts)) target = name;
    std::error_code error;
    const fs::path absolute = fs::absolute(target, error);
    if (error) return target;
    const fs::path canonical = fs::weakly_canonical(absolute, error);
    return error ? absolute : canonical;
}

// Gives the temporary file the permission bits and access control list of
// the target it replaces, and its owner and group where the run may. Where
// the group cannot be kept, the file's own group gets no more than its
// members had before as others: no one gains access by the replacement.
// Returns: false when the bits could not be set.
bool keepAccess(const ReplacedFile& file) {
    if (!file.targetFacts.exists) return true;  // a new file keeps the default mode
    unsigned mode = file.targetFacts.permissions;
    const bool groupKept = copyOwnerAndGroup(file.targetFacts, file.temporary);
    if (!groupKept) mode &= ~070u | ((mode & 07u) << 3);
    std::error_code error;
    // A new file has the bits the umask leaves: set only where the target's differ.
    if (mode != newFilePermissions())
        fs::permissions(file.temporary, fs::perms(mode), fs::perm_options::replace, error);
    if (error) return false;
    // After the mode, which would change its mask.
    copyAccessControlList(file.target, file.temporary, groupKept, !fileSeams().refuseAccessLists);
    return true;
}

// Gives the temporary file the target's name unless a file has it: a hard
// link where the file system has them, removing the temporary name then.
// Returns: a commit status.
CommitStatus nameWithoutReplacing(const fs::path& temporary, const fs::path& target) {
    std::error_code error;
    if (fileSeams().refuseHardLinks) {
        error = std::make_error_code(std::errc::operation_not_permitted);
    } else {
        fs::create_hard_link(temporary, target, error);
    }
    if (!error) {
        fs::remove(temporary, error);
        return CommitStatus::Committed;
    }
    if (fs::exists(fs::symlink_status(target, error))) return CommitStatus::NameTaken;
    // No hard links on this file system (FAT, exFAT).
    switch (fileSeams().refuseExclusiveRename ? renameAfterLooking(temporary, target)
                                              : renameWithoutReplacing(temporary, target)) {
        case RenameStatus::Renamed: return CommitStatus::Committed;
        case RenameStatus::NameTaken: return CommitStatus::NameTaken;
        default: return CommitStatus::Failed;
    }
}

// Finishes the temporary file where finishReplace has not yet.
// Returns: true when the file is ready to take its name.
bool readyToName(ReplacedFile& file) { return file.stream ? finishReplace(file) : !file.temporary.empty(); }

}  // namespace

bool finishReplace(ReplacedFile& file) {
    if (file.stream && closeChecked(file.stream) && keepAccess(file)) {
        if (fileSeams().beforeNaming != nullptr) fileSeams().beforeNaming(file.target);
        return true;
    }
    abandonReplace(file);
    return false;
}

FileKind fileKind(const char* path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) return FileKind::Missing;
    return fs::is_regular_file(status) ? FileKind::Regular : FileKind::Other;
}

FilePtr openInputFile(const char* path) {
    if (fileKind(path) != FileKind::Regular) return FilePtr();
    return FilePtr(std::fopen(path, "rb"));
}

bool closeChecked(FilePtr& file) {
    const bool written = std::ferror(file.get()) == 0;
    return std::fclose(file.release()) == 0 && written;
}

SparedFiles spareFiles(const std::vector<fs::path>& paths) {
    SparedFiles spared;
    for (const fs::path& path : paths) {
        FileIdentity identity;
        if (fileIdentity(path, identity)) {
            spared.identities.push_back(identity);
        } else {
            spared.missing.push_back(path);
        }
    }
    return spared;
}

void spareOpenFile(std::FILE* file, SparedFiles& spared) {
    FileIdentity identity;
    if (openFileIdentity(file, identity)) spared.identities.push_back(identity);
}

bool isSpared(const char* name, const SparedFiles& spared) {
    if (fileKind(name) != FileKind::Missing) return isSparedFile(name, spared);
    // No input that is there can be where a missing file would be made: only missing inputs can lead there.
    const fs::path where = destination(name);
    for (const fs::path& input : spared.missing) {
        if (destination(input) == where) return true;
    }
    return false;
}

ReplacedFile::~ReplacedFile() { abandonReplace(*this); }

bool beginReplace(const char* name, const SparedFiles& spared, ReplacedFile& file) {
    abandonReplace(file);
    fs::path target;
    FileFacts facts;
    if (!linkTarget(name, target, facts)) return false;
    if (facts.exists && (!facts.regular || isSparedIdentity(facts.identity, spared) || !mayWrite(target))) {
        return false;
    }
    file.stream = createTemporary(target, file.temporary);
    if (!file.stream) return false;
    file.target = target;
    file.targetFacts = facts;
    return true;
}

FileSeams& fileSeams() {
    static FileSeams seams;
    return seams;
}

CommitStatus commitReplace(ReplacedFile& file, std::FILE* held) {
    if (!readyToName(file)) return CommitStatus::Failed;
    bool replaced = true;
    if (held != nullptr) {
        replaced = replaceHeldFile(file.temporary, file.target, held);
    } else {
        std::error_code error;
        fs::rename(file.temporary, file.target, error);
        replaced = !error;
    }
    if (!replaced) {
        abandonReplace(file);
        return CommitStatus::Failed;
    }
    file.temporary.clear();
    return CommitStatus::Committed;
}

CommitStatus commitWithoutReplacing(ReplacedFile& file) {
    if (!readyToName(file)) return CommitStatus::Failed;
    const CommitStatus status = nameWithoutReplacing(file.temporary, file.target);
    if (status == CommitStatus::Committed) {
        file.temporary.clear();
    } else {
        abandonReplace(file);
    }
    return status;
}

void abandonReplace(ReplacedFile& file) {
    file.stream.reset();
    if (file.temporary.empty()) return;
    std::error_code ignored;
    fs::remove(file.temporary, ignored);
    file.temporary.clear();
}
