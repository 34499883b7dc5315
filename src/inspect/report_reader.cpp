// The inspector's one reading loop.
#include "inspect/report_reader.h"

#include "base/console.h"
#include "inspect/display_text.h"

InfoStatus reportFile(const ReportFormat& format, ReportState& state, InspectedFile& file) {
    if (inspectFile(state.catalogue, file) != InspectStatus::Read) {
        format.uninspected(state, file);
        return InfoStatus::Failed;
    }
    return reportOpenedFile(format, state, file);
}

InfoStatus reportOpenedFile(const ReportFormat& format, ReportState& state, InspectedFile& file) {
    format.fileStart(state, file);
    BlockReport block;
    while (nextBlock(state.catalogue, file, block)) format.block(state, file, block);
    format.fileEnd(state, file);
    if (file.status != InspectStatus::Read) return InfoStatus::Failed;  // cut short by a read error
    return inspectedFileIsGood(file) ? InfoStatus::AllGood : InfoStatus::FoundWrong;
}

InfoStatus reportComparison(
    const ReportFormat& format, ReportState& state, const std::string& catalogueSource, ImageComparison& comparison) {
    if (openComparison(state.catalogue, comparison) != InspectStatus::Read) {
        const InspectedFile& side =
            comparison.expected.status != InspectStatus::Read ? comparison.expected : comparison.found;
        reportError("quillmore-flashinfo: %s: %s\n", tableText(side.path).c_str(), inspectStatusText(side).c_str());
        format.compareUnopened(state, catalogueSource, comparison);
        return InfoStatus::Failed;
    }
    format.compareStart(state, catalogueSource, comparison);
    BankComparison bank;
    while (nextBankComparison(state.catalogue, comparison, bank)) format.compareBank(state, bank);
    format.compareEnd(state, comparison);
    if (comparison.expected.status != InspectStatus::Read || comparison.found.status != InspectStatus::Read)
        return InfoStatus::Failed;
    return comparison.differ == 0 ? InfoStatus::AllGood : InfoStatus::FoundWrong;
}
