#include "core/program_folder.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace bs {
namespace {

namespace fs = std::filesystem;

bool writable(const fs::path&) {
  return true;
}
bool readOnly(const fs::path&) {
  return false;
}

enum class Layout { BuildFolder, InstalledApart, NoData };

struct FolderCase {
  const char* name;
  Layout layout;
  bool exeWritable;
  bool home;             // --home given
  bool userFolderThere;  // the per-user folder exists already, with the user's Config.ini
  const char* xdg;       // $XDG_DATA_HOME below the temporary folder; "" unset, "rel" relative
  const char* chosen;    // the program folder, below the temporary folder
  const char* config;    // its Data/Config.ini afterwards; "" none
};

TEST(ProgramFolder, IsChosenByLayoutWritabilityAndTheUsersFolder) {
  // clang-format off
  const std::vector<FolderCase> cases = {
      {"build folder",                     Layout::BuildFolder,    true,  false, false, "",    "prefix/bin",                    "shipped"},
      {"build folder, --home",             Layout::BuildFolder,    true,  true,  false, "",    "home",                          "home's"},
      {"read-only folder: first start",    Layout::BuildFolder,    false, false, false, "",    "user/.local/share/batchseal",   "shipped"},
      {"read-only folder: user's kept",    Layout::BuildFolder,    false, false, true,  "",    "user/.local/share/batchseal",   "user's"},
      {"read-only folder, --home",         Layout::BuildFolder,    false, true,  false, "",    "home",                          "home's"},
      {"installed: first start",           Layout::InstalledApart, true,  false, false, "",    "user/.local/share/batchseal",   "shipped"},
      {"installed: user's kept",           Layout::InstalledApart, false, false, true,  "",    "user/.local/share/batchseal",   "user's"},
      {"installed, XDG_DATA_HOME",         Layout::InstalledApart, false, false, false, "xdg", "xdg/batchseal",                 "shipped"},
      {"installed, relative XDG ignored",  Layout::InstalledApart, false, false, false, "rel", "user/.local/share/batchseal",   "shipped"},
      {"no Data anywhere: as before",      Layout::NoData,         false, false, false, "",    "prefix/bin",                    ""},
  };
  // clang-format on
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    const fs::path shipped =
        c.layout == Layout::BuildFolder ? dir / "prefix/bin" : dir / "prefix/share/batchseal";
    fs::create_directories(dir / "prefix/bin");
    if (c.layout != Layout::NoData) {
      fs::create_directories(shipped / "Data");
      fs::create_directories(shipped / "Report");
      test::writeFile(shipped / "Data/Config.ini", "shipped");
      test::writeFile(shipped / "Report/Payment.frf", "template");
    }
    fs::create_directories(dir / "home/Data");
    test::writeFile(dir / "home/Data/Config.ini", "home's");
    const fs::path userFolder = dir / "user/.local/share/batchseal";
    if (c.userFolderThere) {
      fs::create_directories(userFolder / "Data");
      test::writeFile(userFolder / "Data/Config.ini", "user's");
    }

    ProgramFolderPlace place;
    place.executableFolder = dir / "prefix/bin";
    if (c.home) place.home = dir / "home";
    place.xdgDataHome = std::string(c.xdg) == "rel" ? "relative/data"
                        : *c.xdg                    ? (dir / c.xdg).string()
                                                    : "";
    place.userHome = (dir / "user").string();
    place.isWritable = c.exeWritable ? writable : readOnly;

    const ProgramFolderChoice choice = chooseProgramFolder(place);
    EXPECT_EQ(choice.problem, "");
    EXPECT_EQ(choice.paths.programFolder, dir / c.chosen);
    if (*c.config) {
      EXPECT_EQ(test::readFile(choice.paths.dataFolder() / "Config.ini"), c.config);
    }
    // A copy made on first start has the templates and leaves no half-made sibling behind.
    if (std::string(c.config) == "shipped" && choice.paths.programFolder != shipped) {
      EXPECT_EQ(test::readFile(choice.paths.reportFolder() / "Payment.frf"), "template");
      for (const auto& entry : fs::directory_iterator(choice.paths.programFolder.parent_path()))
        EXPECT_EQ(entry.path().filename(), "batchseal");
    }
  }
}

TEST(ProgramFolder, APerUserPathThatIsNotAFolderIsNamedInTheProblem) {
  test::TempDir dir;
  fs::create_directories(dir / "prefix/bin");
  fs::create_directories(dir / "prefix/share/batchseal/Data");
  fs::create_directories(dir / "user/.local/share");
  test::writeFile(dir / "user/.local/share/batchseal", "a file");
  ProgramFolderPlace place;
  place.executableFolder = dir / "prefix/bin";
  place.userHome = (dir / "user").string();
  const ProgramFolderChoice choice = chooseProgramFolder(place);
  EXPECT_NE(choice.problem.find((dir / "user/.local/share/batchseal").string()), std::string::npos)
      << choice.problem;
  EXPECT_EQ(test::readFile(dir / "user/.local/share/batchseal"), "a file");
}

}  // namespace
}  // namespace bs
