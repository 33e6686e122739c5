// Feeds the plug-in random sequences of dispatcher calls, parameter changes and processing
// calls, each with host buffers sized as the VST 2.x interface promises.

#include "FuzzInput.h"
#include "effect/PlugExample.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

VstIntPtr SilentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}

// Every opcode a host may send, and some it should not.
VstInt32 PickOpcode(std::uint8_t byte) {
    if (byte < 230) {
        return VstInt32(byte % 72);
    }
    return VstInt32(byte) * 1000 - 250000;
}

struct Scratch {
    alignas(16) std::uint8_t bytes[4096];
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    AEffect* effect = MakePlug(SilentHost)->Effect();
    Scratch scratch;
    std::vector<float> audio(2 * 2048);
    float* channels[2] = {audio.data(), audio.data() + 2048};

    while (in.Left() > 0) {
        const std::uint8_t action = in.Take<std::uint8_t>();
        std::memset(scratch.bytes, 0, sizeof scratch.bytes);
        if (action < 200) {
            const VstInt32 opcode = PickOpcode(in.Take<std::uint8_t>());
            if (opcode == effClose) {
                continue;
            }
            const VstInt32 index = VstInt32(in.Take<std::int16_t>());
            VstIntPtr value = VstIntPtr(in.Take<std::int32_t>());
            const float opt = in.Take<float>();
            void* ptr = (action & 1) ? nullptr : scratch.bytes;
            size_t taken = 0;
            const std::uint8_t* bytes = in.TakeBytes(in.Take<std::uint8_t>(), &taken);
            std::vector<std::uint8_t> chunk(bytes, bytes + taken);
            if (opcode == effSetChunk) {
                ptr = chunk.empty() ? nullptr : chunk.data();
                // The host's byte count is trusted by contract, so it is the true size, or a
                // negative one that must be refused.
                value = (action & 2) ? -1 - VstIntPtr(chunk.size()) : VstIntPtr(chunk.size());
            } else if (opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement) {
                if (taken) {
                    std::memcpy(scratch.bytes, chunk.data(), taken < 904 ? taken : 904);
                }
                value = (action & 2) ? 0 : reinterpret_cast<VstIntPtr>(scratch.bytes + 2048);
            } else if (opcode == effCanDo && ptr && taken) {
                std::memcpy(scratch.bytes, chunk.data(), taken);
            } else if (opcode == effProcessEvents && ptr) {
                VstMidiEvent events[4] = {};
                if (taken) {
                    std::memcpy(events, chunk.data(),
                                taken < sizeof events ? taken : sizeof events);
                }
                struct {
                    VstInt32 numEvents;
                    VstIntPtr reserved;
                    VstEvent* list[4];
                } list{int(taken / 64) % 5, 0, {}};
                for (int i = 0; i < 4; ++i) {
                    list.list[i] = reinterpret_cast<VstEvent*>(&events[i]);
                }
                effect->dispatcher(effect, opcode, index, value, &list, opt);
                continue;
            }
            effect->dispatcher(effect, opcode, index, value, ptr, opt);
        } else if (action < 230) {
            effect->setParameter(effect, VstInt32(in.Take<std::int8_t>()), in.Take<float>());
            effect->getParameter(effect, VstInt32(in.Take<std::int8_t>()));
        } else {
            const int frames = int(in.Take<std::uint16_t>() % 2049);
            for (size_t i = 0; i < audio.size(); ++i) {
                audio[i] = std::sin(float(i) * 0.03f);
            }
            effect->processReplacing(effect, channels, channels, frames);
            for (int i = 0; i < frames; ++i) {
                if (!std::isfinite(channels[0][i]) || !std::isfinite(channels[1][i])) {
                    std::abort();
                }
            }
        }
    }
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    return 0;
}
