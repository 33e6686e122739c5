// Dialogs through the desktop's own dialog programs, run as child processes: the plug-in links
// no toolkit, and a desktop without them simply gets the negative answers.

#include "platform/DesktopDialogs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern char** environ;

namespace {

bool OnPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) {
        return false;
    }
    std::string folders(path);
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        const std::string folder = end > start ? folders.substr(start, end - start) : ".";
        if (access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// Runs the program with its output in out; the exit status, or -1 when it could not run.
int Run(const std::vector<std::string>& args, std::string* out) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return -1;
    }
    char buffer[512];
    for (;;) {
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n > 0) {
            if (out) {
                out->append(buffer, size_t(n));
            }
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

enum class Dialogs { kNone, kZenity, kKdialog };

Dialogs Available() {
    if (OnPath("zenity")) {
        return Dialogs::kZenity;
    }
    if (OnPath("kdialog")) {
        return Dialogs::kKdialog;
    }
    return Dialogs::kNone;
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

int Hex(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// "#rrggbb", "#rrrrggggbbbb", "rgb(r,g,b)" or "rgba(r,g,b,a)".
bool ParseColour(const std::string& text, int* red, int* green, int* blue) {
    if (!text.empty() && text[0] == '#' && (text.size() == 7 || text.size() == 13)) {
        const size_t digits = (text.size() - 1) / 3;
        int channels[3];
        for (int c = 0; c < 3; ++c) {
            const int hi = Hex(text[1 + c * digits]), lo = Hex(text[2 + c * digits]);
            if (hi < 0 || lo < 0) {
                return false;
            }
            channels[c] = hi * 16 + lo;
        }
        *red = channels[0];
        *green = channels[1];
        *blue = channels[2];
        return true;
    }
    int r, g, b;
    if (std::sscanf(text.c_str(), "rgb(%d,%d,%d)", &r, &g, &b) == 3 ||
        std::sscanf(text.c_str(), "rgba(%d,%d,%d", &r, &g, &b) == 3) {
        if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) {
            return false;
        }
        *red = r;
        *green = g;
        *blue = b;
        return true;
    }
    return false;
}

} // namespace

bool AskDesktopForFile(void* /*owner: the dialog program is a window of its own*/, bool save,
                       const std::string& folder, std::string* out) {
    out->clear();
    std::string folderArg = folder;
    if (!folderArg.empty() && folderArg.back() != '/') {
        folderArg += '/';
    }
    std::vector<std::string> args;
    switch (Available()) {
    case Dialogs::kZenity:
        args = {"zenity", "--file-selection", "--filename=" + folderArg};
        if (save) {
            args.push_back("--save");
            args.push_back("--confirm-overwrite");
        }
        break;
    case Dialogs::kKdialog:
        args = {"kdialog", save ? "--getsavefilename" : "--getopenfilename", folderArg};
        break;
    case Dialogs::kNone:
        return false;
    }
    std::string answer;
    if (Run(args, &answer) != 0) {
        return false;
    }
    *out = FirstLine(answer);
    return !out->empty();
}

bool AskDesktopForColour(void* /*owner*/, const char* caption, int* red, int* green, int* blue) {
    char start[8];
    std::snprintf(start, sizeof start, "#%02x%02x%02x", *red & 0xFF, *green & 0xFF, *blue & 0xFF);
    const std::string title = caption ? caption : "";
    std::vector<std::string> args;
    switch (Available()) {
    case Dialogs::kZenity:
        args = {"zenity", "--color-selection", std::string("--color=") + start};
        if (!title.empty()) {
            args.push_back("--title=" + title);
        }
        break;
    case Dialogs::kKdialog:
        args = {"kdialog", "--getcolor", "--default", start};
        if (!title.empty()) {
            args.push_back("--title");
            args.push_back(title);
        }
        break;
    case Dialogs::kNone:
        return false;
    }
    std::string answer;
    return Run(args, &answer) == 0 && ParseColour(FirstLine(answer), red, green, blue);
}

bool AskDesktopYesNo(void* /*owner*/, const char* caption, const char* text) {
    const std::string title = caption ? caption : "";
    const std::string body = text ? text : "";
    switch (Available()) {
    case Dialogs::kZenity:
        return Run({"zenity", "--question", "--no-markup", "--title=" + title, "--text=" + body},
                   nullptr) == 0;
    case Dialogs::kKdialog:
        return Run({"kdialog", "--title", title, "--yesno", body}, nullptr) == 0;
    case Dialogs::kNone:
        break;
    }
    return false;
}

void ShowDesktopMessage(void* /*owner*/, const char* caption, const char* text) {
    const std::string title = caption ? caption : "";
    const std::string body = text ? text : "";
    switch (Available()) {
    case Dialogs::kZenity:
        Run({"zenity", "--info", "--no-markup", "--title=" + title, "--text=" + body}, nullptr);
        break;
    case Dialogs::kKdialog:
        Run({"kdialog", "--title", title, "--msgbox", body}, nullptr);
        break;
    case Dialogs::kNone:
        break;
    }
}

bool OpenDesktopLink(void* /*owner*/, const char* url) {
    return url && *url && Run({"xdg-open", url}, nullptr) == 0;
}
