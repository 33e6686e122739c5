#include "effect/PlugExample.h"

namespace {

constexpr std::int32_t FourCharCode(const char (&code)[5]) {
    return std::int32_t(std::uint32_t(std::uint8_t(code[0])) << 24 |
                        std::uint32_t(std::uint8_t(code[1])) << 16 |
                        std::uint32_t(std::uint8_t(code[2])) << 8 | std::uint8_t(code[3]));
}

} // namespace

PlugExample::PlugExample(AudioMasterCallback host)
    : IPlugVST(host, kNumParams, "1-1 2-2", kNumPrograms, "Kelvorantumix", "", "wexmoradine",
               0x10200, FourCharCode("Jmx2"), FourCharCode("Qrvn"), 0, false, false, false) {
    GetParam(kLevel)->DefineContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
    GetParam(kDrive)->DefineContinuous("Drive", 0.5, 0.0, 1.0, 0.001, "");
    GetParam(kLow)->DefineContinuous("Low", 0.5, 0.0, 1.0, 0.001, "");
    GetParam(kMid)->DefineContinuous("Mid", 0.5, 0.0, 1.0, 0.001, "");
    GetParam(kHigh)->DefineContinuous("High", 0.5, 0.0, 1.0, 0.001, "");
    GetParam(kEffect)->DefineEnumerated("Effect", 1, 2);
    GetParam(kEffect)->AddValueText(0, "Off");
    GetParam(kEffect)->AddValueText(1, "On");
    GetParam(kVortalizer)->DefineEnumerated("Vortalizer", 0, 2);
    GetParam(kVortalizer)->AddValueText(0, "Off");
    GetParam(kVortalizer)->AddValueText(1, "On");

    DefineProgram("Init", 0.5, 0.5, 0.5, 0.5, 0.5, 1, 0);
    DefineProgramsFromCurrent("Init", kNumPrograms - 1);
}

PlugExample::~PlugExample() = default;

IPlugVST* MakePlug(AudioMasterCallback host) { return new PlugExample(host); }
