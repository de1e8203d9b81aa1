// The icon animation: the frame list, the order of the frames, the duration and the icon put back.

#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "tray_fixture.h"

namespace tray_test {
namespace {

using platform::Icon;

constexpr Icon A = 0xA1, B = 0xB2, C = 0xC3, X = 0xD4, Y = 0xE5, Z = 0xF6;
const Icon kShownBefore = ResourceIcon(IDI_TRAY1);  // the icon Create shows

class AnimationTest : public TrayTest {
protected:
    AnimationTest() { CreateTray(m_tray); }

    void SetFrames(const std::vector<Icon>& frames) {
        ASSERT_TRUE(m_tray.SetIconList(frames.data(), static_cast<unsigned>(frames.size() - 1)));
    }
    void Tick() { m_desktop.DoTimer(m_tray.GetSafeHwnd(), CSystemTray::ANIMATION_TIMER_ID); }
    std::vector<Icon> Ticks(int count) {
        Mark();
        for (int i = 0; i < count; ++i) Tick();
        return IconsSentSinceMark();
    }
    // The images the shell was given since Mark(), in order.
    std::vector<Icon> IconsSentSinceMark() const {
        std::vector<Icon> icons;
        for (const FakeDesktop::NotifyCall& call : CallsSinceMark()) {
            EXPECT_EQ(call.action, NotifyAction::Modify);
            EXPECT_EQ(call.data.uFlags, 2u);
            icons.push_back(call.data.hIcon);
        }
        return icons;
    }
    bool TimerRuns() {
        const auto* state = m_desktop.State(m_tray.GetSafeHwnd());
        return state->timers.count(CSystemTray::ANIMATION_TIMER_ID) == 1;
    }

