// The default crc.ini and a crc.ini that appears while it is written: the
// very default is no failure, any other file is kept and reported, whether
// the file system gives the name by a hard link or only by a rename; no
// temporary file is left either way.
#include "catalogue/catalogue_file.h"

#include <gtest/gtest.h>
#include <tuple>

#include "base/files.h"
#include "support/test_support.h"

namespace {

Bytes appearing;  // what another writer puts in place just before the run names its file

}  // namespace

TEST(CatalogueFile, ACrcIniThatAppearsMeanwhile) {
    const Bytes standard = defaultCatalogueFile();
    // what appears, and the status it gives
    const std::vector<std::tuple<const char*, Bytes, CatalogueStatus>> cases{{"none", {}, CatalogueStatus::Ok},
        {"the very default", standard, CatalogueStatus::Ok},
        {"the default but its last line feed", Bytes(standard.begin(), standard.end() - 1), CatalogueStatus::NotSaved},
        {"the default and one line more", concat({standard, text("1234; 01; mine\n")}), CatalogueStatus::NotSaved}};
    for (const auto& [label, other, expected] : cases) {
        // The name is given by a hard link; by a rename that refuses a name taken, where there are none; or
        // where that rename is refused too, by a look just before a plain rename.
        for (const int refused : {0, 1, 2}) {
            SCOPED_TRACE(std::string(label) + " " + std::to_string(refused));
            ScratchDir dir;
            appearing = other;
            fileSeams().refuseHardLinks = refused > 0;
            fileSeams().refuseExclusiveRename = refused > 1;
            if (!appearing.empty())
                fileSeams().beforeNaming = [](const std::filesystem::path& target) { writeBytes(target, appearing); };
            Catalogue catalogue;
            const CatalogueStatus status = writeDefaultCatalogue(0, catalogue);
            fileSeams() = FileSeams();
            EXPECT_EQ(status, expected);
            EXPECT_EQ(catalogue.entries.size(), 29u);
            EXPECT_EQ(filesHere(), (Files{{"crc.ini", other.empty() ? standard : other}})) << "and no temporary file";
        }
    }
}
