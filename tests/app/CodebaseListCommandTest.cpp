#include <gtest/gtest.h>

#include <sstream>

#include "app/ctl/Commands.h"
#include "tests/app/CtlRun.h"
#include "tests/support/TempFolder.h"

namespace {

CtlRun List(const CtlArgs& args) {
    return RunCommand(RunCodebase, args);
}

TEST(CodebaseList, OneLinePerCodebaseInCatalogueOrder) {
    TempFolder root;
    const auto codebase =
        ReadHostFile(std::string(ARDEL_TEST_DATA) + "/../store/data/OneButtonCodebase.PDB");
    ASSERT_FALSE(codebase.empty());
    // Its header says "TV_Sony" whatever the file is called.
    WriteHostFile(root / "Program Files/ArdelRemote/CodeBases/Living room.PDB", codebase);
    WriteHostFile(root / "My Documents/notes.txt", codebase);
    WriteHostFile(root / "My Documents/Broken.PDB", {1, 2, 3});
    const CtlRun run = List({"list", "--root", root.Path().string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "TV\tSony\t\\Program Files\\ArdelRemote\\CodeBases\\Living room.PDB\n");
}

TEST(CodebaseList, EmptyDeviceRoot) {
    TempFolder root;
    const CtlRun run = List({"list", "--root", root.Path().string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
}

TEST(CodebaseList, RefusesBadArguments) {
    TempFolder root;
    EXPECT_EQ(List({"list", "--root", (root / "missing")}).status, 1);
    EXPECT_EQ(List({"list", "extra"}).status, 2);
    EXPECT_EQ(List({"list", "--root"}).status, 2);
}

}  // namespace
