// Load: a tree of 100,000 files and folders nested 60 deep, made on the
// Linux side, mirrored by a real run with the right counts in flat memory.
// Runs with "scripts/test.sh --load".
#include "support.h"
#include <psapi.h>

namespace {

struct LoadTest : ProgramFixture {
    int files = 0;
    // A chain of 60 folders, each with side folders of 66 files; short names
    // keep the deepest paths below the limit.
    void SetUp() override
    {
        ProgramFixture::SetUp();
        ASSERT_TRUE(RunShell("cd '" + UnixPath(temp.path) + "' && python3 - <<'PY'\n"
                             "import os\nentries = files = 0\npath = 'quelle'\n"
                             "for depth in range(60):\n    path = os.path.join(path, 'd')\n    os.mkdir(path)\n    entries += 1\n"
                             "    for side in range(25):\n        if entries >= 100000: break\n"
                             "        folder = os.path.join(path, 's%02d' % side)\n        os.mkdir(folder)\n        entries += 1\n"
                             "        for f in range(min(66, 100000 - entries)):\n"
                             "            open(os.path.join(folder, 'f%02d' % f), 'w').write(str(f))\n            entries += 1\n"
                             "            files += 1\nopen('anzahl', 'w').write(str(files))\nPY"));
        files = atoi(ReadBytes(temp / "anzahl").c_str());
        Open();
        AddPair(source, target);
    }
};

TEST_F(LoadTest, ALargeDeepTreeIsMirroredWithRightCountsInFlatMemory)
{
    EXPECT_EQ(CountBoxes(Run(nullptr, 900000), "Synchronisierung abgeschlossen."), 1);
    EXPECT_EQ(ControlText(CopiedStatusLabel) + "|" + ControlText(CleanedStatusLabel),
              "synchronisierte Dateien: " + std::to_string(files) + " / " + std::to_string(files) + "|bereinigte Dateien: 0 / " + std::to_string(files));
    EXPECT_TRUE(RunShell("diff -r '" + UnixPath(source) + "' '" + UnixPath(target) + "'"));
    PROCESS_MEMORY_COUNTERS memory = {sizeof memory};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    EXPECT_LT(memory.PeakWorkingSetSize, (SIZE_T)150 * 1024 * 1024);
}

} // namespace
