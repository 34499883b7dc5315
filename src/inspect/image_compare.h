// Comparing two flash images bank by bank: a read-back with the image that
// was burned, or two versions of one image.
#pragma once

#include "inspect/file_checks.h"

struct BankComparison {
    BlockReport expected, found;  // what each side holds in this bank
    long differingBytes = 0;
    long firstDifference = 0;  // the offset in the image of the first differing byte
};

struct ImageComparison {
    InspectedFile expected, found;
    long same = 0;
    long differ = 0;
};

// Opens both files as flash images.
// Returns: Read, or the status of the first side that is not a
// readable flash image (NotImage among them), kept in its status.
InspectStatus openComparison(const Catalogue& catalogue, ImageComparison& comparison);

// Reads and compares the next bank of both images, and counts it.
// Returns: true with bank filled; false after the last bank, or when a side
// cannot be read (its status says so).
bool nextBankComparison(const Catalogue& catalogue, ImageComparison& comparison, BankComparison& bank);
