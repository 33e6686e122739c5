#pragma once

#include "host/AudioSink.h"
#include "host/AudioSource.h"

#include <memory>
#include <string>

struct sf_private_tag;

// An audio file kind kvx-host writes, chosen by the output file's extension.
struct OutputFormat {
    int sndfileFormat;
    const char* description;
    bool isInteger; // integer samples clip above full scale
};

// The format for path's extension (.wav, .flac, .aif/.aiff, .ogg/.oga, any case); false and a
// message naming the supported ones otherwise.
bool OutputFormatFor(const std::string& path, OutputFormat* format, std::string* error);

// An audio file read through libsndfile, as doubles in -1..1 for integer formats.
class AudioFileReader : public AudioSource {
public:
    // Opens path; on failure returns null and says why in error (missing, unreadable,
    // not an audio format libsndfile knows).
    static std::unique_ptr<AudioFileReader> Open(const std::string& path, std::string* error);
    ~AudioFileReader() override;
    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    int Channels() const override { return channels_; }
    int SampleRate() const override { return sampleRate_; }
    std::int64_t Frames() const override { return frames_; }
    bool Read(double* interleaved, std::size_t frames, std::size_t* read) override;
    const char* Error() const override { return error_.c_str(); }
    // The container and sample format, as libsndfile names them.
    const std::string& Description() const { return description_; }

private:
    AudioFileReader() = default;

    sf_private_tag* file_ = nullptr;
    int channels_ = 0;
    int sampleRate_ = 0;
    std::int64_t frames_ = 0;
    std::string description_;
    std::string error_;
};

// Writes an audio file under a temporary name beside the destination and renames it into place
// on Commit, so the destination only ever holds a complete file. Dropped without Commit, the
// temporary file is removed.
class AudioFileWriter : public AudioSink {
public:
    static std::unique_ptr<AudioFileWriter> Create(const std::string& path,
                                                   const OutputFormat& format, int channels,
                                                   int sampleRate, std::string* error);
    ~AudioFileWriter() override;
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    bool Write(const double* interleaved, std::size_t frames) override;
    const char* Error() const override { return error_.c_str(); }
    bool Commit(std::string* error);
    const std::string& TempPath() const { return tempPath_; }

private:
    AudioFileWriter() = default;
    void Discard();

    sf_private_tag* file_ = nullptr;
    std::string path_;
    std::string tempPath_;
    std::string error_;
};