    TestTray m_tray;
};

TEST_F(AnimationTest, AnimateStartsTheTimerOnTheOwnWindowAndLeavesTheIconAlone) {
    SetFrames({A, B});
    Mark();
    EXPECT_TRUE(m_tray.Animate(250, 0));
    EXPECT_EQ(m_tray.m_nAnimTimer, CSystemTray::ANIMATION_TIMER_ID);
    EXPECT_EQ(m_desktop.State(m_tray.GetSafeHwnd())->timers.at(CSystemTray::ANIMATION_TIMER_ID), 250u);
    EXPECT_TRUE(m_desktop.State(m_parent.GetSafeHwnd())->timers.empty());
    EXPECT_TRUE(CallsSinceMark().empty());
    EXPECT_EQ(m_tray.GetIcon(), kShownBefore);
}

TEST_F(AnimationTest, EachTickAdvancesTheFrameBeforeShowingIt) {
    struct Case {
        std::vector<Icon> frames;
        std::vector<Icon> shown;
    };
    const Case cases[] = {
        {{A, B}, {B, A, B, A}},
        {{A}, {A, A, A, A}},
        {{A, B, C}, {B, C, A, B}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frames.size());
        SetFrames(c.frames);
        m_tray.Animate(500, 0);
        EXPECT_EQ(Ticks(4), c.shown);
    }
}

TEST_F(AnimationTest, ReplacingTheListWhileRunningWrapsOrContinues) {
    struct Case {
        const char* name;
        int ticksBefore;  // on frames A, B, C
        std::vector<Icon> replacement;
        Icon next;
    };
    const Case cases[] = {
        {"FrameBeyondTheNewLastIndex", 2, {X, Y}, X},
        {"FrameAtTheNewLastIndex", 1, {X, Y}, X},
        {"FrameInsideTheNewList", 0, {X, Y, Z}, Y},
        {"FrameBeforeTheNewLastIndex", 1, {X, Y, Z}, Z},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetFrames({A, B, C});
        m_tray.Animate(500, 0);
        Ticks(c.ticksBefore);
        SetFrames(c.replacement);
        EXPECT_EQ(Ticks(1), std::vector<Icon>{c.next});
    }
}

TEST_F(AnimationTest, TheDurationEndsTheAnimationOnlyOnceExceeded) {
    struct Case {
        int duration;
        int elapsed;
        bool stops;
    };
    const Case cases[] = {
        {3, 0, false}, {3, 3, false}, {3, 4, true}, {1, 2, true}, {0, 100000, false}, {-1, 100000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.duration << "s after " << c.elapsed << "s");
        SetFrames({A, B});
        m_desktop.SetTime(5000);
        ASSERT_TRUE(m_tray.Animate(500, c.duration));
        m_desktop.AdvanceTime(c.elapsed);
        EXPECT_EQ(Ticks(1), std::vector<Icon>{c.stops ? kShownBefore : B});
        EXPECT_EQ(TimerRuns(), !c.stops);
        EXPECT_EQ(m_tray.m_nAnimTimer != 0, !c.stops);
        m_tray.StopAnimation();
    }
}

TEST_F(AnimationTest, ARunOfTwoSecondsStepsThenStopsAndPutsTheIconBack) {
    SetFrames({A, B});
    m_desktop.SetTime(100);
    m_tray.Animate(1000, 2);
    std::vector<Icon> shown;
    for (int second = 1; second <= 4; ++second) {
        m_desktop.AdvanceTime(1);
        const std::vector<Icon> tick = Ticks(1);
        shown.insert(shown.end(), tick.begin(), tick.end());
    }
    // The tick at 4 s finds no timer left.
    EXPECT_EQ(shown, (std::vector<Icon>{B, A, kShownBefore}));
    EXPECT_EQ(m_tray.GetIcon(), kShownBefore);
    EXPECT_EQ(m_tray.m_hIconBeforeAnim, 0u);
}

TEST_F(AnimationTest, TwoAnimateCallsThenStopPutBackTheIconFromBeforeTheFirst) {
    SetFrames({A, B});
    m_tray.Animate(500, 0);
    Ticks(1);
    ASSERT_EQ(m_tray.GetIcon(), B);

    Mark();
    EXPECT_TRUE(m_tray.Animate(500, 0));
    EXPECT_EQ(IconsSentSinceMark(), std::vector<Icon>{kShownBefore});
    EXPECT_EQ(m_tray.m_nFrame, 0);
    EXPECT_EQ(Ticks(1), std::vector<Icon>{B});

    Mark();
    EXPECT_TRUE(m_tray.StopAnimation());
    EXPECT_EQ(IconsSentSinceMark(), std::vector<Icon>{kShownBefore});
    EXPECT_EQ(m_tray.GetIcon(), kShownBefore);
    EXPECT_FALSE(TimerRuns());
}

TEST_F(AnimationTest, StopWithoutARunningAnimationReportsFalseAndSetsNoIcon) {
    TestTray fresh;
    EXPECT_FALSE(fresh.StopAnimation());

    SetFrames({A, B});
    m_tray.Animate(500, 0);
    EXPECT_TRUE(m_tray.StopAnimation());
    Mark();
    EXPECT_FALSE(m_tray.StopAnimation());
    EXPECT_TRUE(CallsSinceMark().empty());
}

TEST_F(AnimationTest, WithAnEmptyListTicksShowNothingAndTheTimerRunsOn) {
    m_tray.Animate(500, 0);
    EXPECT_TRUE(Ticks(3).empty());
    EXPECT_FALSE(m_tray.StepAnimation());
    EXPECT_TRUE(TimerRuns());
}

TEST_F(AnimationTest, ATimerThatCannotStartStillLeavesTheIconToPutBack) {
    SetFrames({A, B});
    m_tray.SetIcon(C);
    m_desktop.SetTimersSucceed(false);
    EXPECT_FALSE(m_tray.Animate(500, 0));
    EXPECT_EQ(m_tray.m_nAnimTimer, 0u);
    EXPECT_EQ(m_tray.m_hIconBeforeAnim, C);
    m_tray.SetIcon(A);

    Mark();
    EXPECT_FALSE(m_tray.StopAnimation());
    EXPECT_EQ(IconsSentSinceMark(), std::vector<Icon>{C});
}

TEST_F(TrayTest, AnInactiveTrayAnimatesWithoutTouchingTheShell) {
    m_desktop.SetTrayAvailable(false);
    TestTray tray;
    CreateTray(tray);
    const Icon frames[] = {A, B};
    tray.SetIconList(frames, 1);
    Mark();
    EXPECT_TRUE(tray.Animate(500, 0));
    EXPECT_EQ(tray.m_hIconBeforeAnim, 0u);
    m_desktop.DoTimer(tray.GetSafeHwnd(), CSystemTray::ANIMATION_TIMER_ID);
    EXPECT_FALSE(tray.StepAnimation());
    EXPECT_TRUE(CallsSinceMark().empty());
}

TEST_F(TrayTest, DestroyingARunningAnimationRemovesTheIconWithoutPuttingItBack) {
    std::optional<TestTray> tray;
    tray.emplace();
    CreateTray(*tray);
    const Icon frames[] = {A, B};
    tray->SetIconList(frames, 1);
    tray->Animate(500, 0);
    m_desktop.DoTimer(tray->GetSafeHwnd(), CSystemTray::ANIMATION_TIMER_ID);
    const platform::WindowHandle own = tray->GetSafeHwnd();
    Mark();

    tray.reset();

    const auto calls = CallsSinceMark();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].action, NotifyAction::Delete);
    EXPECT_EQ(calls[0].data.hIcon, B);
    EXPECT_FALSE(platform::Window::IsWindow(own));
    EXPECT_TRUE(m_desktop.State(own)->timers.empty());
}

