#pragma once

#include <string>

// A folder to give LV2 hosts as LV2_PATH: the LV2 specifications Debian's lv2-dev installs and
// this build's bundle, and no other copy of it (an installed one would stand for the same
// URIs). Removed with the object.
class Lv2World {
public:
    Lv2World();
    ~Lv2World();
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    const std::string& Path() const { return path_; }
    bool Complete() const { return complete_; }

private:
    std::string path_;
    bool complete_ = true;
};
