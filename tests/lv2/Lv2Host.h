#pragma once

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct DynamicLibrary;

// The built bundle's plug-ins, as the tests name them.
constexpr const char* kStereoUri = "urn:wexmoradine:kelvorantumix";
constexpr const char* kMonoUri = "urn:wexmoradine:kelvorantumix:mono";
constexpr const char* kStateKeyUri = "urn:wexmoradine:kelvorantumix#state";
constexpr const char* kStateTypeUri = "urn:wexmoradine:kelvorantumix#Chunk";
constexpr int kControlPorts = 7;

// The host's URI map, one id per URI from 1 up.
class UridMap {
public:
    UridMap();
    LV2_URID Map(const char* uri);
    LV2_URID_Map* Feature() { return &map_; }

private:
    static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);
    std::vector<std::string> uris_;
    LV2_URID_Map map_;
};

// One LV2 binary of the bundle, loaded as a host loads it.
class Lv2Binary {
public:
    // The binary at path; the test fails when it cannot be loaded or has no entry.
    explicit Lv2Binary(const std::string& path);
    ~Lv2Binary();
    Lv2Binary(const Lv2Binary&) = delete;
    Lv2Binary& operator=(const Lv2Binary&) = delete;

    void* Entry(const char* name) const;
    // The plug-in with that URI, or null.
    const LV2_Descriptor* Plugin(const char* uri) const;

private:
    DynamicLibrary* library_ = nullptr;
};

// What a test host offers at instantiation.
struct HostOffer {
    bool map = true;
    bool options = true;
    int maxBlockLength = 0;     // not offered when 0
    int nominalBlockLength = 0; // not offered when 0
    // Offered as the options' block lengths instead, when set: a raw option as hostile hosts
    // give it (type, size and value pointer as they are).
    bool rawBlockOption = false;
    const char* rawTypeUri = nullptr;
    std::uint32_t rawSize = 0;
    const void* rawValue = nullptr;
};

// One instance of a plug-in, its ports connected by the test.
class Lv2Instance {
public:
    Lv2Instance(const Lv2Binary& binary, const char* uri, double rate, const HostOffer& offer);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    bool Valid() const { return handle_ != nullptr; }
    UridMap& Map() { return map_; }
    void Connect(std::uint32_t port, void* data);
    // The control port i gets its own value cell, connected.
    void SetControl(int port, float value);
    void Activate();
    void Run(std::uint32_t frames);
    void Deactivate();

    // The saved state's one value and its type; empty when save stored nothing.
    struct Saved {
        LV2_State_Status status = LV2_STATE_ERR_UNKNOWN;
        std::vector<std::uint8_t> bytes;
        LV2_URID type = 0;
        LV2_URID key = 0;
    };
    Saved Save();
    // Saves through the host's own store function.
    LV2_State_Status SaveWith(LV2_State_Store_Function store, LV2_State_Handle handle);
    // Offers value (type type) under the state key; null data offers nothing.
    LV2_State_Status Restore(const void* data, std::size_t size, LV2_URID type);
    const LV2_State_Interface* State() const;

private:
    UridMap map_;
    const LV2_Descriptor* descriptor_ = nullptr;
    LV2_Handle handle_ = nullptr;
    float controls_[kControlPorts] = {};
};

// The parameters' plain values in a saved state chunk (after its 8-byte header).
std::vector<double> ValuesInChunk(const std::vector<std::uint8_t>& chunk);
