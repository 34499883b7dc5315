// Comparing two flash images bank by bank.
#include "inspect/image_compare.h"

#include <vector>

#include "output/bank_loader.h"

namespace {

LoaderAgain loaderAgain(long bank, const uint8_t* block) {
    const std::string name = bankLoaderFileName(static_cast<int>(bank));
    if (fileKind(name.c_str()) == FileKind::Missing) return LoaderAgain::Missing;
    const FilePtr file = openInputFile(name.c_str());
    const int64_t size = file ? fileSize(file.get()) : -1;
    if (size <= 0 || static_cast<uint64_t>(size) > kMaxBankLoaderFileSize) return LoaderAgain::Other;
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    if (std::fread(bytes.data(), bytes.size(), 1, file.get()) != 1) return LoaderAgain::Other;
    return loaderCarriesBlock(bytes.data(), bytes.size(), bank, block) ? LoaderAgain::Holds : LoaderAgain::Other;
}

InspectStatus openImage(const Catalogue& catalogue, InspectedFile& file) {
    if (inspectFile(catalogue, file) == InspectStatus::Read && kindOf(file) != InspectedKind::Image) {
        file.source.stream.reset();
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
    const uint8_t* expected = readingOf(comparison.expected)->block.data();
    const uint8_t* found = readingOf(comparison.found)->block.data();
    bank.differingBytes = 0;
    for (long i = kBlockSize - 1; i >= 0; --i) {
        if (expected[i] == found[i]) continue;
        ++bank.differingBytes;
        bank.firstDifference = bank.expected.index * kBlockSize + i;
    }
    ++(bank.differingBytes == 0 ? comparison.same : comparison.differ);
    const bool again = bank.differingBytes > 0 && bank.expected.content != BlockContent::Blank;
    bank.again = again ? loaderAgain(bank.expected.index, expected) : LoaderAgain::None;
    return true;
}
