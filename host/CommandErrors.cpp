#include "host/CommandErrors.h"

#include <cstdio>

int UsageError(const char* command, const std::string& problem, const char* usage) {
    std::fprintf(stderr, "kvx-host %s: %s\n\n%s", command, problem.c_str(), usage);
    return 2;
}

int CommandFailure(const std::string& problem) {
    std::fprintf(stderr, "kvx-host: %s\n", problem.c_str());
    return 1;
}
