#include "ui/progress/modprogress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fakesurface.h"

namespace quorvex {
namespace {

using testing::FakeSurface;
using Calls = std::vector<std::string>;

constexpr std::uint32_t kTextColour = 0x8000000Du;
constexpr std::uint32_t kBarColour = 0x00FF0000u;
constexpr std::uint32_t kBackColour = 0x8000000Fu;
constexpr std::int32_t kCentred = 2;

struct Drawing {
    std::int64_t minValue = 0;
    std::int64_t maxValue = 100;
    std::int64_t value = 50;
    bool showText = false;
    std::int32_t textAlign = kCentred;
    bool skipSetup = false;
};

Calls Draw(FakeSurface& surface, const Drawing& drawing) {
    DrawProgress(&surface, drawing.minValue, drawing.maxValue, drawing.value, drawing.showText,
                 kTextColour, kBarColour, kBackColour, drawing.textAlign, drawing.skipSetup);
    return surface.Calls();
}

Calls Draw(const Drawing& drawing) {
    FakeSurface surface;
    return Draw(surface, drawing);
}

std::string Operation(const std::string& call) {
    return call.substr(0, call.find(' '));
}

Calls CallsOf(const Calls& calls, const std::string& operation) {
    Calls matching;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(matching),
                 [&](const std::string& call) { return Operation(call) == operation; });
    return matching;
}

Calls Without(Calls calls, const Calls& operations) {
    std::erase_if(calls, [&](const std::string& call) {
        return std::find(operations.begin(), operations.end(), Operation(call)) != operations.end();
    });
    return calls;
}

const Calls kSetUp = {"AutoRedraw true", "AutoSize false", "ClearPicture", "Visible true"};
const Calls kHalfBar = {"Fill 0 0 188.5 13 ff0000", "Fill 188.5 0 377 13 8000000f"};

Calls Joined(std::initializer_list<Calls> parts) {
    Calls joined;
    for (const Calls& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

// "50.0%" is 35 units wide and 9 high on a surface of 377 by 13.
const Calls kCentredHalfText = {"CurrentX 171", "CurrentY 2", "ForeColor 8000000d", "Print 50.0%"};

TEST(DrawProgress, PaintsSetUpBarBackgroundAndRefreshInThatOrder) {
    EXPECT_EQ(Draw({}), Joined({kSetUp, kHalfBar, {"Refresh"}}));
    EXPECT_EQ(Draw({.showText = true}), Joined({kSetUp, kHalfBar, kCentredHalfText, {"Refresh"}}));
}

TEST(DrawProgress, SkippingSetUpLeavesTheSurfaceSettingsAlone) {
    EXPECT_EQ(Draw({.skipSetup = true}), Joined({kHalfBar, {"Refresh"}}));
    EXPECT_EQ(Draw({.showText = true, .skipSetup = true}),
              Joined({kHalfBar, kCentredHalfText, {"Refresh"}}));
}

TEST(DrawProgress, BarAndBackgroundCoverTheSurfaceWithoutClamping) {
    struct Case {
        const char* what;
        Drawing drawing;
        Calls fills;
    };
    const std::vector<Case> cases = {
        {"empty range",
         {.minValue = 5, .maxValue = 5, .value = 7},
         {"Fill 0 0 0 13 ff0000", "Fill 0 0 377 13 8000000f"}},
        {"at the minimum", {.value = 0}, {"Fill 0 0 0 13 ff0000", "Fill 0 0 377 13 8000000f"}},
        {"at the maximum",
         {.value = 100},
         {"Fill 0 0 377 13 ff0000", "Fill 377 0 377 13 8000000f"}},
        {"below the minimum",
         {.value = -20},
         {"Fill 0 0 -75.4 13 ff0000", "Fill -75.4 0 377 13 8000000f"}},
        {"above the maximum",
         {.value = 150},
         {"Fill 0 0 565.5 13 ff0000", "Fill 565.5 0 377 13 8000000f"}},
        {"maximum below minimum", {.minValue = 10, .maxValue = 0, .value = 5}, kHalfBar},
        {"maximum below minimum, at it",
         {.minValue = 10, .maxValue = 0, .value = 0},
         {"Fill 0 0 377 13 ff0000", "Fill 377 0 377 13 8000000f"}},
        {"positions past 32 bits", {.maxValue = 4294967296, .value = 2147483648}, kHalfBar},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CallsOf(Draw(c.drawing), "Fill"), c.fills) << c.what;
    }
}

TEST(DrawProgress, ShowsThePercentageWithOneDecimalUnclamped) {
    struct Case {
        Drawing drawing;
        std::string print;
    };
    const std::vector<Case> cases = {
        {{.maxValue = 1000, .value = 500}, "Print 50.0%"},
        {{.maxValue = 10000, .value = 1234}, "Print 12.3%"},
        {{.maxValue = 2, .value = 3}, "Print 150.0%"},
        {{.maxValue = 100, .value = -5}, "Print -5.0%"},
        {{.maxValue = 100, .value = 100}, "Print 100.0%"},
        {{.minValue = 3, .maxValue = 3, .value = 9}, "Print 0.0%"},
        // Zero reached from a reversed range or from just below shows no sign.
        {{.minValue = 10, .maxValue = 0, .value = 10}, "Print 0.0%"},
        {{.maxValue = 100000, .value = -4}, "Print 0.0%"},
        {{.maxValue = 4294967296, .value = 2147483648}, "Print 50.0%"},
    };
    for (Case c : cases) {
        c.drawing.showText = true;
        EXPECT_EQ(CallsOf(Draw(c.drawing), "Print"), Calls{c.print}) << c.print;
    }
}

TEST(DrawProgress, PlacesTheTextByAlignmentAndCentresItVertically) {
    struct Case {
        std::int32_t textAlign;
        Calls currentX;
    };
    // On a surface 20 high the text of 9 starts at 5.5.
    const std::vector<Case> cases = {
        {0, {"CurrentX 1"}}, {1, {"CurrentX 341"}}, {2, {"CurrentX 171"}}, {7, {}}, {-1, {}}};
    for (const Case& c : cases) {
        FakeSurface surface(377, 20);
        const Calls calls = Draw(surface, {.showText = true, .textAlign = c.textAlign});
        EXPECT_EQ(CallsOf(calls, "CurrentX"), c.currentX) << c.textAlign;
        EXPECT_EQ(CallsOf(calls, "CurrentY"), Calls{"CurrentY 5.5"}) << c.textAlign;
        EXPECT_EQ(CallsOf(calls, "Print"), Calls{"Print 50.0%"}) << c.textAlign;
    }
}

TEST(DrawProgress, SkipsOnlyTheStepsThatARefusedOperationBelongsTo) {
    struct Case {
        std::string refused;
        Calls lost;
    };
    const std::vector<Case> cases = {
        {"AutoRedraw", {"AutoRedraw"}},
        {"AutoSize", {"AutoSize"}},
        {"ClearPicture", {"ClearPicture"}},
        {"Visible", {"Visible"}},
        {"Fill", {"Fill"}},
        {"ScaleWidth", {"Fill", "CurrentX"}},
        {"ScaleHeight", {"Fill", "CurrentY"}},
        {"TextWidth", {"CurrentX"}},
        {"TextHeight", {"CurrentY"}},
        {"CurrentX", {"CurrentX"}},
        {"CurrentY", {"CurrentY"}},
        {"ForeColor", {"ForeColor"}},
        {"Print", {"Print"}},
        {"Refresh", {"Refresh"}},
    };
    const Calls everything = Joined({kSetUp, kHalfBar, kCentredHalfText, {"Refresh"}});
    for (const Case& c : cases) {
        FakeSurface surface;
        surface.FailOn(c.refused);
        Calls calls;
        EXPECT_NO_THROW(calls = Draw(surface, {.showText = true})) << c.refused;
        EXPECT_EQ(calls, Without(everything, c.lost)) << c.refused;
    }
}

TEST(DrawProgress, ARefusedBarStillGetsItsBackground) {
    FakeSurface surface;
    surface.FailOn("Fill", 1);
    EXPECT_EQ(CallsOf(Draw(surface, {}), "Fill"), Calls{kHalfBar[1]});
}

TEST(DrawProgress, ASurfaceRefusingEverythingThrowsNothing) {
    FakeSurface surface;
    for (const char* operation :
         {"AutoRedraw", "AutoSize", "ClearPicture", "Visible", "ScaleWidth", "ScaleHeight", "Fill",
          "TextWidth", "TextHeight", "CurrentX", "CurrentY", "ForeColor", "Print", "Refresh"}) {
        surface.FailOn(operation);
    }
    EXPECT_NO_THROW(Draw(surface, {.showText = true}));
    EXPECT_TRUE(surface.Calls().empty());
}

TEST(DrawProgress, ANullSurfaceIsLeftAlone) {
    EXPECT_NO_THROW(DrawProgress(nullptr, 0, 100, 50, true, kTextColour, kBarColour, kBackColour,
                                 kCentred, false));
}

}  // namespace
}  // namespace quorvex
