// kestrom.exe's outputs on Windows: written to a new file beside the target
// and moved over it (MoveFileEx) only at the commit, read-only files and
// folders refused before any work, the NUL device written into, and nothing
// left behind when a run ends without committing.
#include <gtest/gtest.h>

#include <windows.h>

#include <io.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/kestrom/OutputFile.h"

namespace kestrom::tool {
namespace {

// A folder of the test's own under the system's temporary folder, removed
// with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        char name[MAX_PATH] = {};
        GetTempFileNameA(temp, "kst", 0, name);  // makes a file: the folder takes its name
        DeleteFileA(name);
        path_ = name;
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const std::string& entry : Entries()) {
            const std::string path = File(entry);
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileA(path.c_str())) RemoveDirectoryA(path.c_str());
        }
        RemoveDirectoryA(path_.c_str());
    }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(File("*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }

private:
    std::string path_;
};

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Prepares `file` and writes `text` through its descriptor.
void Fill(OutputFile& file, const std::string& text) {
    std::string error;
    ASSERT_TRUE(file.Prepare(error)) << error;
    ASSERT_EQ(_write(file.Descriptor(), text.data(), static_cast<unsigned>(text.size())),
              static_cast<int>(text.size()));
}

TEST(OutputFileWin32, ReplacesAndCreatesFilesOnlyAtTheCommitLeavingNothingElse) {
    ScratchFolder folder;
    WriteText(folder.File("old.wav"), "the old take, longer than the new one");
    OutputFile old(folder.File("old.wav")), fresh(folder.File("new.wav"));
    Fill(old, "replaced");
    Fill(fresh, "created\n");  // binary: no carriage return added
    EXPECT_EQ(ReadText(folder.File("old.wav")), "the old take, longer than the new one");
    EXPECT_EQ(folder.Entries().size(), 3u);  // the target and two temporary files
    std::string error;
    ASSERT_TRUE(OutputFile::CommitAll({&old, &fresh}, true, error)) << error;
    EXPECT_EQ(ReadText(folder.File("old.wav")), "replaced");
    EXPECT_EQ(ReadText(folder.File("new.wav")), "created\n");
    EXPECT_EQ(folder.Entries().size(), 2u);
}

TEST(OutputFileWin32, RefusesReadOnlyFilesAndFoldersAndWritesIntoTheNulDevice) {
    ScratchFolder folder;
    WriteText(folder.File("kept.wav"), "kept");
    SetFileAttributesA(folder.File("kept.wav").c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryA(folder.File("takes").c_str(), nullptr);
    const struct {
        std::string target;
        std::string message;
    } refused[] = {{folder.File("kept.wav"), "is read-only"}, {folder.File("takes"), "is a directory"}};
    for (const auto& c : refused) {
        OutputFile file(c.target);
        std::string error;
        EXPECT_FALSE(file.Prepare(error)) << c.target;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
    EXPECT_EQ(ReadText(folder.File("kept.wav")), "kept");

    OutputFile nul("NUL");
    Fill(nul, "discarded");
    EXPECT_TRUE(nul.WritesThrough());
    std::string error;
    EXPECT_TRUE(OutputFile::CommitAll({&nul}, true, error)) << error;
    EXPECT_EQ(folder.Entries().size(), 2u);
}

TEST(OutputFileWin32, AnUncommittedOutputLeavesTheTargetAndTheFolderAsTheyWere) {
    ScratchFolder folder;
    WriteText(folder.File("take.wav"), "old");
    {
        OutputFile file(folder.File("take.wav"));
        Fill(file, "never committed");
    }
    EXPECT_EQ(ReadText(folder.File("take.wav")), "old");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"take.wav"});
}

}  // namespace
}  // namespace kestrom::tool
