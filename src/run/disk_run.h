// quillmore-flashdisk: files onto fresh disk images for the drive, as many
// disks as they take.
#pragma once

enum class DiskExit {
    Ok = 0,
    NotWritten = 1,  // an image could not be written in full
    Refused = 2,     // bad usage, or an input that cannot be read, named or fitted on any disk
};

// Runs quillmore-flashdisk on a command line.
// Returns: the process exit status, a DiskExit.
int runFlashDisk(int argc, const char* const* argv);
