#include "host/AudioFile.h"

#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string LowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return "";
    }
    std::string extension = path.substr(dot + 1);
    for (char& c : extension) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

std::string FormatName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name) {
        return "unknown";
    }
    return info.name;
}

} // namespace

bool OutputFormatFor(const std::string& path, OutputFormat* format, std::string* error) {
    const std::string extension = LowerExtension(path);
    if (extension == "wav") {
        *format = {SF_FORMAT_WAV | SF_FORMAT_FLOAT, "WAV, 32-bit float", false};
    } else if (extension == "flac") {
        *format = {SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "FLAC, 24-bit", true};
    } else if (extension == "aif" || extension == "aiff") {
        *format = {SF_FORMAT_AIFF | SF_FORMAT_PCM_24, "AIFF, 24-bit", true};
    } else if (extension == "ogg" || extension == "oga") {
        *format = {SF_FORMAT_OGG | SF_FORMAT_VORBIS, "Ogg Vorbis", false};
    } else {
        *error =
            "unsupported output format for " + path + ": name it .wav, .flac, .aif, .aiff or .ogg";
        return false;
    }
    return true;
}

std::unique_ptr<AudioFileReader> AudioFileReader::Open(const std::string& path,
                                                       std::string* error) {
    // libsndfile's own texts for these cases are vague, so the file system is asked first.
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    if (S_ISDIR(status.st_mode)) {
        *error = "cannot read " + path + ": it is a folder";
        return nullptr;
    }
    if (access(path.c_str(), R_OK) != 0) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        *error = "cannot read " + path + ": not an audio file in a supported format (" +
                 sf_strerror(nullptr) + "); kvx-host reads WAV, FLAC, AIFF and Ogg Vorbis";
        return nullptr;
    }
    std::unique_ptr<AudioFileReader> reader(new AudioFileReader());
    reader->file_ = file;
    reader->channels_ = info.channels;
    reader->sampleRate_ = info.samplerate;
    reader->frames_ = info.frames;
    reader->description_ = FormatName(info.format & SF_FORMAT_TYPEMASK) + ", " +
                           FormatName(info.format & SF_FORMAT_SUBMASK);
    return reader;
}

AudioFileReader::~AudioFileReader() {
    sf_close(file_);
}

bool AudioFileReader::Read(double* interleaved, std::size_t frames, std::size_t* read) {
    const sf_count_t got = sf_readf_double(file_, interleaved, sf_count_t(frames));
    const int status = sf_error(file_);
    if (status != SF_ERR_NO_ERROR) {
        error_ = sf_error_number(status);
        *read = 0;
        return false;
    }
    *read = got > 0 ? std::size_t(got) : 0;
    return true;
}

std::unique_ptr<AudioFileWriter> AudioFileWriter::Create(const std::string& path,
                                                         const OutputFormat& format, int channels,
                                                         int sampleRate, std::string* error) {
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = format.sndfileFormat;
    if (!sf_format_check(&info)) {
        *error = std::string("cannot write ") + format.description + " with " +
                 std::to_string(channels) + " channels at " + std::to_string(sampleRate) + " Hz";
        return nullptr;
    }
    // The temporary file sits in the destination's folder so that the rename cannot cross
    // file systems, and is hidden so a half-written take is never mistaken for a result.
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = folder + "." + name + ".XXXXXX.part";
    const int fd = mkstemps(&temp[0], 5);
    if (fd < 0) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    // mkstemps makes the file private; the result gets the permissions any new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);

    std::unique_ptr<AudioFileWriter> writer(new AudioFileWriter());
    writer->path_ = path;
    writer->tempPath_ = temp;
    writer->file_ = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
    if (!writer->file_) {
        *error = "cannot write " + path + ": " + sf_strerror(nullptr);
        close(fd);
        return nullptr; // the destructor removes the temporary file
    }
    if (format.isInteger) {
        sf_command(writer->file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    }
    return writer;
}

AudioFileWriter::~AudioFileWriter() {
    Discard();
}

void AudioFileWriter::Discard() {
    if (file_) {
        sf_close(file_);
        file_ = nullptr;
    }
    if (!tempPath_.empty()) {
        unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

bool AudioFileWriter::Write(const double* interleaved, std::size_t frames) {
    if (sf_writef_double(file_, interleaved, sf_count_t(frames)) != sf_count_t(frames)) {
        error_ = "cannot write " + path_ + ": " + sf_strerror(file_);
        return false;
    }
    return true;
}

bool AudioFileWriter::Commit(std::string* error) {
    const int closed = sf_close(file_);
    file_ = nullptr;
    if (closed != 0) {
        *error = "cannot finish " + path_ + ": " + sf_error_number(closed);
        Discard();
        return false;
    }
    if (std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        *error = "cannot write " + path_ + ": " + std::strerror(errno);
        Discard();
        return false;
    }
    tempPath_.clear();
    return true;
}
