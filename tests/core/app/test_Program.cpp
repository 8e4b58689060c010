// The program core driven as a face drives it, for what no single layer decides alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/app/Program.h"
#include "core/settings/ProfileText.h"

namespace {

class ProgramTest : public ::testing::Test {
protected:
    std::int64_t now = 1'000'000;
    app::Program program{[] { return 36'000.0f; }, [this] { return now; }};

    void SetUp() override
    {
        program.Start();
        program.StartTicking();
        SystemSettings defaults{};
        mdlSystem::InitSystemSettings(defaults);
        program.Activate(defaults);
    }

    // Every frame the timer would run, until it sleeps or the limit.
    int Frames(int limit)
    {
        int n = 0;
        for (; n < limit; ++n) {
            const auto wait = program.NextWakeMs();
            if (!wait) break;
            now += *wait;
            program.Wake();
        }
        return n;
    }

    void UseRampTo(std::int32_t target)
    {
        mdlSinario::SinarioData& d = program.EditSinario();
        d = {};
        d.stepCount = 1;
        d.steps[1].kind = mdlSinario::StepTemp;
        d.steps[1].value = target;
        d.steps[1].addTemp = 1;
        program.ScenarioLoaded();
    }

    void RampFrom(const char* typed)
    {
        program.TemperatureTyped(typed);
        if (program.PlaybackOn()) program.TogglePlayback();
        program.TogglePlayback(); // from step 1
        program.KeyUp(40);
        ASSERT_EQ(program.State().rampOn, 1);
    }
};

// Typed past its target while ramping, a ramp used to climb without end.
TEST_F(ProgramTest, RampEndsWhenTheTeacherTakesOverOrItPassesItsTarget)
{
    UseRampTo(100);
    RampFrom("-50");
    Frames(20);
    program.TemperatureTyped("150");
    EXPECT_EQ(program.State().rampOn, 0) << "typing stops the ramp";
    Frames(200);
    EXPECT_EQ(program.TemperatureText(), "150");

    RampFrom("-50");
    program.TogglePlayback();
    EXPECT_EQ(program.State().rampOn, 0) << "playback turned off stops the ramp";

    RampFrom("90");
    for (int i = 0; i < 15; ++i) program.Spin(+1); // held past the target
    Frames(5);
    EXPECT_EQ(program.State().rampOn, 0);
    EXPECT_EQ(program.TemperatureText(), "105") << "a ramp stands still once past its target";
}

TEST_F(ProgramTest, RampToAFarTargetEndsAtTheEndOfTheRangeShown)
{
    UseRampTo(2147483647);
    RampFrom("190");
    Frames(1'000);
    EXPECT_EQ(program.State().rampOn, 0);
    EXPECT_EQ(program.TemperatureText(), "200");
}

} // namespace
