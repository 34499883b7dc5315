// Comparing two flash images bank by bank.
#include "inspect/image_compare.h"

namespace {

InspectStatus openImage(const Catalogue& catalogue, InspectedFile& file) {
    if (inspectFile(catalogue, file) == InspectStatus::Read && file.kind != InspectedKind::Image) {
        file.stream.reset();
        file.status = InspectStatus::NotImage;
    }
    return file.status;
}

}  // namespace

InspectStatus openComparison(const Catalogue& catalogue, ImageComparison& comparison) {
    const InspectStatus status = openImage(catalogue, comparison.expected);
    return status != InspectStatus::Read ? status : openImage(catalogue, comparison.found);
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
