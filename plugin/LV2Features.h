#pragma once

#include <lv2/core/lv2.h>

#include <cstring>

// The feature of that URI among the null-terminated features a host offers, or null; features
// may be null, and so may a feature's URI.
inline const LV2_Feature* FindLV2Feature(const LV2_Feature* const* features, const char* uri) {
    for (int i = 0; features && features[i]; ++i) {
        if (features[i]->URI && std::strcmp(features[i]->URI, uri) == 0) {
            return features[i];
        }
    }
    return nullptr;
}

// The data of that feature, or null.
inline void* LV2FeatureData(const LV2_Feature* const* features, const char* uri) {
    const LV2_Feature* feature = FindLV2Feature(features, uri);
    return feature ? feature->data : nullptr;
}
