// The inspector's one reading loop.
#include "inspect/report_reader.h"

#include "base/console.h"
#include "inspect/display_text.h"
#include "inspect/flashinfo.h"

int reportFile(const ReportFormat& format, ReportState& state, InspectedFile& file) {
    if (inspectFile(state.catalogue, file) != kInspectRead) {
        format.uninspected(state, file);
        return kInfoFailed;
    }
    return reportOpenedFile(format, state, file);
}

int reportOpenedFile(const ReportFormat& format, ReportState& state, InspectedFile& file) {
    format.fileStart(state, file);
    BlockReport block;
    while (nextBlock(state.catalogue, file, block)) format.block(state, file, block);
    format.fileEnd(state, file);
    if (file.status != kInspectRead) return kInfoFailed;  // cut short by a read error
    return inspectedFileIsGood(file) ? kInfoAllGood : kInfoFoundWrong;
}

int reportComparison(
    const ReportFormat& format, ReportState& state, const std::string& catalogueSource, ImageComparison& comparison) {
    if (openComparison(state.catalogue, comparison) != kInspectRead) {
        const InspectedFile& side = comparison.expected.status != kInspectRead ? comparison.expected : comparison.found;
        reportError("quillmore-flashinfo: %s: %s\n", tableText(side.path).c_str(), inspectStatusText(side).c_str());
        format.compareUnopened(state, catalogueSource, comparison);
        return kInfoFailed;
    }
    format.compareStart(state, catalogueSource, comparison);
    BankComparison bank;
    while (nextBankComparison(state.catalogue, comparison, bank)) format.compareBank(state, bank);
    format.compareEnd(state, comparison);
    if (comparison.expected.status != kInspectRead || comparison.found.status != kInspectRead) return kInfoFailed;
    return comparison.differ == 0 ? kInfoAllGood : kInfoFoundWrong;
}
