// The inspector's reading loop: a file that is cut short after its kind
// was told (the status for each kind of file is checked end to end).
#include "inspect/report_reader.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "base/console.h"
#include "catalogue/catalogue_file.h"
#include "inspect/flashinfo.h"
#include "support/test_support.h"

namespace {

// Returns: what run prints on both console channels together.
std::string printed(const std::function<void()>& run) {
    std::FILE* sink = std::tmpfile();
    const ConsoleTargets saved = consoleTargets();
    consoleTargets().progress = consoleTargets().error = sink;
    run();
    consoleTargets() = saved;
    std::string text(static_cast<std::size_t>(std::ftell(sink)), '\0');
    std::rewind(sink);
    text.resize(std::fread(&text[0], 1, text.size(), sink));
    std::fclose(sink);
    return text;
}

}  // namespace

TEST(ReportReader, AFileCutShortAfterItsKindWasTold) {
    const std::vector<std::pair<const ReportFormat*, std::string>> cases{
        {&kTableReport,
            "image.bin: flash image\nbank   content               crc-16  note\n"
            "00     SpeedDOS 40T HIROM    d3da    misplaced: the catalogue names 0b 18\n01-02  blank\n"
            "quillmore-flashinfo: image.bin: error reading file\n"},
        {&kJsonReport, json("\n  {'file': 'image.bin', 'kind': 'flash image', 'banks': [\n    {'bank': '00', "
                            "'content': 'known', 'crc': 'd3da', 'name': 'SpeedDOS 40T HIROM', 'catalogueBanks': ['0b', "
                            "'18'], 'misplaced': true},\n    {'bank': '01', 'content': 'blank'},\n    {'bank': '02', "
                            "'content': 'blank'}],\n   'error': 'error reading file'}")},
    };
    Catalogue catalogue;
    loadDefaultCatalogue(catalogue);
    for (const auto& [format, report] : cases) {
        ScratchDir dir;
        writeBytes("image.bin", imageWith({{0x00, kSpeedDos}}));
        ReportState state(catalogue);
        InspectedFile file;
        file.path = "image.bin";
        ASSERT_EQ(inspectFile(state.catalogue, file), InspectStatus::Read);
        std::filesystem::resize_file("image.bin", 3 * 8192 + 100);  // three banks and a piece of the fourth left
        InfoStatus verdict = InfoStatus::AllGood;
        EXPECT_EQ(printed([&, format = format] { verdict = reportOpenedFile(*format, state, file); }), report);
        EXPECT_EQ(verdict, InfoStatus::Failed);
    }
}
