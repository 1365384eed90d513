#include <windows.h>

#include <cstdint>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "platform/registry_win32.h"

namespace velmora::platform {
namespace {

// A key of its own under HKCU\Software, deleted with everything below it at the end.
class WindowsRegistryTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, std::wstring(path.begin(), path.end()).c_str()); }

    long setText(RegKey key, const std::string& name, const std::string& data, std::uint32_t type = kRegSz) {
        return registry.setValue(key, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                                 static_cast<std::uint32_t>(data.size()));
    }

    std::string path = "Software\\VelmoraTest" + std::to_string(std::random_device{}());
    WindowsRegistry registry;
};

TEST_F(WindowsRegistryTest, KeysOpenCreateAndCloseLikeTheSystemSays) {
    RegKey key = 77;
    EXPECT_EQ(registry.openKey(kHkeyCurrentUser, path + "\\inner", kKeyQueryAndEnumerate, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, kNoKey);

    // The whole chain is created; a leading backslash is ignored; case does not matter.
    ASSERT_EQ(registry.createKey(kHkeyCurrentUser, "\\" + path + "\\inner", kKeyAllAccess, &key), 0);
    RegKey again = kNoKey;
    std::string upper = path;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    ASSERT_EQ(registry.openKey(kHkeyCurrentUser, upper, kKeyAllAccess, &again), 0);
    EXPECT_NE(again, key);
    EXPECT_EQ(registry.openHandleCount(), 2u);

    EXPECT_EQ(registry.closeKey(key), 0);
    EXPECT_EQ(registry.closeKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry.setValue(key, "x", kRegDword, nullptr, 0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry.closeKey(again), 0);
    EXPECT_EQ(registry.openHandleCount(), 0u);
}

TEST_F(WindowsRegistryTest, StringsAreUtf8HereAndUtf16InTheRegistry) {
    RegKey key = kNoKey;
    ASSERT_EQ(registry.createKey(kHkeyCurrentUser, path, kKeyAllAccess, &key), 0);
    const std::string name = "\xE6\x97\xA5\xE8\x90\xBD";  // 日落
    ASSERT_EQ(setText(key, "FileName", name + '\0'), 0);

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    ASSERT_EQ(registry.queryValue(key, "filename", &type, nullptr, &size), 0);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, name.size() + 1);  // UTF-8 bytes and the zero
    std::string small(2, '\0');
    std::uint32_t smallSize = 2;
    EXPECT_EQ(registry.queryValue(key, "FileName", &type, reinterpret_cast<std::uint8_t*>(small.data()), &smallSize),
              ERROR_MORE_DATA);
    EXPECT_EQ(smallSize, size);
    std::string data(size, '\0');
    ASSERT_EQ(registry.queryValue(key, "FileName", &type, reinterpret_cast<std::uint8_t*>(data.data()), &size), 0);
    EXPECT_EQ(data, name + '\0');

    // What another Windows program reads: the two characters in UTF-16.
    wchar_t wide[8] = {};
    DWORD wideSize = sizeof wide;
    const std::wstring widePath(path.begin(), path.end());
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, widePath.c_str(), L"FileName", RRF_RT_REG_SZ, nullptr, wide, &wideSize),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(wide), L"\u65E5\u843D");

    // Other types pass byte for byte; a missing value is reported as such.
    const std::uint32_t number = 0x12345678;
    ASSERT_EQ(registry.setValue(key, "Number", kRegDword, reinterpret_cast<const std::uint8_t*>(&number), 4), 0);
    std::uint32_t read = 0;
    size = 4;
    ASSERT_EQ(registry.queryValue(key, "Number", &type, reinterpret_cast<std::uint8_t*>(&read), &size), 0);
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(read, number);
    EXPECT_EQ(registry.queryValue(key, "Missing", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    registry.closeKey(key);
}

}  // namespace
}  // namespace velmora::platform
