// Which file a path names on Windows, as kestrom.exe's clash check uses it:
// letter case, "." and "..", either separator and a missing file's name do
// not hide the same file; different files differ.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tools/kestrom/FileIdentity.h"

namespace kestrom::tool {
namespace {

TEST(FileIdentityWin32, SpellingsOfOneFileAreTheSameFileAndOthersAreNot) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH] = {};
    GetTempFileNameA(temp, "kst", 0, name);
    DeleteFileA(name);
    const std::string folder = name;
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    CreateDirectoryA((folder + "\\sub").c_str(), nullptr);
    CloseHandle(CreateFileA((folder + "\\Take.wav").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    CloseHandle(CreateFileA((folder + "\\other.wav").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));

    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {folder + "\\Take.wav", folder + "\\TAKE.WAV", true},
        {folder + "\\Take.wav", folder + "\\sub\\..\\.\\take.wav", true},
        {folder + "\\Take.wav", folder + "/Take.wav", true},
        {folder + "\\Take.wav", folder + "\\other.wav", false},
        {folder + "\\New.wav", folder + "\\sub\\..\\new.WAV", true},  // neither exists yet
        {folder + "\\New.wav", folder + "\\sub\\new.wav", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileIdentity::Of(c.a) == FileIdentity::Of(c.b), c.same) << c.a << " / " << c.b;
    }

    DeleteFileA((folder + "\\Take.wav").c_str());
    DeleteFileA((folder + "\\other.wav").c_str());
    RemoveDirectoryA((folder + "\\sub").c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace kestrom::tool
