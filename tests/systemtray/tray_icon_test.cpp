// The icon in the notification area: Create, the shell calls of each operation in each state,
// the record they carry, the tooltip's limit and the icon-loading forms.

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tray_fixture.h"

namespace tray_test {
namespace {

using platform::text::CodePage;
using platform::text::Narrow;

// The record Create fills with the program's arguments.
NotifyIconData ProgramRecord(platform::WindowHandle target) {
    NotifyIconData record;
    record.cbSize = 88;
    record.hWnd = target;
    record.uID = IDR_TRAYMENU;
    record.uFlags = 7;
    record.uCallbackMessage = WM_TRAY_NOTIFY;
    record.hIcon = ResourceIcon(IDI_TRAY1);
    const std::string tip = Narrow(kProgramTip);
    tip.copy(record.szTip, tip.size());
    return record;
}

// Create -------------------------------------------------------------------------------------------

TEST_F(TrayTest, CreateAddsTheIconWithEveryFieldAndMakesAHiddenWindowOfItsOwn) {
    const CodePageScope gbk(CodePage::Gbk);
    TestTray tray;
    EXPECT_TRUE(CreateTray(tray));

    ASSERT_EQ(m_desktop.NotifyCalls().size(), 1u);
    EXPECT_EQ(m_desktop.NotifyCalls()[0].action, NotifyAction::Add);
    ExpectSameRecord(m_desktop.NotifyCalls()[0].data, ProgramRecord(m_parent.GetSafeHwnd()));
    EXPECT_EQ(Tip(m_desktop.NotifyCalls()[0].data).size(), 13u);  // "Kelvaro进销存" in GBK
    EXPECT_TRUE(tray.m_bActive);
    EXPECT_FALSE(tray.m_bIconHidden);
    ASSERT_NE(tray.GetSafeHwnd(), 0u);
    EXPECT_TRUE(m_desktop.State(tray.GetSafeHwnd())->hidden);
    EXPECT_FALSE(m_desktop.State(tray.GetSafeHwnd())->visible);
    EXPECT_NE(m_desktop.TrayIcon(IDR_TRAYMENU), nullptr);
}

TEST_F(TrayTest, CreatingConstructorCreates) {
    TestTray plain;
    CreateTray(plain);
    const NotifyIconData first = m_desktop.NotifyCalls().back().data;
    plain.RemoveIcon();

    CSystemTray created(&m_parent, WM_TRAY_NOTIFY, Narrow(kProgramTip), ResourceIcon(IDI_TRAY1), IDR_TRAYMENU);
    EXPECT_EQ(m_desktop.NotifyCalls().back().action, NotifyAction::Add);
    ExpectSameRecord(m_desktop.NotifyCalls().back().data, first);
    EXPECT_EQ(created.GetIcon(), ResourceIcon(IDI_TRAY1));
}

TEST_F(TrayTest, WithoutAParentWindowTheOwnWindowIsTheTarget) {
    platform::Window windowless;  // a window object whose window does not exist
    for (platform::Window* parent : {static_cast<platform::Window*>(nullptr), &windowless}) {
        TestTray tray;
        ASSERT_TRUE(CreateTray(tray, parent));
        EXPECT_EQ(m_desktop.NotifyCalls().back().data.hWnd, tray.GetSafeHwnd());
        EXPECT_EQ(tray.GetNotificationWnd(), &tray);
    }
}

TEST_F(TrayTest, CreateNeedsAtLeastVersionFour) {
    struct Case {
        int version;
        bool created;
    };
    for (const Case c : {Case{3, false}, Case{4, true}, Case{10, true}}) {
        SCOPED_TRACE(c.version);
        m_desktop.SetOsMajorVersion(c.version);
        Mark();
        TestTray tray;
        EXPECT_EQ(CreateTray(tray), c.created);
        EXPECT_EQ(tray.m_bActive, c.created);
        EXPECT_EQ(tray.GetSafeHwnd() != 0, c.created) << "own window";
        EXPECT_EQ(CallsSinceMark().size(), c.created ? 1u : 0u);
    }
}

TEST_F(TrayTest, RefusedAddLeavesTheObjectInactiveWithItsWindow) {
    m_desktop.SetTrayAvailable(false);
    TestTray tray;
    EXPECT_FALSE(CreateTray(tray));
    EXPECT_FALSE(tray.m_bActive);
    EXPECT_NE(tray.GetSafeHwnd(), 0u);
    ASSERT_EQ(m_desktop.NotifyCalls().size(), 1u);
    EXPECT_EQ(m_desktop.NotifyCalls()[0].action, NotifyAction::Add);
}

// The shell calls of each operation in each state --------------------------------------------------

enum class State { Constructed, InactiveOldSystem, InactiveRefused, Shown, Hidden, Removed };
enum class Op { RemoveIcon, HideIcon, ShowIcon, ReinsertIcon, SetIcon, SetTooltipText, SetNotificationWnd, Destructor };

struct Sent {
    NotifyAction action;
    unsigned flags;
};

struct Flags {
    bool active;
    bool hidden;
};

struct Cell {
    std::vector<Sent> sent;
    bool result = false;        // for the operations that have one
    std::optional<Flags> after; // none: as before
};

struct Row {
    const char* name;
    Op op;
    std::array<Cell, 6> cells;  // by State
};

const Sent kDelete{NotifyAction::Delete, 0};
const Sent kDeleteIcon{NotifyAction::Delete, 2};
const Sent kAddAll{NotifyAction::Add, 7};
const Sent kModifyIcon{NotifyAction::Modify, 2};
const Sent kModifyTip{NotifyAction::Modify, 4};
const Sent kModifyWindow{NotifyAction::Modify, 0};

const Flags kShown{true, false};
const Flags kHidden{true, true};
const Flags kRemovedWhileShown{false, false};
const Flags kRemovedWhileHidden{false, true};

const Cell kSilent{};
// An operation without a result: the calls it sends and the state it leaves.
Cell Moves(std::vector<Sent> sent, std::optional<Flags> after = std::nullopt) { return {std::move(sent), false, after}; }
// An operation with a result: the calls it sends and what it answers; the state stays.
Cell Answers(std::vector<Sent> sent, bool result) { return {std::move(sent), result, std::nullopt}; }

// clang-format off
const Row kRows[] = {
    //                                             Constructed  Inactive: old system, refused  Shown                                     Hidden                                  Removed
    {"RemoveIcon",         Op::RemoveIcon,         {kSilent,    kSilent, kSilent,             Moves({kDelete}, kRemovedWhileShown),     Moves({kDelete}, kRemovedWhileHidden),  kSilent}},
    {"HideIcon",           Op::HideIcon,           {kSilent,    kSilent, kSilent,             Moves({kDeleteIcon}, kHidden),            kSilent,                                kSilent}},
    {"ShowIcon",           Op::ShowIcon,           {kSilent,    kSilent, kSilent,             kSilent,                                  Moves({kAddAll}, kShown),               kSilent}},
    {"ReinsertIcon",       Op::ReinsertIcon,       {kSilent,    kSilent, kSilent,             Moves({kDeleteIcon, kAddAll}, kShown),    Moves({kAddAll}, kShown),               kSilent}},
    {"SetIcon",            Op::SetIcon,            {kSilent,    kSilent, kSilent,             Answers({kModifyIcon}, true),             Answers({kModifyIcon}, false),          kSilent}},
    {"SetTooltipText",     Op::SetTooltipText,     {kSilent,    kSilent, kSilent,             Answers({kModifyTip}, true),              Answers({kModifyTip}, false),           kSilent}},
    {"SetNotificationWnd", Op::SetNotificationWnd, {kSilent,    kSilent, kSilent,             Answers({kModifyWindow}, true),           Answers({kModifyWindow}, false),        kSilent}},
    {"Destructor",         Op::Destructor,         {kSilent,    kSilent, kSilent,             Moves({kDelete}),                         Moves({kDelete}),                       kSilent}},
};
// clang-format on

const State kStates[] = {State::Constructed, State::InactiveOldSystem, State::InactiveRefused,
                         State::Shown,       State::Hidden,            State::Removed};
const char* const kStateNames[] = {"Constructed", "InactiveOldSystem", "InactiveRefused", "Shown", "Hidden", "Removed"};

class StateTableTest : public TrayTest, public ::testing::WithParamInterface<std::tuple<Row, State>> {
protected:
    const platform::Icon kNewIcon = ResourceIcon(IDI_TRAY2);
    const std::string kNewTip = Narrow("新的提示");

