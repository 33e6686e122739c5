#include "plugin/IParameter.h"

#include "common/FormatNumber.h"
#include "common/TextCopy.h"

#include <cmath>
#include <cstring>

IParameter::IParameter() = default;

void IParameter::DefineContinuous(const char* name, double defaultValue, double minimum,
                                  double maximum, double step, const char* label) {
    if (kind_ == kNone) {
        kind_ = kContinuous;
    }
    CopyText(name_, name, sizeof name_);
    CopyText(label_, label, sizeof label_);
    minimum_ = minimum;
    value_ = defaultValue;
    maximum_ = maximum < minimum + step ? minimum + step : maximum;
    step_ = step;
    // The display shows as many decimals as the step needs, at most six.
    precision_ = 0;
    for (double s = step; s != std::floor(s) && precision_ < 6; s *= 10.0) {
        ++precision_;
    }
}

void IParameter::DefineEnumerated(const char* name, int defaultValue, int count) {
    if (kind_ == kNone) {
        kind_ = kEnumerated;
    }
    DefineContinuous(name, defaultValue, 0.0, count - 1, 1.0, "");
}

void IParameter::AddValueText(int value, const char* text) {
    ValueText record{};
    record.value = value;
    CopyText(record.text, text, sizeof record.text);
    displayTexts_.Append(&record, sizeof record);
}

int IParameter::ValueTextCount() const {
    return int(displayTexts_.Size() / sizeof(ValueText));
}

const IParameter::ValueText* IParameter::TextRecord(int index) const {
    return reinterpret_cast<const ValueText*>(displayTexts_.Data()) + index;
}

const char* IParameter::ValueTextFor(int value) const {
    for (int i = 0; i < ValueTextCount(); ++i) {
        if (TextRecord(i)->value == value) {
            return TextRecord(i)->text;
        }
    }
    return "";
}

bool IParameter::ValueForText(const char* text, int* value) const {
    for (int i = 0; text && i < ValueTextCount(); ++i) {
        if (std::strcmp(TextRecord(i)->text, text) == 0) {
            *value = TextRecord(i)->value;
            return true;
        }
    }
    return false;
}

void IParameter::SetPlain(double value) {
    // A value that is not a number (a corrupt chunk) has no nearest bound: keep the old one.
    if (value != value) {
        return;
    }
    value_ = value < minimum_ ? minimum_ : (value > maximum_ ? maximum_ : value);
}

double IParameter::Denormalize(double normalized) const {
    return minimum_ + (maximum_ - minimum_) * std::pow(normalized, shape_);
}

void IParameter::SetFromNormalized(double normalized) {
    // Hosts send 0..1; anything else (NaN, negatives) must not leave the range.
    if (normalized != normalized) {
        return;
    }
    double value = Denormalize(normalized < 0.0 ? 0.0 : normalized);
    if (kind_ != kContinuous) {
        value = std::floor(value / step_ + 0.5) * step_;
    }
    value_ = value < maximum_ ? value : maximum_;
}

double IParameter::NormalizedOf(double plain) const {
    const double limited = plain < minimum_ ? minimum_ : (plain > maximum_ ? maximum_ : plain);
    return std::pow((limited - minimum_) / (maximum_ - minimum_), 1.0 / shape_);
}

// Truncation towards zero that stays defined for values no int can hold.
static int TruncateToInt(double v) {
    if (!(v > -2147483648.0)) {
        return v != v ? 0 : -2147483647 - 1;
    }
    if (v >= 2147483647.0) {
        return 2147483647;
    }
    return int(v);
}

void IParameter::FormatValue(double v, bool isNormalized, char* out) const {
    if (isNormalized) {
        v = Denormalize(v);
    }
    if (ValueTextCount() > 0) {
        const char* text = ValueTextFor(TruncateToInt(v));
        if (*text) {
            CopyText(out, text, kTextSize);
            return;
        }
    }
    if (v == 0.0) {
        CopyText(out, "0", kTextSize);
    } else if (precision_ == 0) {
        FormatInteger(TruncateToInt(v), out);
    } else {
        FormatFixed(v, precision_, out, kTextSize);
    }
}
