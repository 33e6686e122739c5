#include "editor/KeyTable.h"

int KeyNumberForVirtualKey(int code) {
    switch (code) {
    case 32:
        return 0;
    case 38:
        return 1;
    case 40:
        return 2;
    case 37:
        return 3;
    case 39:
        return 4;
    default:
        break;
    }
    if (code >= 48 && code <= 57) {
        return code - 43;
    }
    if (code >= 65 && code <= 90) {
        return code - 50;
    }
    if (code >= 97 && code <= 122) {
        return code - 82;
    }
    return -1;
}
