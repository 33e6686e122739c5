#pragma once

#include <cstdint>
#include <cstdio>

// A one-line progress bar redrawn in place. It draws only when enabled, which kvx-host makes
// depend on stderr being a terminal, so logs and pipes never fill with carriage returns.
class ProgressBar {
public:
    ProgressBar(std::FILE* out, bool enabled) : out_(out), enabled_(enabled) {}
    // True when out is a terminal.
    static bool IsTerminal(std::FILE* out);

    void Update(std::int64_t done, std::int64_t total);
    // Clears the line, so what follows starts at its beginning.
    void Finish();

private:
    static constexpr int kWidth = 32;

    std::FILE* out_;
    bool enabled_;
    int shownPercent_ = -1;
};
