// The few things a run asks of the system that the C++ standard library has
// no call for, each with a body per platform.
#pragma once

#include <filesystem>

// Opens the null device on any of the standard descriptors 0, 1 and 2 that
// is closed, so that no file the tool opens later takes its number and
// receives console text. Call it before any file is opened.
// Returns: false when a closed descriptor could not be opened.
bool keepStandardStreamsOpen();

// Gives file the owner and group of model, or the group alone, as far as
// the run is allowed to set them; what it may not set stays as it is.
void copyOwnerAndGroup(const std::filesystem::path& model, const std::filesystem::path& file);

// Renames from to to unless a file has the name to, on a file system where
// no hard link can be made (FAT).
// Returns: true when renamed; false when to exists or the rename failed.
bool renameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);
