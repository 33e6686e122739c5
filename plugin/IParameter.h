#pragma once

#include "common/ByteBuffer.h"

#include <cstdint>

// One automatable parameter. The host and the editor see it normalized to 0..1; the effect and
// the program storage use the plain value in the parameter's own range.
class IParameter {
public:
    enum Kind : std::int32_t {
        kNone = 0,
        kBool = 1,
        kInteger = 2,
        kEnumerated = 3,
        kContinuous = 4,
    };
    static constexpr int kTextSize = 32;

    IParameter();

    void DefineContinuous(const char* name, double defaultValue, double minimum, double maximum,
                          double step, const char* label = "");
    void DefineEnumerated(const char* name, int defaultValue, int count);

    void AddValueText(int value, const char* text);
    int ValueTextCount() const;
    // The first text recorded for value, or the empty text.
    const char* ValueTextFor(int value) const;
    // The value of the first record whose text is exactly text.
    bool ValueForText(const char* text, int* value) const;

    void SetPlain(double value);
    void SetFromNormalized(double normalized);
    double NormalizedOf(double plain) const;
    double CurrentNormalized() const { return NormalizedOf(value_); }

    // Writes the display text of v (plain, or normalized when isNormalized) into out, which must
    // hold at least kTextSize characters. Independent of the process locale.
    void FormatValue(double v, bool isNormalized, char* out) const;

    // Integer-valued kinds take an int32 in a program's value list.
    bool IsIntegerValued() const { return kind_ >= kBool && kind_ <= kEnumerated; }

    const char* Name() const { return name_; }
    const char* Label() const { return label_; }
    double Value() const { return value_; }
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    double Step() const { return step_; }
    int Precision() const { return precision_; }
    std::int32_t GetKind() const { return kind_; }

private:
    struct ValueText {
        std::int32_t value;
        char text[kTextSize];
    };
    static_assert(sizeof(ValueText) == 36, "display text records are 36 bytes");

    const ValueText* TextRecord(int index) const;
    double Denormalize(double normalized) const;

    std::int32_t kind_ = kNone;
    double value_ = 0.0;
    double minimum_ = 0.0;
    double maximum_ = 1.0;
    double step_ = 1.0;
    double shape_ = 1.0;
    std::int32_t precision_ = 0;
    char name_[kTextSize] = "";
    char label_[kTextSize] = "";
    ByteBuffer displayTexts_{4096};
};
