#include "StandaloneOnJack.h"

#include "host/GuitarRiff.h"

#include <sndfile.h>

#include <cmath>
#include <cstdlib>

void StandaloneOnJack::TearDown() {
    EXPECT_EQ(
        std::system(("rm -rf '" + (dir / "config") + "' '" + (dir / ".config") + "'").c_str()), 0);
}

bool StandaloneOnJack::StartServer(int rate, int period) {
    server = PrivateJackServer::Start(rate, period, &why_);
    return server != nullptr;
}

std::unique_ptr<StandaloneProcess> StandaloneOnJack::Launch(const std::vector<std::string>& args,
                                                            bool withDisplay) {
    std::vector<std::string> environment = {"JACK_DEFAULT_SERVER=" + server->Name(),
                                            "XDG_CONFIG_HOME=" + (dir / "config")};
    if (!withDisplay) {
        environment.push_back("DISPLAY=");
    }
    return std::unique_ptr<StandaloneProcess>(new StandaloneProcess(args, environment, dir.Path()));
}

std::unique_ptr<JackTestRig> StandaloneOnJack::ConnectRig(double seconds) {
    std::string why;
    std::unique_ptr<JackTestRig> rig = JackTestRig::Open(server->Name(), seconds, &why);
    if (rig && !rig->ConnectTo("Kelvorantumix", &why)) {
        rig.reset();
    }
    EXPECT_TRUE(rig) << why;
    return rig;
}

void StandaloneOnJack::SwitchEffectOffByMidi() {
    const auto rig = ConnectRig();
    ASSERT_TRUE(rig);
    rig->SendController(0, kEffectController, 0);
    ASSERT_TRUE(rig->WaitForRecordedFrames(1024));
}

std::vector<float> StandaloneOnJack::Guitar(int rate, double seconds) {
    const std::vector<double> riff = SynthesizeGuitarRiff(rate);
    const std::size_t frames = std::min(riff.size(), std::size_t(seconds * rate));
    return std::vector<float>(riff.begin(), riff.begin() + long(frames));
}

std::size_t StandaloneOnJack::Preroll(int rate, int period) {
    const std::size_t quarterSecond = std::size_t(rate / 4);
    return (quarterSecond + std::size_t(period) - 1) / std::size_t(period) * std::size_t(period);
}

StandaloneOnJack::Stereo StandaloneOnJack::Render(const std::vector<float>& signal, int rate,
                                                  int period, std::size_t preroll) {
    Sound in;
    in.channels = 2;
    in.rate = rate;
    in.samples.assign(2 * (preroll + signal.size()), 0.0);
    for (std::size_t i = 0; i < signal.size(); ++i) {
        in.samples[2 * (preroll + i)] = signal[i];
    }
    WriteSound(dir / "render-in.wav", in, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const HostRun run = RunHost({"render", "-i", "render-in.wav", "-o", "render-out.wav", "--block",
                                 std::to_string(period), "--tail", "0"},
                                dir.Path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    Stereo out;
    if (run.exitCode != 0) {
        return out;
    }
    const Sound rendered = ReadSound(dir / "render-out.wav");
    for (std::size_t f = preroll; f < rendered.Frames(); ++f) {
        out.left.push_back(float(rendered.At(f, 0)));
        out.right.push_back(float(rendered.At(f, 1)));
    }
    return out;
}

std::string StandaloneOnJack::DescribeState(const std::string& path) {
    const HostRun run = RunHost({"chunk", "load", "-i", path}, dir.Path());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return run.out;
}

Mismatch Compare(const std::vector<float>& a, const std::vector<float>& b) {
    Mismatch mismatch;
    if (a.size() != b.size()) {
        mismatch.count = std::max(a.size(), b.size());
        return mismatch;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && mismatch.count++ == 0) {
            mismatch.first = i;
        }
    }
    return mismatch;
}

float Peak(const std::vector<float>& samples) {
    float peak = 0.0f;
    for (float s : samples) {
        peak = std::max(peak, std::fabs(s));
    }
    return peak;
}
