// Comparing two flash images bank by bank.
#include "inspect/image_compare.h"

namespace {

int openImage(const Catalogue& catalogue, InspectedFile& file) {
    if (inspectFile(catalogue, file) == kInspectRead && file.kind != InspectedKind::Image) {
        file.stream.reset();
        file.status = kInspectNotImage;
    }
    return file.status;
}

}  // namespace

int openComparison(const Catalogue& catalogue, ImageComparison& comparison) {
    const int status = openImage(catalogue, comparison.expected);
    return status != kInspectRead ? status : openImage(catalogue, comparison.found);
}

bool nextBankComparison(const Catalogue& catalogue, ImageComparison& comparison, BankComparison& bank) {
    if (!nextBlock(catalogue, comparison.expected, bank.expected) ||
        !nextBlock(catalogue, comparison.found, bank.found)) {
        return false;
    }
    const uint8_t* expected = comparison.expected.block.data();
    const uint8_t* found = comparison.found.block.data();
    bank.differingBytes = 0;
    for (long i = kBlockSize - 1; i >= 0; --i) {
        if (expected[i] == found[i]) continue;
        ++bank.differingBytes;
        bank.firstDifference = bank.expected.index * kBlockSize + i;
    }
    ++(bank.differingBytes == 0 ? comparison.same : comparison.differ);
    return true;
}
