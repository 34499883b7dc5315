// Checking bank loader files: every damaged byte is caught at its record, and
// each kind of structural damage is named.
#include <gtest/gtest.h>
#include <tuple>

#include "inspect/file_checks.h"
#include "support/test_support.h"

namespace {

LoaderReport checked(const Bytes& file) {
    LoaderReport report;  // damage is told without a catalogue
    inspectLoaderBytes(file.data(), file.size(), Catalogue{}, report);
    return report;
}

}  // namespace

TEST(LoaderCheck, EveryDamagedByteIsCaughtAtItsRecord) {
    const Bytes good = bankFile(0x0B, forgedBlock(0xD3DA, 1));  // a 7-byte flasher record, then 32 of 260
    ASSERT_FALSE(checked(good).damaged);
    for (std::size_t at = 0; at < good.size(); ++at) {
        Bytes damaged = good;
        damaged[at] ^= 0x01;
        const LoaderReport report = checked(damaged);
        ASSERT_TRUE(report.damaged) << "byte " << at;
        ASSERT_EQ(report.damageOffset, at < 7 ? 0 : 7 + (at - 7) / 260 * 260) << "byte " << at;
    }
}

TEST(LoaderCheck, StructuralDamage) {
    const Bytes block = forgedBlock(0xD3DA, 1);
    const Bytes good = bankFile(0x0B, block);
    const Bytes moved = concat({Bytes(good.begin(), good.begin() + 7 + 5 * 260), recordsOf(0x4600, Bytes(256, 0)),
        Bytes(good.begin() + 7 + 6 * 260, good.end())});
    // what, the file, where the damage is found, what it is
    const std::vector<std::tuple<const char*, Bytes, std::size_t, std::string>> cases{
        {"header cut", Bytes(good.begin(), good.begin() + 9), 7, "truncated record header"},
        {"cut after a header", Bytes(good.begin(), good.begin() + 10), 7, "record runs past the end of the file"},
        {"block missing", Bytes(good.begin(), good.begin() + 7), 7,
            "block records missing: 1 records in all, a bank loader file ends with 32 records at 4000"},
        {"block record moved", moved, 7 + 5 * 260, "block record at 4600 with 256 bytes, expected 256 bytes at 4500"},
        {"record after a short one", concat({good, Bytes(good.begin(), good.begin() + 7)}), 7,
            "flasher record after a short record"},
        {"flasher gap", concat({recordsOf(0x0300, Bytes(256, 1)), recordsOf(0x0500, {3}), recordsOf(0x4000, block)}),
            260, "address gap: record at 0500, expected 0400"}};
    for (const auto& [label, bytes, offset, damage] : cases) {
        const LoaderReport report = checked(bytes);
        EXPECT_TRUE(report.damaged) << label;
        EXPECT_EQ(report.damageOffset, offset) << label;
        EXPECT_EQ(report.damage, damage) << label;
    }
}
