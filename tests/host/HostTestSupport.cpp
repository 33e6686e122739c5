#include "HostTestSupport.h"

#include <dirent.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/kvx-host-test-XXXXXX";
    if (!mkdtemp(&pattern[0])) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    for (const std::string& name : List()) {
        unlink((path_ + "/" + name).c_str());
    }
    rmdir(path_.c_str());
}

std::vector<std::string> TempDir::List() const {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path_.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

HostRun RunHost(const std::vector<std::string>& args, const std::string& folder,
                const std::vector<std::string>& environment) {
    const std::string outPath = folder + "/.stdout";
    const std::string errPath = folder + "/.stderr";
    std::string command = "cd " + Quoted(folder) + " && env";
    for (const std::string& setting : environment) {
        command += " " + Quoted(setting);
    }
    // The launcher is empty, or the emulator and its options as separate words.
    command += " " KVX_LAUNCHER " " + Quoted(KVX_HOST_EXE);
    for (const std::string& arg : args) {
        command += " " + Quoted(arg);
    }
    command += " >" + Quoted(outPath) + " 2>" + Quoted(errPath) + " </dev/null";
    const int status = std::system(command.c_str());
    HostRun run;
    // The shell reports a child killed by a signal as 128 + the signal.
    if (WIFEXITED(status) && WEXITSTATUS(status) < 128) {
        run.exitCode = WEXITSTATUS(status);
    }
    run.out = ReadText(outPath);
    run.err = ReadText(errPath);
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    return run;
}

void WriteSound(const std::string& path, const Sound& sound, int format) {
    SF_INFO info{};
    info.channels = sound.channels;
    info.samplerate = sound.rate;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    sf_writef_double(file, sound.samples.data(), sf_count_t(sound.Frames()));
    sf_close(file);
}

Sound ReadSound(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        throw std::runtime_error("cannot read " + path + ": " + sf_strerror(nullptr));
    }
    Sound sound;
    sound.channels = info.channels;
    sound.rate = info.samplerate;
    sound.samples.resize(std::size_t(info.frames * info.channels));
    sf_readf_double(file, sound.samples.data(), info.frames);
    sf_close(file);
    return sound;
}

Sound TestSignal(int channels, int rate, std::size_t frames) {
    Sound sound;
    sound.channels = channels;
    sound.rate = rate;
    std::uint32_t noise = 12345u;
    for (std::size_t f = 0; f < frames; ++f) {
        for (int c = 0; c < channels; ++c) {
            noise = noise * 1664525u + 1013904223u;
            const double t = double(f) / rate;
            const double value = 0.3 * std::sin(2 * M_PI * (220.0 + 110.0 * c) * t) +
                                 0.15 * std::sin(2 * M_PI * (1234.5 - 300.0 * c) * t) +
                                 0.02 * (double(noise >> 8) / 8388608.0 - 1.0);
            sound.samples.push_back(std::round(value * 32768.0) / 32768.0);
        }
    }
    return sound;
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}