    void Enter(State state, TestTray& tray) {
        switch (state) {
        case State::Constructed: return;
        case State::InactiveOldSystem:
            m_desktop.SetOsMajorVersion(3);
            CreateTray(tray);
            m_desktop.SetOsMajorVersion(10);
            return;
        case State::InactiveRefused:
            m_desktop.SetTrayAvailable(false);
            CreateTray(tray);
            m_desktop.SetTrayAvailable(true);
            return;
        case State::Shown: CreateTray(tray); return;
        case State::Hidden:
            CreateTray(tray);
            tray.HideIcon();
            return;
        case State::Removed:
            CreateTray(tray);
            tray.RemoveIcon();
            return;
        }
    }

    // Runs the operation; gives its result when it has one.
    std::optional<bool> Run(Op op, std::optional<TestTray>& tray) {
        switch (op) {
        case Op::RemoveIcon: tray->RemoveIcon(); return std::nullopt;
        case Op::HideIcon: tray->HideIcon(); return std::nullopt;
        case Op::ShowIcon: tray->ShowIcon(); return std::nullopt;
        case Op::ReinsertIcon: tray->ReinsertIcon(); return std::nullopt;
        case Op::SetIcon: return tray->SetIcon(kNewIcon);
        case Op::SetTooltipText: return tray->SetTooltipText(kNewTip);
        case Op::SetNotificationWnd: return tray->SetNotificationWnd(&m_main);
        case Op::Destructor: tray.reset(); return std::nullopt;
        }
        return std::nullopt;
    }

