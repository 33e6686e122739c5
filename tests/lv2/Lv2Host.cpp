#include "Lv2Host.h"

#include "platform/DynamicLibrary.h"

#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include <cstring>

UridMap::UridMap() : map_{this, MapUri} {}

LV2_URID UridMap::Map(const char* uri) {
    for (std::size_t i = 0; i < uris_.size(); ++i) {
        if (uris_[i] == uri) {
            return LV2_URID(i + 1);
        }
    }
    uris_.push_back(uri);
    return LV2_URID(uris_.size());
}

LV2_URID UridMap::MapUri(LV2_URID_Map_Handle handle, const char* uri) {
    return static_cast<UridMap*>(handle)->Map(uri);
}

Lv2Binary::Lv2Binary(const std::string& path) {
    std::string error;
    library_ = OpenDynamicLibrary(path, &error);
    EXPECT_NE(library_, nullptr) << error;
}

Lv2Binary::~Lv2Binary() {
    if (library_) {
        CloseDynamicLibrary(library_);
    }
}

void* Lv2Binary::Entry(const char* name) const {
    return library_ ? FindLibrarySymbol(library_, name) : nullptr;
}

const LV2_Descriptor* Lv2Binary::Plugin(const char* uri) const {
    const auto entry = reinterpret_cast<LV2_Descriptor_Function>(Entry("lv2_descriptor"));
    for (std::uint32_t i = 0; entry && entry(i); ++i) {
        if (std::strcmp(entry(i)->URI, uri) == 0) {
            return entry(i);
        }
    }
    return nullptr;
}

Lv2Instance::Lv2Instance(const Lv2Binary& binary, const char* uri, double rate,
                         const HostOffer& offer) {
    descriptor_ = binary.Plugin(uri);
    EXPECT_NE(descriptor_, nullptr) << uri;
    if (!descriptor_) {
        return;
    }
    const LV2_URID intType = map_.Map(LV2_ATOM__Int);
    std::vector<LV2_Options_Option> options;
    const auto offerLength = [&](const char* key, const std::int32_t* frames) {
        if (offer.rawBlockOption) {
            options.push_back({LV2_OPTIONS_INSTANCE, 0, map_.Map(key), offer.rawSize,
                               map_.Map(offer.rawTypeUri), offer.rawValue});
        } else if (*frames > 0) {
            options.push_back(
                {LV2_OPTIONS_INSTANCE, 0, map_.Map(key), sizeof *frames, intType, frames});
        }
    };
    const std::int32_t maxLength = offer.maxBlockLength;
    const std::int32_t nominalLength = offer.nominalBlockLength;
    offerLength(LV2_BUF_SIZE__maxBlockLength, &maxLength);
    offerLength(LV2_BUF_SIZE__nominalBlockLength, &nominalLength);
    options.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});

    const LV2_Feature mapFeature = {LV2_URID__map, map_.Feature()};
    const LV2_Feature optionsFeature = {LV2_OPTIONS__options, options.data()};
    std::vector<const LV2_Feature*> features;
    if (offer.map) {
        features.push_back(&mapFeature);
    }
    if (offer.options) {
        features.push_back(&optionsFeature);
    }
    features.push_back(nullptr);
    handle_ = descriptor_->instantiate(descriptor_, rate, "", features.data());
    EXPECT_NE(handle_, nullptr) << uri;
}

Lv2Instance::~Lv2Instance() {
    if (handle_) {
        descriptor_->cleanup(handle_);
    }
}

void Lv2Instance::Connect(std::uint32_t port, void* data) {
    descriptor_->connect_port(handle_, port, data);
}

void Lv2Instance::SetControl(int port, float value) {
    controls_[port] = value;
    Connect(std::uint32_t(port), &controls_[port]);
}

void Lv2Instance::Activate() {
    descriptor_->activate(handle_);
}

void Lv2Instance::Run(std::uint32_t frames) {
    descriptor_->run(handle_, frames);
}

void Lv2Instance::Deactivate() {
    descriptor_->deactivate(handle_);
}

const LV2_State_Interface* Lv2Instance::State() const {
    return static_cast<const LV2_State_Interface*>(
        descriptor_->extension_data(LV2_STATE__interface));
}

namespace {

struct Store {
    Lv2Instance::Saved* saved;
    int values = 0;
};

LV2_State_Status StoreValue(LV2_State_Handle handle, std::uint32_t key, const void* value,
                            std::size_t size, std::uint32_t type, std::uint32_t /*flags*/) {
    Store* store = static_cast<Store*>(handle);
    ++store->values;
    const auto* bytes = static_cast<const std::uint8_t*>(value);
    store->saved->bytes.assign(bytes, bytes + size);
    store->saved->type = type;
    store->saved->key = key;
    return LV2_STATE_SUCCESS;
}

struct Offered {
    LV2_URID key;
    const void* data;
    std::size_t size;
    LV2_URID type;
};

const void* RetrieveValue(LV2_State_Handle handle, std::uint32_t key, std::size_t* size,
                          std::uint32_t* type, std::uint32_t* flags) {
    const Offered* offered = static_cast<const Offered*>(handle);
    if (key != offered->key) {
        return nullptr;
    }
    *size = offered->size;
    *type = offered->type;
    *flags = LV2_STATE_IS_POD;
    return offered->data;
}

} // namespace

Lv2Instance::Saved Lv2Instance::Save() {
    Saved saved;
    Store store{&saved};
    saved.status = State()->save(handle_, StoreValue, &store, LV2_STATE_IS_POD, nullptr);
    EXPECT_LE(store.values, 1);
    return saved;
}

LV2_State_Status Lv2Instance::SaveWith(LV2_State_Store_Function store, LV2_State_Handle handle) {
    return State()->save(handle_, store, handle, LV2_STATE_IS_POD, nullptr);
}

LV2_State_Status Lv2Instance::Restore(const void* data, std::size_t size, LV2_URID type) {
    const Offered offered{map_.Map(kStateKeyUri), data, size, type};
    return State()->restore(handle_, RetrieveValue, const_cast<Offered*>(&offered),
                            LV2_STATE_IS_POD, nullptr);
}

std::vector<double> ValuesInChunk(const std::vector<std::uint8_t>& chunk) {
    std::vector<double> values;
    for (std::size_t at = 8; at + sizeof(double) <= chunk.size(); at += sizeof(double)) {
        double value;
        std::memcpy(&value, chunk.data() + at, sizeof value);
        values.push_back(value);
    }
    return values;
}
