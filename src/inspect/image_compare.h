// Comparing two flash images bank by bank: a read-back with the image that
// was burned, or two versions of one image.
#pragma once

#include "inspect/file_checks.h"

// The bank loader file that programs a differing bank again as the expected
// image has it ("&flashbank0b.prg"), as the current folder holds it.
enum class LoaderAgain {
    None,     // the bank does not differ, or is blank where expected: no bank loader file writes blank
    Missing,  // not in the folder
    Holds,    // there, for this bank, with exactly the expected block
    Other,    // there, but damaged, or for another bank or block
};

struct BankComparison {
    BlockReport expected, found;  // what each side holds in this bank
    long differingBytes = 0;
    long firstDifference = 0;  // the offset in the image of the first differing byte
    LoaderAgain again = LoaderAgain::None;
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

// Reads and compares the next bank of both images, counts it, and for a
// bank that differs, looks for the bank loader file that programs it again.
// Returns: true with bank filled; false after the last bank, or when a side
// cannot be read (its status says so).
bool nextBankComparison(const Catalogue& catalogue, ImageComparison& comparison, BankComparison& bank);