    // The record a call of `op` carries from a created object.
    NotifyIconData ExpectedRecord(Op op, unsigned flags) const {
        NotifyIconData record = ProgramRecord(m_parent.GetSafeHwnd());
        record.uFlags = flags;
        if (op == Op::SetIcon) record.hIcon = kNewIcon;
        if (op == Op::SetTooltipText) {
            std::fill(std::begin(record.szTip), std::end(record.szTip), '\0');
            kNewTip.copy(record.szTip, kNewTip.size());
        }
        if (op == Op::SetNotificationWnd) record.hWnd = m_main.GetSafeHwnd();
        return record;
    }
};

TEST_P(StateTableTest, SendsTheCallsOfItsCellWithTheirFlagsAndRecord) {
    const auto& [row, state] = GetParam();
    const Cell& cell = row.cells[static_cast<std::size_t>(state)];
    std::optional<TestTray> tray;
    tray.emplace();
    Enter(state, *tray);
    const Flags before{tray->m_bActive, tray->m_bIconHidden};
    const NotifyIconData recordBefore = tray->m_nid;
    Mark();

    const std::optional<bool> result = Run(row.op, tray);

    const auto calls = CallsSinceMark();
    ASSERT_EQ(calls.size(), cell.sent.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(calls[i].action, cell.sent[i].action);
        ExpectSameRecord(calls[i].data, ExpectedRecord(row.op, cell.sent[i].flags));
    }
    if (result) {
        EXPECT_EQ(*result, cell.result);
    }
    if (!tray) {
        EXPECT_EQ(m_desktop.TrayIcon(IDR_TRAYMENU), nullptr);
        return;
    }
    const Flags after = cell.after.value_or(before);
    EXPECT_EQ(tray->m_bActive, after.active);
    EXPECT_EQ(tray->m_bIconHidden, after.hidden);
    EXPECT_EQ(m_desktop.TrayIcon(IDR_TRAYMENU) != nullptr, after.active && !after.hidden) << "icon in the area";
    if (cell.sent.empty()) ExpectSameRecord(tray->m_nid, recordBefore);
}

INSTANTIATE_TEST_SUITE_P(EveryOperationInEveryState, StateTableTest,
                         ::testing::Combine(::testing::ValuesIn(kRows), ::testing::ValuesIn(kStates)),
                         [](const ::testing::TestParamInfo<std::tuple<Row, State>>& param) {
                             return std::string(std::get<0>(param.param).name) + "_" +
                                    kStateNames[static_cast<int>(std::get<1>(param.param))];
                         });

// What the getters answer in each state.
TEST_F(TrayTest, GettersAnswerOnlyWhileActiveExceptTheNotificationWindow) {
    struct Case {
        const char* state;
        std::function<void(TestTray&)> enter;
        bool active;
        platform::Window* target;
    };
    const Case cases[] = {
        {"Constructed", [](TestTray&) {}, false, nullptr},
        {"InactiveOldSystem", [this](TestTray& t) { m_desktop.SetOsMajorVersion(3); CreateTray(t); }, false, nullptr},
        {"InactiveRefused", [this](TestTray& t) { m_desktop.SetTrayAvailable(false); CreateTray(t); }, false, &m_parent},
        {"Shown", [this](TestTray& t) { CreateTray(t); }, true, &m_parent},
        {"Hidden", [this](TestTray& t) { CreateTray(t); t.HideIcon(); }, true, &m_parent},
        {"Removed", [this](TestTray& t) { CreateTray(t); t.RemoveIcon(); }, false, &m_parent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        m_desktop.SetOsMajorVersion(10);
        m_desktop.SetTrayAvailable(true);
        TestTray tray;
        c.enter(tray);
        EXPECT_EQ(tray.GetIcon(), c.active ? ResourceIcon(IDI_TRAY1) : 0);
        EXPECT_EQ(tray.GetTooltipText(), c.active ? Narrow(kProgramTip) : "");
        EXPECT_EQ(tray.GetNotificationWnd(), c.target);
    }
}

TEST_F(TrayTest, ShowingAHiddenIconAddsItWithTheLatestImageTipAndWindow) {
    TestTray tray;
    CreateTray(tray);
    tray.HideIcon();
    tray.SetIcon(ResourceIcon(IDI_TRAY2));
    tray.SetTooltipText("later");
    tray.SetNotificationWnd(&m_main);
    Mark();
    tray.ShowIcon();

    const auto calls = CallsSinceMark();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].action, NotifyAction::Add);
    EXPECT_EQ(calls[0].data.uFlags, 7u);
    EXPECT_EQ(calls[0].data.hIcon, ResourceIcon(IDI_TRAY2));
    EXPECT_EQ(Tip(calls[0].data), "later");
    EXPECT_EQ(calls[0].data.hWnd, m_main.GetSafeHwnd());
    EXPECT_EQ(m_desktop.TrayIcon(IDR_TRAYMENU)->hIcon, ResourceIcon(IDI_TRAY2));
}

TEST_F(TrayTest, AFailingShellIsReportedButTheRecordKeepsTheNewValues) {
    TestTray tray;
    CreateTray(tray);
    m_desktop.SetNotifyResult(false);
    EXPECT_FALSE(tray.SetIcon(ResourceIcon(IDI_TRAY2)));
    EXPECT_FALSE(tray.SetTooltipText("new"));
    EXPECT_FALSE(tray.SetNotificationWnd(&m_main));
    EXPECT_EQ(tray.GetIcon(), ResourceIcon(IDI_TRAY2));
    EXPECT_EQ(tray.GetTooltipText(), "new");
    EXPECT_EQ(tray.GetNotificationWnd(), &m_main);

    tray.HideIcon();  // the flag changes whatever the shell answers
    EXPECT_TRUE(tray.m_bIconHidden);
    tray.RemoveIcon();
    EXPECT_FALSE(tray.m_bActive);
}

// The tooltip --------------------------------------------------------------------------------------

struct TipCase {
    const char* name;
    CodePage codePage;
    std::string text;
    std::size_t storedBytes;  // the stored tip is the text's first storedBytes bytes
};

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

const std::string kGbkChar = "\xBD\xF8";  // 进 in GBK
const std::string kUtf8Char = "进";       // three bytes in UTF-8

const TipCase kTipCases[] = {
    {"Ascii63StoredWhole", CodePage::Utf8, std::string(63, 'a'), 63},
    {"Ascii64CutTo63", CodePage::Utf8, std::string(64, 'a'), 63},
    {"Ascii200CutTo63", CodePage::Utf8, std::string(200, 'a'), 63},
    {"GbkEndingAt63StoredWhole", CodePage::Gbk, std::string(61, 'a') + kGbkChar, 63},
    {"GbkCharacterAcrossTheLimitLeftOut", CodePage::Gbk, std::string(62, 'a') + kGbkChar, 62},
    {"GbkAllChinese", CodePage::Gbk, Repeat(kGbkChar, 40), 62},
    {"Utf8CharacterAcrossTheLimitLeftOut", CodePage::Utf8, std::string(61, 'a') + kUtf8Char, 61},
    {"Utf8AllChinese", CodePage::Utf8, Repeat(kUtf8Char, 30), 63},
    {"Utf8AllChineseShifted", CodePage::Utf8, "a" + Repeat(kUtf8Char, 30), 61},
};

class TooltipTest : public TrayTest, public ::testing::WithParamInterface<TipCase> {};

TEST_P(TooltipTest, LongTextIsCutAtTheLastWholeCharacterThatFits) {
    const TipCase& c = GetParam();
    const CodePageScope codePage(c.codePage);
    const std::string expected = c.text.substr(0, c.storedBytes);

    TestTray created;
    created.Create(&m_parent, WM_TRAY_NOTIFY, c.text, ResourceIcon(IDI_TRAY1), IDR_TRAYMENU);
    EXPECT_EQ(Tip(m_desktop.NotifyCalls().back().data), expected) << "Create";

    TestTray tray;
    CreateTray(tray, &m_parent, IDR_TRAYMENU + 100);
    tray.SetTooltipText(c.text);
    const NotifyIconData& sent = m_desktop.NotifyCalls().back().data;
    EXPECT_EQ(Tip(sent), expected) << "SetTooltipText";
    EXPECT_EQ(tray.GetTooltipText(), expected);
    for (std::size_t i = c.storedBytes; i < platform::kTipSize; ++i) EXPECT_EQ(sent.szTip[i], '\0') << i;
}

INSTANTIATE_TEST_SUITE_P(Cases, TooltipTest, ::testing::ValuesIn(kTipCases),
                         [](const ::testing::TestParamInfo<TipCase>& param) { return std::string(param.param.name); });

TEST_F(TrayTest, ShorterTipLeavesNothingOfTheLongerOneBehind) {
    TestTray tray;
    CreateTray(tray);
    tray.SetTooltipText(std::string(63, 'x'));
    tray.SetTooltipText("ok");
    const NotifyIconData& sent = m_desktop.NotifyCalls().back().data;
    EXPECT_EQ(Tip(sent), "ok");
    for (std::size_t i = 2; i < platform::kTipSize; ++i) EXPECT_EQ(sent.szTip[i], '\0') << i;
}

TEST_F(TrayTest, TooltipByStringIdLoadsTheStringOrSetsEmptyText) {
    TestTray tray;
    CreateTray(tray);
    EXPECT_TRUE(tray.SetTooltipText(IDS_ABOUTBOX));
    EXPECT_EQ(Tip(m_desktop.NotifyCalls().back().data), Narrow("关于 Lumatra(&A)..."));

    EXPECT_TRUE(tray.SetTooltipText(7001u));  // no such string
    EXPECT_EQ(m_desktop.NotifyCalls().back().action, NotifyAction::Modify);
    EXPECT_EQ(m_desktop.NotifyCalls().back().data.uFlags, 4u);
    EXPECT_EQ(Tip(m_desktop.NotifyCalls().back().data), "");
}

// Loading an icon -----------------------------------------------------------------------------------

struct LoadCase {
    const char* name;
    std::function<bool(CSystemTray&)> load;
    platform::Icon expected;
};

const LoadCase kLoadCases[] = {
    {"ResourceIdAsTheCatalogueDeclaresIt", [](CSystemTray& t) { return t.SetIcon(IDI_TRAY2); }, ResourceIcon(IDI_TRAY2)},
    {"UnsignedResourceId", [](CSystemTray& t) { return t.SetIcon(142u); }, ResourceIcon(IDI_TRAY2)},
    {"MissingResourceId", [](CSystemTray& t) { return t.SetIcon(999u); }, 0},
    {"NumericResourceName", [](CSystemTray& t) { return t.SetIcon(std::string("#142")); }, ResourceIcon(IDI_TRAY2)},
    {"SymbolicResourceName", [](CSystemTray& t) { return t.SetIcon(std::string("IDI_TRAY2")); }, 0},
    {"MalformedResourceName", [](CSystemTray& t) { return t.SetIcon(std::string("#14x")); }, 0},
    {"BareHash", [](CSystemTray& t) { return t.SetIcon(std::string("#")); }, 0},
    {"StandardId", [](CSystemTray& t) { return t.SetStandardIcon(32512u); }, FakeDesktop::StandardIcon(32512)},
    {"StandardIdLow16Bits", [](CSystemTray& t) { return t.SetStandardIcon(0x10000u + 32516u); },
     FakeDesktop::StandardIcon(32516)},
    {"StandardNumericName", [](CSystemTray& t) { return t.SetStandardIcon(std::string("#32515")); },
     FakeDesktop::StandardIcon(32515)},
    {"StandardSymbolicName", [](CSystemTray& t) { return t.SetStandardIcon(std::string("IDI_APPLICATION")); }, 0},
    {"StandardNameAbove16Bits", [](CSystemTray& t) { return t.SetStandardIcon(std::string("#65536")); }, 0},
};

class IconLoadTest : public TrayTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(IconLoadTest, TheLoadedHandleOrNullGoesToTheShell) {
    TestTray tray;
    CreateTray(tray);
    Mark();
    EXPECT_TRUE(GetParam().load(tray));
    const auto calls = CallsSinceMark();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].action, NotifyAction::Modify);
    EXPECT_EQ(calls[0].data.uFlags, 2u);
    EXPECT_EQ(calls[0].data.hIcon, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Forms, IconLoadTest, ::testing::ValuesIn(kLoadCases),
                         [](const ::testing::TestParamInfo<LoadCase>& param) { return std::string(param.param.name); });

TEST_F(TrayTest, LoadingFormsOnAnInactiveObjectSendNothing) {
    TestTray tray;
    EXPECT_FALSE(tray.SetIcon(IDI_TRAY2));
    EXPECT_FALSE(tray.SetStandardIcon(32512u));
    EXPECT_FALSE(tray.SetTooltipText(IDS_ABOUTBOX));
    EXPECT_TRUE(m_desktop.NotifyCalls().empty());
}

}  // namespace
}  // namespace tray_test
