#include "common/Trace.h"

#include <cctype>
#include <cstring>
#include <ctime>

const char* TimeStamp() {
    static char stamp[128];
    char zone[64] = "";
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    const std::tm* converted = std::localtime(&now);
    if (converted) {
        local = *converted;
    }
    std::strftime(stamp, 64, "%Y%m%d %H:%M ", &local);
    std::strftime(zone, sizeof zone, "%Z", &local);
    size_t end = std::strlen(stamp);
    for (const char* c = zone; *c; ++c) {
        if (std::isupper(static_cast<unsigned char>(*c))) {
            stamp[end++] = *c;
        }
    }
    stamp[end] = '\0';
    return stamp;
}
