#include "platform/win32/VirtualKeys.h"

#include <gtest/gtest.h>

// Windows' virtual keys reach the editor by the editor's own names; 97 to 122 count as letters.
TEST(VirtualKeys, TheEditorsKeysByTheirWindowsCodes) {
    EXPECT_EQ(WindowKeyForVirtualKey(32), WindowKey::kSpace);
    EXPECT_EQ(WindowKeyForVirtualKey(38), WindowKey::kUp);
    EXPECT_EQ(WindowKeyForVirtualKey(40), WindowKey::kDown);
    EXPECT_EQ(WindowKeyForVirtualKey(37), WindowKey::kLeft);
    EXPECT_EQ(WindowKeyForVirtualKey(39), WindowKey::kRight);
    EXPECT_EQ(WindowKeyForVirtualKey(8), WindowKey::kBackspace);
    EXPECT_EQ(WindowKeyForVirtualKey(13), WindowKey::kReturn);
    EXPECT_EQ(WindowKeyForVirtualKey('0'), WindowKey::kDigit0);
    EXPECT_EQ(WindowKeyForVirtualKey('9'), WindowKey(int(WindowKey::kDigit0) + 9));
    EXPECT_EQ(WindowKeyForVirtualKey('A'), WindowKey::kLetterA);
    EXPECT_EQ(WindowKeyForVirtualKey('Z'), WindowKey::kLetterZ);
    EXPECT_EQ(WindowKeyForVirtualKey(97), WindowKey::kLetterA);
    EXPECT_EQ(WindowKeyForVirtualKey(122), WindowKey::kLetterZ);
    for (const int outside : {0, 31, 36, 41, 47, 58, 64, 91, 96, 123, 255}) {
        EXPECT_EQ(WindowKeyForVirtualKey(outside), WindowKey::kNone) << outside;
    }
}
