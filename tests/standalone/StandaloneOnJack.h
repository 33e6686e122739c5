#pragma once

#include "HostTestSupport.h"
#include "JackTestRig.h"
#include "PrivateJackServer.h"
#include "StandaloneProcess.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The default MIDI map's controllers for the Effect footswitch and the Level knob.
constexpr int kEffectController = 80;
constexpr int kLevelController = 7;

// Tests that run kelvorantumix on a private JACK server, with the test's player and recorder
// around it and its settings in a folder of the test's own.
class StandaloneOnJack : public ::testing::Test {
protected:
    // The settings folder goes too; the temporary folder removes only files.
    void TearDown() override;
    // Starts the server; false (with why_ saying why) when jackd cannot start at all.
    bool StartServer(int rate, int period);
    // kelvorantumix with args on the test's server, without a display unless withDisplay.
    std::unique_ptr<StandaloneProcess> Launch(const std::vector<std::string>& args,
                                              bool withDisplay = false);
    // The player and recorder, wired to kelvorantumix once its ports are there.
    std::unique_ptr<JackTestRig> ConnectRig(double seconds = 20.0);

    // Switches the Effect footswitch off through MIDI, as a foot controller does, and waits for
    // kelvorantumix to take it.
    void SwitchEffectOffByMidi();

    // The first seconds of kvx-host's built-in guitar riff at rate, as the player plays it.
    static std::vector<float> Guitar(int rate, double seconds);
    // Frames of silence the stompbox gets before the signal, in the recording and in the
    // render alike: its denormal guard leaves a trace that silence settles within a few
    // periods, so a run started at any time plays the signal from the same state.
    static std::size_t Preroll(int rate, int period);

    struct Stereo {
        std::vector<float> left;
        std::vector<float> right;
    };
    // kvx-host render of preroll frames of silence and then signal, into the left input of
    // the plug-in (the right one silent) in blocks of period frames; the output after the
    // preroll.
    Stereo Render(const std::vector<float>& signal, int rate, int period, std::size_t preroll);

    std::string StatePath() const { return dir / "config/kelvorantumix/state"; }
    // `kvx-host chunk load` of a state file: NAME=DISPLAY lines.
    std::string DescribeState(const std::string& path);

    TempDir dir;
    std::unique_ptr<PrivateJackServer> server;
    std::string why_;
};

// Samples of a and b that differ, and where the first one is.
struct Mismatch {
    std::size_t count = 0;
    std::size_t first = 0;
};
Mismatch Compare(const std::vector<float>& a, const std::vector<float>& b);
float Peak(const std::vector<float>& samples);
