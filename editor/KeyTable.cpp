#include "editor/KeyTable.h"

int KeyNumberForKey(WindowKey key) {
    const int k = int(key);
    switch (key) {
    case WindowKey::kSpace:
        return 0;
    case WindowKey::kUp:
        return 1;
    case WindowKey::kDown:
        return 2;
    case WindowKey::kLeft:
        return 3;
    case WindowKey::kRight:
        return 4;
    default:
        break;
    }
    if (k >= int(WindowKey::kDigit0) && k < int(WindowKey::kDigit0) + 10) {
        return 5 + k - int(WindowKey::kDigit0);
    }
    if (k >= int(WindowKey::kLetterA) && k <= int(WindowKey::kLetterZ)) {
        return 15 + k - int(WindowKey::kLetterA);
    }
    return -1;
}
