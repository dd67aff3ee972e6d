// The version resource and the icon that resources/tolvane.rc puts into the program, read back
// from this test program, which is built with the same file.

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "case_name.h"
#include "test_files.h"

namespace tolvane {
namespace {

namespace fs = std::filesystem;

fs::path testProgram() {
    wchar_t module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    return fs::path(std::wstring(module, length));
}

std::vector<char> versionBlock() {
    const std::wstring program = testProgram().wstring();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoW(program.c_str(), 0, size, block.data())) {
        block.clear();
    }
    return block;
}

TEST(VersionResource, FileAndProductVersionAre2_4_0_0) {
    std::vector<char> block = versionBlock();
    ASSERT_FALSE(block.empty());
    void* value = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &size));
    ASSERT_GE(size, sizeof(VS_FIXEDFILEINFO));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);

    EXPECT_EQ(info->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info->dwFileVersionMS, (2u << 16) | 4u);
    EXPECT_EQ(info->dwFileVersionLS, 0u);
    EXPECT_EQ(info->dwProductVersionMS, (2u << 16) | 4u);
    EXPECT_EQ(info->dwProductVersionLS, 0u);
    EXPECT_EQ(info->dwFileType, static_cast<DWORD>(VFT_APP));
}

struct StringCase {
    const char* name;
    const wchar_t* key;
    const wchar_t* expected;
};

class VersionString : public ::testing::TestWithParam<StringCase> {};

TEST_P(VersionString, HasItsValue) {
    std::vector<char> block = versionBlock();
    ASSERT_FALSE(block.empty());
    void* value = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &size));
    ASSERT_GE(size, 4u);
    WORD translation[2] = {};
    std::memcpy(translation, value, sizeof translation);
    EXPECT_EQ(translation[0], 0x0409);  // U.S. English
    EXPECT_EQ(translation[1], 1200);    // UTF-16

    wchar_t key[64] = {};
    std::swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1],
                  GetParam().key);
    ASSERT_TRUE(VerQueryValueW(block.data(), key, &value, &size)) << GetParam().name;
    const std::wstring_view text(static_cast<const wchar_t*>(value), size);
    EXPECT_EQ(text.substr(0, text.find(L'\0')), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, VersionString,
    ::testing::Values(StringCase{"FileVersion", L"FileVersion", L"2.04"},
                      StringCase{"ProductVersion", L"ProductVersion", L"2.04"},
                      StringCase{"ProductName", L"ProductName", L"Varnel V.2.4"},
                      StringCase{"InternalName", L"InternalName", L"tolvane"},
                      StringCase{"OriginalFilename", L"OriginalFilename", L"tolvane.exe"}),
    testing::CaseName());

// Little-endian fields of the icon directories.
unsigned field(const std::string& bytes, std::size_t offset, std::size_t width) {
    unsigned value = 0;
    for (std::size_t i = width; i-- > 0;) {
        value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + i));
    }
    return value;
}

std::string resourceBytes(const wchar_t* name, const wchar_t* type) {
    const HRSRC resource = FindResourceW(nullptr, name, type);
    if (resource == nullptr) {
        return {};
    }
    const HGLOBAL loaded = LoadResource(nullptr, resource);
    const auto* data = static_cast<const char*>(LockResource(loaded));
    return data == nullptr ? std::string() : std::string(data, SizeofResource(nullptr, resource));
}

// The icon group IDI_ICON1 holds the images of resources/tolvane.ico, byte for byte.
TEST(ApplicationIcon, IsTheIconFile) {
    const std::string file = testing::readFile(testProgram().parent_path() / "tolvane.ico");
    const std::string group = resourceBytes(L"IDI_ICON1", MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_FALSE(group.empty());

    const unsigned count = field(file, 4, 2);
    ASSERT_GT(count, 0u);
    EXPECT_EQ(field(group, 2, 2), 1u);  // icons, not cursors
    ASSERT_EQ(field(group, 4, 2), count);
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t inFile = 6 + 16 * i;   // width, height, colours, reserved, planes,
        const std::size_t inGroup = 6 + 14 * i;  // bit count, size; then offset or resource id
        SCOPED_TRACE("image " + std::to_string(i));
        for (std::size_t offset = 0; offset < 12; ++offset) {
            EXPECT_EQ(field(group, inGroup + offset, 1), field(file, inFile + offset, 1));
        }
        const unsigned size = field(file, inFile + 8, 4);
        const std::string image = file.substr(field(file, inFile + 12, 4), size);
        const unsigned id = field(group, inGroup + 12, 2);
        EXPECT_EQ(resourceBytes(MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3)), image);  // RT_ICON
    }
}

}  // namespace
}  // namespace tolvane
