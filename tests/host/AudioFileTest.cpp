#include "HostTestSupport.h"

#include "host/AudioFile.h"

#include <gtest/gtest.h>
#include <sndfile.h>

namespace {

TEST(AudioFile, OutputFormatFollowsTheExtension) {
    OutputFormat format{};
    std::string error;
    const std::pair<const char*, int> known[] = {
        {"a.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},    {"b/c.WAV", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
        {"x.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24}, {"x.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
        {"x.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24}, {"x.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS}};
    for (const auto& [name, expected] : known) {
        ASSERT_TRUE(OutputFormatFor(name, &format, &error)) << name;
        EXPECT_EQ(format.sndfileFormat, expected) << name;
    }
    for (const char* name : {"x.mp3", "wav", "take.wav/out", "x."}) {
        EXPECT_FALSE(OutputFormatFor(name, &format, &error)) << name;
    }
}

TEST(AudioFile, WriterShowsTheFileOnlyWhenCommitted) {
    TempDir dir;
    OutputFormat format{};
    std::string error;
    ASSERT_TRUE(OutputFormatFor("out.wav", &format, &error));
    const Sound sound = TestSignal(2, 22050, 3000);
    {
        auto writer = AudioFileWriter::Create(dir / "out.wav", format, 2, 22050, &error);
        ASSERT_TRUE(writer) << error;
        ASSERT_TRUE(writer->Write(sound.samples.data(), 3000));
        // Until the commit only the hidden temporary file exists; dropped, it goes too.
        ASSERT_EQ(dir.List().size(), 1u);
        EXPECT_EQ(dir.List()[0].rfind(".out.wav.", 0), 0u);
    }
    EXPECT_TRUE(dir.List().empty());

    WriteSound(dir / "out.wav", TestSignal(1, 8000, 10), SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    auto writer = AudioFileWriter::Create(dir / "out.wav", format, 2, 22050, &error);
    ASSERT_TRUE(writer->Write(sound.samples.data(), 3000));
    EXPECT_EQ(ReadSound(dir / "out.wav").rate, 8000);
    ASSERT_TRUE(writer->Commit(&error)) << error;
    const Sound back = ReadSound(dir / "out.wav");
    EXPECT_EQ(back.rate, 22050);
    EXPECT_EQ(back.samples, sound.samples);
    EXPECT_EQ(dir.List(), std::vector<std::string>{"out.wav"});
}

TEST(AudioFile, ReaderGivesTheSamplesAndShape) {
    TempDir dir;
    const Sound sound = TestSignal(2, 32000, 1000);
    WriteSound(dir / "in.flac", sound, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    std::string error;
    auto reader = AudioFileReader::Open(dir / "in.flac", &error);
    ASSERT_TRUE(reader) << error;
    EXPECT_EQ(reader->Channels(), 2);
    EXPECT_EQ(reader->SampleRate(), 32000);
    EXPECT_EQ(reader->Frames(), 1000);
    EXPECT_EQ(reader->Description(), "FLAC (Free Lossless Audio Codec), Signed 16 bit PCM");
    std::vector<double> samples(2400);
    std::size_t read = 0;
    ASSERT_TRUE(reader->Read(samples.data(), 1200, &read));
    EXPECT_EQ(read, 1000u);
    samples.resize(2000);
    EXPECT_EQ(samples, sound.samples);
}

} // namespace
