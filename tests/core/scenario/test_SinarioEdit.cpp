// The editor's list lines, which both faces show as the core words them.
#include <gtest/gtest.h>

#include <string>

#include "core/scenario/SinarioEdit.h"

using namespace mdlSinario;

namespace {

SinarioStep Step(std::int16_t kind, std::int32_t value = 0, std::int32_t addTemp = 0, std::int32_t unit = 0)
{
    SinarioStep s;
    s.kind = kind;
    s.value = value;
    s.addTemp = addTemp;
    s.temperatureUnit = unit;
    return s;
}

TEST(SinarioEditText, TemperatureStepsReadWithTheirUnitAndSayWhenTheyRamp)
{
    const struct {
        SinarioStep step;
        std::int32_t unit;
        const char* text;
    } cases[] = {
        {Step(StepTemp, 80), 0, "温度を 80 ℃ に設定します。"},
        {Step(StepTemp, 110, 1), 0, "温度を 110 ℃ に設定します。（1度ずつ変化する）"},
        {Step(StepTemp, -120, -1), 0, "温度を -120 ℃ に設定します。（1度ずつ変化する）"}, // any non-zero flag ramps
        {Step(StepTemp, 373), 1, "温度を 373 Ｋ に設定します。"},
        {Step(StepTemp, 300), 2, "温度を 300 Ｋ に設定します。"}, // as the main window labels it
        {Step(StepInit), 1, "初期値設定"},
        {Step(StepGrphCls), 1, "描画されたグラフを消します。"},
        {Step(StepBussitu, 1), 1, "データをエタノールに設定します。"},
        {Step(9, 80), 0, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DescribeStep(c.step, c.unit), c.text) << c.text;
}

TEST(SinarioEditText, StepsReadInTheLanguageChosen)
{
    const struct {
        SinarioStep step;
        i18n::Lang lang;
        const char* text;
    } cases[] = {
        {Step(StepTemp, 373, 0, 1), i18n::Lang::En, "Sets the temperature to 373 K."}, // no full-width Ｋ
        {Step(StepTemp, 25, 1), i18n::Lang::Pt, "Ajusta a temperatura para 25 ℃. (1 grau por vez)"},
        {Step(StepBussitu, 2), i18n::Lang::Zh, "将物质设为乙醚。"},
        {Step(StepGrphOn), i18n::Lang::Vi, "Hiện đồ thị."},
        {Step(9, 80), i18n::Lang::Es, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DescribeStep(c.step, c.step.temperatureUnit, c.lang), c.text) << c.text;
    // The editor's refusal, in the language too.
    const TypedInit refused = InitStepFromTexts(0, 0, {"1.5", "30", "0", "100", "0", "800"}, i18n::Lang::En);
    EXPECT_FALSE(refused.step);
    EXPECT_EQ(refused.unreadBox, 0);
    EXPECT_EQ(refused.fault, "Enter a whole number of 1 or more as the amount (mol).\nThe step has not been added.");
}

TEST(SinarioEditText, AStepTakesTheUnitOfTheLastSettingsStepAboveIt)
{
    SinarioData d;
    d.stepCount = 5;
    d.steps[1] = Step(StepTemp, 20);
    d.steps[2] = Step(StepInit, 0, 0, 1);
    d.steps[3] = Step(StepTemp, 300);
    d.steps[4] = Step(StepInit, 0, 0, 0);
    d.steps[5] = Step(StepTemp, 25);
    d.steps[6] = Step(StepInit, 0, 0, 1); // beyond the count: no step
    const int units[] = {0, 0, 1, 1, 0, 0, 0};
    for (int row = 0; row < 7; ++row) EXPECT_EQ(TemperatureUnitAt(d, row, 0), units[row]) << row;
    EXPECT_EQ(TemperatureUnitAt(d, 0, 1), 1); // above every settings step: the unit in use
    EXPECT_EQ(TemperatureUnitAt(d, -1, 1), 1);
}

} // namespace
