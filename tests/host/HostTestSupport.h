#pragma once

#include <string>
#include <vector>

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // The names in the folder, sorted, hidden ones included.
    std::vector<std::string> List() const;

private:
    std::string path_;
};

struct HostRun {
    int exitCode = -1; // -1 when kvx-host did not exit normally (a crash)
    std::string out;
    std::string err;
};

// Runs the built kvx-host with args in folder, with extra NAME=VALUE environment settings.
HostRun RunHost(const std::vector<std::string>& args, const std::string& folder,
                const std::vector<std::string>& environment = {});

struct Sound {
    int channels = 0;
    int rate = 0;
    std::vector<double> samples; // interleaved
    std::size_t Frames() const { return channels ? samples.size() / channels : 0; }
    double At(std::size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

// Writes and reads files with libsndfile directly, independently of the code under test.
// format is a libsndfile SF_FORMAT_* value.
void WriteSound(const std::string& path, const Sound& sound, int format);
Sound ReadSound(const std::string& path);

// A deterministic test signal: a different pair of sines per channel with a little noise, at
// peak below -6 dBFS, every sample a 16-bit value so any format holds it exactly.
Sound TestSignal(int channels, int rate, std::size_t frames);

std::string ReadText(const std::string& path);
std::vector<std::string> ReadLines(const std::string& path);
