// The inspector's reading loop: the verdict for each kind of damage, and a
// file that is cut short after its kind was told.
#include "inspect/report_reader.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "base/console.h"
#include "catalogue/catalogue_file.h"
#include "inspect/flashinfo.h"
#include "support/test_support.h"

namespace {

const Catalogue& defaultCatalogue() {
    static const Catalogue catalogue = [] {
        Catalogue loaded;
        loadDefaultCatalogue(loaded);
        return loaded;
    }();
    return catalogue;
}

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

TEST(ReportReader, TheVerdictForEachKindOfDamage) {
    Bytes cut = bankFile(0x0B, kSpeedDos);
    cut.pop_back();
    const struct {
        const char* label;
        Bytes file;
        InfoStatus verdict;
    } cases[] = {
        {"image, each ROM where the catalogue puts it", imageWith({{0x0B, kSpeedDos}, {0x18, kSpeedDos}}),
            InfoStatus::AllGood},
        {"image, a ROM in a bank its entry does not name", imageWith({{0x0B, kSpeedDos}, {0x05, kSpeedDos}}),
            InfoStatus::FoundWrong},
        {"image, an unknown bank", imageWith({{0x07, kUnknown}}), InfoStatus::FoundWrong},
        {"ROM file with a known and a blank block", concat({kSpeedDos, Bytes(8192, 0xFF)}), InfoStatus::AllGood},
        {"ROM file with an unknown block", concat({kSpeedDos, kUnknown}), InfoStatus::FoundWrong},
        {"ROM file without a whole block", {0x01, 0x08}, InfoStatus::FoundWrong},
        {"bank loader file", bankFile(0x0B, kSpeedDos), InfoStatus::AllGood},
        {"bank loader file for a bank the entry does not name", bankFile(0x05, kSpeedDos), InfoStatus::FoundWrong},
        {"bank loader file without flasher records", recordsOf(0x4000, kSpeedDos), InfoStatus::FoundWrong},
        {"bank loader file cut short", cut, InfoStatus::FoundWrong},
        {"none of the three kinds", text("odd"), InfoStatus::Failed},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        writeBytes("file", c.file);
        for (const ReportFormat* format : {&kTableReport, &kJsonReport}) {
            ReportState state(defaultCatalogue());
            InspectedFile file;
            file.path = "file";
            InfoStatus verdict = InfoStatus::AllGood;
            (void)printed([&] { verdict = reportFile(*format, state, file); });
            EXPECT_EQ(verdict, c.verdict) << c.label;
        }
    }
}

TEST(ReportReader, AFileCutShortAfterItsKindWasTold) {
    const struct {
        const ReportFormat* format;
        std::string report;
    } cases[] = {
        {&kTableReport,
            "image.bin: flash image\nbank   content               crc-16  note\n"
            "00     SpeedDOS 40T HIROM    d3da    misplaced: the catalogue names 0b 18\n01-02  blank\n"
            "quillmore-flashinfo: image.bin: error reading file\n"},
        {&kJsonReport,
            "\n  {\"file\": \"image.bin\", \"kind\": \"flash image\", \"banks\": [\n    {\"bank\": \"00\", "
            "\"content\": \"known\", \"crc\": \"d3da\", \"name\": \"SpeedDOS 40T HIROM\", \"catalogueBanks\": [\"0b\", "
            "\"18\"], \"misplaced\": true},\n    {\"bank\": \"01\", \"content\": \"blank\"},\n"
            "    {\"bank\": \"02\", \"content\": \"blank\"}],\n   \"error\": \"error reading file\"}"},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        writeBytes("image.bin", imageWith({{0x00, kSpeedDos}}));
        ReportState state(defaultCatalogue());
        InspectedFile file;
        file.path = "image.bin";
        ASSERT_EQ(inspectFile(state.catalogue, file), InspectStatus::Read);
        std::filesystem::resize_file("image.bin", 3 * 8192 + 100);  // three banks and a piece of the fourth left
        InfoStatus verdict = InfoStatus::AllGood;
        EXPECT_EQ(printed([&] { verdict = reportOpenedFile(*c.format, state, file); }), c.report);
        EXPECT_EQ(verdict, InfoStatus::Failed);
    }
}
