#include <gtest/gtest.h>

#include <new>

#include "platform/application.h"
#include "platform/dialog.h"
#include "platform/errors.h"
#include "platform/testing/fake_desktop.h"

namespace {
using platform::testing::FakeDesktop;

constexpr int kTemplate = 500;
constexpr int kEdit = 1000;
constexpr int kThrowButton = 7;

class OneTemplate : public platform::ResourceCatalogue {
public:
    OneTemplate() {
        m_template.id = kTemplate;
        m_template.controls = {
            {kEdit, platform::ControlClass::Edit, "", 0, 0, 0, 10, 10, 0},
            {static_cast<int>(platform::IDOK), platform::ControlClass::Button, "OK", platform::style::DefPushButton,
             0, 0, 10, 10, 0},
        };
    }
    const platform::DialogTemplate* FindDialog(int id) const override { return id == kTemplate ? &m_template : nullptr; }
    const platform::MenuTemplate* FindMenu(int) const override { return nullptr; }
    std::optional<std::string> FindString(int) const override { return std::nullopt; }
    std::optional<platform::ImageResource> FindImage(int) const override { return std::nullopt; }

private:
    platform::DialogTemplate m_template;
};

class EditDialog : public platform::Dialog {
public:
    EditDialog() : Dialog(kTemplate, nullptr) {}
    void DoDataExchange(platform::DataExchange& dx) override {
        Dialog::DoDataExchange(dx);
        dx.Text(kEdit, m_strText);
    }
    bool OnCommand(unsigned id) override {
        if (id == kThrowButton) throw platform::ReportableError("Access to /x/config.ini was denied.");
        return Dialog::OnCommand(id);
    }
    std::string m_strText;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { m_previous = platform::Install(m_desktop.AsBackends(&m_catalogue)); }
    void TearDown() override { platform::Install(m_previous); }

    platform::Application m_app{"Lumatra"};
    OneTemplate m_catalogue;
    FakeDesktop m_desktop;
    platform::Backends m_previous;
};

TEST_F(WindowTest, ModalDialogExchangesTextBothWaysAndEndsWithOk) {
    EditDialog dialog;
    dialog.m_strText = "before";
    std::string shownAtStart;
    m_desktop.Then([&] { shownAtStart = m_desktop.ControlText(m_desktop.ActiveDialog()->GetSafeHwnd(), kEdit); })
        .Type(kEdit, "typed")
        .PressEnter();
    EXPECT_EQ(dialog.DoModal(), static_cast<int>(platform::IDOK));
    EXPECT_EQ(shownAtStart, "before");
    EXPECT_EQ(dialog.m_strText, "typed");
    EXPECT_EQ(dialog.GetSafeHwnd(), 0u);
}

TEST_F(WindowTest, EscapeEndsWithCancelAndKeepsMembers) {
    EditDialog dialog;
    m_desktop.Type(kEdit, "typed").PressEscape();
    EXPECT_EQ(dialog.DoModal(), static_cast<int>(platform::IDCANCEL));
    EXPECT_EQ(dialog.m_strText, "");
}

TEST_F(WindowTest, ErrorEscapingAHandlerIsReportedWithAStopIconAndTheDialogGoesOn) {
    EditDialog dialog;
    m_desktop.Click(kThrowButton).PressEscape();
    EXPECT_EQ(dialog.DoModal(), static_cast<int>(platform::IDCANCEL));
    ASSERT_EQ(m_desktop.MessageBoxes().size(), 1u);
    EXPECT_EQ(m_desktop.MessageBoxes()[0].text, "Access to /x/config.ini was denied.");
    EXPECT_EQ(m_desktop.MessageBoxes()[0].icon, platform::MessageIcon::Stop);
    EXPECT_EQ(m_desktop.MessageBoxes()[0].caption, "Lumatra");
}

TEST_F(WindowTest, DialogThatIsNeverEndedReportsFailureInsteadOfHanging) {
    EditDialog dialog;
    m_desktop.Type(kEdit, "typed");
    EXPECT_EQ(dialog.DoModal(), platform::kDialogFailed);
}

TEST_F(WindowTest, UnhandledCommandReachesTheApplication) {
    struct HelpCounting : platform::Application {
        bool OnCommand(unsigned id) override {
            if (id != platform::ID_HELP) return false;
            ++helps;
            return true;
        }
        int helps = 0;
    } app;
    EditDialog dialog;
    m_desktop.Click(static_cast<int>(platform::ID_HELP)).PressEscape();
    dialog.DoModal();
    EXPECT_EQ(app.helps, 1);
}

}  // namespace
