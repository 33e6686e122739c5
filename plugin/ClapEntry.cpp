// The CLAP module's one export, clap_entry, and its plug-in factory: one plug-in per offer of
// the effect.

#include "plugin/IPlugCLAP.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// The descriptors live as long as the module; built once, before the first init returns.
constexpr int kMaxOffers = 8;
clap_plugin_descriptor gDescriptors[kMaxOffers];
char gVersion[32];
char gVendor[IPlugBase::kNameSize];
int gOfferCount = 0;
std::atomic<int> gInitCount{0};

void DescribeOffers() {
    if (gOfferCount > 0) {
        return;
    }
    // The identity every offer shares comes from the effect itself.
    IPlugVST* plug = MakePlug(nullptr);
    if (!plug) {
        return;
    }
    const std::int32_t version = plug->EffectVersion(false);
    std::snprintf(gVersion, sizeof gVersion, "%d.%d.%d", (version >> 16) & 0xFFFF,
                  (version >> 8) & 0xFF, version & 0xFF);
    std::snprintf(gVendor, sizeof gVendor, "%s", plug->VendorName());
    delete plug;

    int count = 0;
    const ClapOffer* offers = ClapOffers(&count);
    count = count < kMaxOffers ? count : kMaxOffers;
    for (int i = 0; i < count; ++i) {
        clap_plugin_descriptor& d = gDescriptors[i];
        d.clap_version = CLAP_VERSION;
        d.id = offers[i].id;
        d.name = offers[i].name;
        d.vendor = gVendor;
        d.url = "";
        d.manual_url = "";
        d.support_url = "";
        d.version = gVersion;
        d.description = offers[i].description;
        d.features = offers[i].features;
    }
    gOfferCount = count;
}

std::uint32_t PluginCount(const clap_plugin_factory*) {
    return std::uint32_t(gOfferCount);
}

const clap_plugin_descriptor* PluginDescriptor(const clap_plugin_factory*, std::uint32_t index) {
    return index < std::uint32_t(gOfferCount) ? &gDescriptors[index] : nullptr;
}

const clap_plugin* CreatePlugin(const clap_plugin_factory*, const clap_host* host,
                                const char* pluginId) {
    if (!host || !pluginId || !ClapVersionIsCompatible(host->clap_version)) {
        return nullptr;
    }
    int count = 0;
    const ClapOffer* offers = ClapOffers(&count);
    for (int i = 0; i < gOfferCount && i < count; ++i) {
        if (std::strcmp(pluginId, gDescriptors[i].id) == 0) {
            IPlugCLAP* plugin = new (std::nothrow) IPlugCLAP(host, offers[i], &gDescriptors[i]);
            return plugin ? plugin->Plugin() : nullptr;
        }
    }
    return nullptr;
}

const clap_plugin_factory kFactory = {PluginCount, PluginDescriptor, CreatePlugin};

bool EntryInit(const char*) {
    try {
        DescribeOffers();
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (gOfferCount == 0) {
        return false;
    }
    ++gInitCount;
    return true;
}

void EntryDeinit() {
    if (gInitCount > 0) {
        --gInitCount;
    }
}

const void* EntryFactory(const char* factoryId) {
    if (factoryId && gInitCount > 0 && std::strcmp(factoryId, CLAP_PLUGIN_FACTORY_ID) == 0) {
        return &kFactory;
    }
    return nullptr;
}

} // namespace

extern "C" KVX_EXPORT const clap_plugin_entry clap_entry = {CLAP_VERSION, EntryInit, EntryDeinit,
                                                            EntryFactory};
