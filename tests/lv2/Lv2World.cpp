#include "Lv2World.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace {

// The bundles of lv2-dev: every specification and the schemas they build on.
const char* const kSpecifications[] = {
    "atom",    "buf-size",        "core",    "data-access", "dynmanifest",
    "event",   "instance-access", "log",     "midi",        "morph",
    "options", "parameters",      "patch",   "port-groups", "port-props",
    "presets", "resize-port",     "schemas", "state",       "time",
    "ui",      "units",           "uri-map", "urid",        "worker"};

} // namespace

Lv2World::Lv2World() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/kvx-lv2-world-XXXXXX";
    if (!mkdtemp(&pattern[0])) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    path_ = pattern;
    for (const char* name : kSpecifications) {
        const std::string bundle = std::string(name) + ".lv2";
        complete_ =
            symlink(("/usr/lib/lv2/" + bundle).c_str(), (path_ + "/" + bundle).c_str()) == 0 &&
            complete_;
    }
    complete_ = symlink(KVX_LV2_BUNDLE, (path_ + "/Kelvorantumix.lv2").c_str()) == 0 && complete_;
}

Lv2World::~Lv2World() {
    for (const char* name : kSpecifications) {
        unlink((path_ + "/" + name + ".lv2").c_str());
    }
    unlink((path_ + "/Kelvorantumix.lv2").c_str());
    rmdir(path_.c_str());
}
