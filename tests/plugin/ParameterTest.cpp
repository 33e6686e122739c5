#include "plugin/IParameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

std::string Display(const IParameter& p, double v, bool normalized) {
    char text[IParameter::kTextSize];
    p.FormatValue(v, normalized, text);
    return text;
}

void MakeFootswitch(IParameter& p) {
    p.DefineEnumerated("Effect", 1, 2);
    p.AddValueText(0, "Off");
    p.AddValueText(1, "On");
}

} // namespace

TEST(Parameter, ContinuousPrecisionComesFromTheStep) {
    IParameter level;
    level.DefineContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
    EXPECT_EQ(level.GetKind(), IParameter::kContinuous);
    EXPECT_EQ(level.Precision(), 3);
    EXPECT_EQ(Display(level, 0.5, false), "0.500");
    EXPECT_EQ(Display(level, 0.0, false), "0");
    EXPECT_EQ(Display(level, 1.0, false), "1.000");
    EXPECT_EQ(Display(level, 0.25, true), "0.250");

    const double steps[] = {0.25, 0.5, 1.0, 1e-9};
    const int precisions[] = {2, 1, 0, 6};
    for (int i = 0; i < 4; ++i) {
        IParameter p;
        p.DefineContinuous("x", 0, 0, 10, steps[i], "");
        EXPECT_EQ(p.Precision(), precisions[i]) << steps[i];
    }
}

TEST(Parameter, RangeRules) {
    IParameter zeroWidth;
    zeroWidth.DefineContinuous("x", 0, 0, 0, 1, "");
    EXPECT_EQ(zeroWidth.Maximum(), 1.0) << "the maximum stays one step above the minimum";

    IParameter p;
    p.DefineContinuous("x", 7.0, 0.0, 1.0, 0.001, "");
    EXPECT_EQ(p.Value(), 7.0) << "the default is not limited";
    p.SetPlain(5.0);
    EXPECT_EQ(p.Value(), 1.0);
    p.SetPlain(-1.0);
    EXPECT_EQ(p.Value(), 0.0);
    p.SetFromNormalized(1.0);
    EXPECT_EQ(p.Value(), 1.0);
    p.SetFromNormalized(0.12345);
    EXPECT_DOUBLE_EQ(p.Value(), 0.12345) << "continuous values are never rounded to the step";
    EXPECT_DOUBLE_EQ(p.NormalizedOf(3.0), 1.0);
    EXPECT_DOUBLE_EQ(p.CurrentNormalized(), 0.12345);
}

TEST(Parameter, EnumeratedRoundsToTheStepButDisplayTruncates) {
    IParameter effect;
    MakeFootswitch(effect);
    EXPECT_EQ(effect.GetKind(), IParameter::kEnumerated);
    EXPECT_TRUE(effect.IsIntegerValued());
    EXPECT_EQ(effect.Maximum(), 1.0);
    EXPECT_EQ(effect.Step(), 1.0);
    EXPECT_EQ(effect.Precision(), 0);
    effect.SetFromNormalized(0.4);
    EXPECT_EQ(effect.Value(), 0.0);
    effect.SetFromNormalized(0.5);
    EXPECT_EQ(effect.Value(), 1.0);
    effect.SetFromNormalized(0.75);
    EXPECT_EQ(effect.Value(), 1.0);
    EXPECT_EQ(Display(effect, 1, false), "On");
    EXPECT_EQ(Display(effect, 0.75, true), "Off") << "normalized display is not step-rounded";
}

TEST(Parameter, DisplayTextsFirstOneWinsAndEmptyFallsBackToTheNumber) {
    IParameter p;
    p.DefineEnumerated("Mode", 0, 4);
    p.AddValueText(1, "One");
    p.AddValueText(1, "Uno");
    p.AddValueText(2, "");
    EXPECT_EQ(p.ValueTextCount(), 3);
    EXPECT_STREQ(p.ValueTextFor(1), "One");
    EXPECT_STREQ(p.ValueTextFor(3), "");
    int value = -1;
    EXPECT_TRUE(p.ValueForText("Uno", &value));
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(p.ValueForText("one", &value)) << "case-sensitive";
    EXPECT_EQ(Display(p, 2, false), "2");
    EXPECT_EQ(Display(p, 3, false), "3");
    EXPECT_EQ(Display(p, 0, false), "0");

    IParameter plain;
    plain.DefineEnumerated("Count", 0, 5);
    EXPECT_EQ(Display(plain, 3, false), "3");
    EXPECT_EQ(Display(plain, 0, false), "0");
}

TEST(Parameter, LongTextsAreCutToTheField) {
    IParameter p;
    p.DefineContinuous("A name far longer than thirty-one characters", 0, 0, 1, 1,
                       "a label far longer than thirty-one characters");
    EXPECT_EQ(std::string(p.Name()).size(), 31u);
    EXPECT_EQ(std::string(p.Label()).size(), 31u);
}

TEST(Parameter, DisplayOfNonFiniteAndHugeValuesStaysInTheField) {
    IParameter effect;
    MakeFootswitch(effect);
    EXPECT_EQ(Display(effect, 1e30, false), "2147483647");
    IParameter level;
    level.DefineContinuous("Level", 0.5, 0.0, 1.0, 0.001, "");
    EXPECT_LT(Display(level, 1e300, false).size(), size_t(IParameter::kTextSize));
}

TEST(Parameter, HostileValuesNeverLeaveTheRange) {
    IParameter p;
    p.DefineContinuous("x", 0.5, 0.0, 1.0, 0.001, "");
    p.SetPlain(std::nan(""));
    EXPECT_EQ(p.Value(), 0.5) << "a value that is not a number keeps the old one";
    p.SetFromNormalized(std::nan(""));
    EXPECT_EQ(p.Value(), 0.5);
    p.SetFromNormalized(-0.5);
    EXPECT_EQ(p.Value(), 0.0);
    p.SetFromNormalized(7.0);
    EXPECT_EQ(p.Value(), 1.0);
    p.SetPlain(-INFINITY);
    EXPECT_EQ(p.Value(), 0.0);
    p.SetPlain(INFINITY);
    EXPECT_EQ(p.Value(), 1.0);
}