// The frame list ----------------------------------------------------------------------------------

TEST_F(TrayTest, IconListFormsFillTheFramesInOrder) {
    struct Case {
        const char* name;
        std::function<bool(CSystemTray&)> fill;
        std::vector<Icon> frames;
    };
    static const Icon array[] = {A, B, C};
    const Case cases[] = {
        {"ProgramRange", [](CSystemTray& t) { return t.SetIconList(IDI_TRAY1, IDI_TRAY2); },
         {ResourceIcon(IDI_TRAY1), ResourceIcon(IDI_TRAY2)}},
        {"OneId", [](CSystemTray& t) { return t.SetIconList(IDI_TRAY2, IDI_TRAY2); }, {ResourceIcon(IDI_TRAY2)}},
        {"IdWithoutIcon", [](CSystemTray& t) { return t.SetIconList(IDI_TRAY1, IDI_TRAY2 + 1); },
         {ResourceIcon(IDI_TRAY1), ResourceIcon(IDI_TRAY2), 0}},
        {"ArrayLastIndexZero", [](CSystemTray& t) { return t.SetIconList(array, 0); }, {A}},
        {"ArrayLastIndexTwo", [](CSystemTray& t) { return t.SetIconList(array, 2); }, {A, B, C}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestTray tray;
        const Icon earlier[] = {X, Y, Z, X};
        tray.SetIconList(earlier, 3);
        EXPECT_TRUE(c.fill(tray));
        EXPECT_EQ(tray.m_arrIcons, c.frames);
    }
}

TEST_F(TrayTest, FirstIdAboveTheLastKeepsTheEarlierList) {
    TestTray tray;
    ASSERT_TRUE(tray.SetIconList(IDI_TRAY1, IDI_TRAY2));
    EXPECT_FALSE(tray.SetIconList(IDI_TRAY2, IDI_TRAY1));
    EXPECT_EQ(tray.m_arrIcons, (std::vector<Icon>{ResourceIcon(IDI_TRAY1), ResourceIcon(IDI_TRAY2)}));
}

// A tray whose memory runs out at one append.
class ExhaustingTray : public TestTray {
public:
    explicit ExhaustingTray(int failingAppend) : m_failingAppend(failingAppend) {}

protected:
    void AppendIcon(Icon hIcon) override {
        if (m_appends++ == m_failingAppend) throw std::bad_alloc();
        TestTray::AppendIcon(hIcon);
    }

private:
    int m_failingAppend;
    int m_appends = 0;
};

TEST_F(TrayTest, MemoryRunningOutIsReportedAndLeavesTheListEmpty) {
    struct Case {
        const char* name;
        int failingAppend;  // counted from 0, the earlier list's appends included
        std::function<bool(CSystemTray&)> fill;
    };
    static const Icon array[] = {A, B, C};
    const Case cases[] = {
        {"RangeFirstAppend", 1, [](CSystemTray& t) { return t.SetIconList(IDI_TRAY1, IDI_TRAY2); }},
        {"RangeSecondAppend", 2, [](CSystemTray& t) { return t.SetIconList(IDI_TRAY1, IDI_TRAY2); }},
        {"ArrayThirdAppend", 3, [](CSystemTray& t) { return t.SetIconList(array, 2); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t boxesBefore = m_desktop.MessageBoxes().size();
        ExhaustingTray tray(c.failingAppend);
        const Icon earlier[] = {X};
        ASSERT_TRUE(tray.SetIconList(earlier, 0));

        EXPECT_FALSE(c.fill(tray));

        EXPECT_TRUE(tray.m_arrIcons.empty());
        ASSERT_EQ(m_desktop.MessageBoxes().size(), boxesBefore + 1);
        const FakeDesktop::MessageBoxShown& box = m_desktop.MessageBoxes().back();
        EXPECT_EQ(box.text, "Out of memory.");
        EXPECT_EQ(box.icon, platform::MessageIcon::Exclamation);
        EXPECT_EQ(box.caption, "Lumatra");
    }
}

}  // namespace
}  // namespace tray_test
