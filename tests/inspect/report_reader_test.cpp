// The inspector's reading loop: a file that is cut short after its kind
// was told ends its report with the error, in either form (the status for
// each kind of file is checked end to end).
#include "inspect/report_reader.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include "base/console.h"
#include "catalogue/catalogue_file.h"
#include "support/test_support.h"

TEST(ReportReader, AFileCutShortAfterItsKindWasTold) {
    Catalogue catalogue;
    loadDefaultCatalogue(catalogue);
    const std::vector<std::pair<const ReportFormat*, std::string>> cases{
        {&kTableReport,
            "00     SpeedDOS 40T HIROM    d3da    misplaced: the catalogue names 0b 18\n01-02  blank\n"
            "quillmore-flashinfo: image.bin: error reading file\n"},
        {&kJsonReport, json("    {'bank': '02', 'content': 'blank'}],\n   'error': 'error reading file'}")}};
    for (const auto& [format, report] : cases) {
        ScratchDir dir;
        writeBytes("image.bin", imageWith({{0x00, kSpeedDos}}));
        ReportState state(catalogue);
        InspectedFile file;
        file.path = "image.bin";
        ASSERT_EQ(inspectFile(state.catalogue, file), InspectStatus::Read);
        std::filesystem::resize_file("image.bin", 3 * 8192 + 100);  // three banks and a piece of the fourth left
        const ConsoleTargets saved = consoleTargets();
        consoleTargets().progress = consoleTargets().error = std::fopen("console.txt", "wb");
        EXPECT_EQ(reportOpenedFile(*format, state, file), InfoStatus::Failed);
        std::fclose(consoleTargets().progress);
        consoleTargets() = saved;
        const Bytes printed = readBytes("console.txt");
        const auto tail = static_cast<long>(std::min(printed.size(), report.size()));  // the report's end
        EXPECT_EQ(std::string(printed.end() - tail, printed.end()), report);
    }
}
