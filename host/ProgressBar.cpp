#include "host/ProgressBar.h"

#include <unistd.h>

bool ProgressBar::IsTerminal(std::FILE* out) {
    return isatty(fileno(out)) == 1;
}

void ProgressBar::Update(std::int64_t done, std::int64_t total) {
    if (!enabled_ || total <= 0) {
        return;
    }
    done = done < 0 ? 0 : done > total ? total : done;
    const int percent = int(done * 100 / total);
    // Redrawing only when the figure changes keeps a fast render from spending its time here.
    if (percent == shownPercent_) {
        return;
    }
    shownPercent_ = percent;
    const int filled = int(done * kWidth / total);
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) {
        bar[i] = i < filled ? '#' : '-';
    }
    bar[kWidth] = '\0';
    std::fprintf(out_, "\rrendering [%s] %3d%%", bar, percent);
    std::fflush(out_);
}

void ProgressBar::Finish() {
    if (!enabled_ || shownPercent_ < 0) {
        return;
    }
    std::fprintf(out_, "\r%*s\r", kWidth + 20, "");
    std::fflush(out_);
    shownPercent_ = -1;
}
