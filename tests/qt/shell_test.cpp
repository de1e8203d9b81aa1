// The shell's "open" and the clock.
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QObject>
#include <QUrl>

#include <cstdlib>
#include <ctime>

#include "platform/qt/shell.h"
#include "platform/text.h"
#include "qt_fixture.h"

namespace qt_test {

// Stands in for the desktop's handler of a URL scheme.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened << url; }
};

namespace {

class ShellTest : public ::testing::Test {
protected:
    ShellTest() {
        for (const char* scheme : {"http", "file"}) QDesktopServices::setUrlHandler(scheme, &catcher, "Open");
    }
    ~ShellTest() override {
        for (const char* scheme : {"http", "file"}) QDesktopServices::unsetUrlHandler(scheme);
    }

    UrlCatcher catcher;
    platform::qt::QtShell shell;
};

TEST_F(ShellTest, OpensAWebAddressWithTheDesktopsHandler) {
    EXPECT_TRUE(shell.Open(platform::text::Narrow("http://127.0.0.1:8080/crm2.5/login/initial.htm?名=值")));
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0].host(), QString("127.0.0.1"));
    EXPECT_EQ(catcher.opened[0].port(), 8080);
    EXPECT_EQ(catcher.opened[0].path(), QString("/crm2.5/login/initial.htm"));
    EXPECT_EQ(catcher.opened[0].query(), QString("名=值"));
}

TEST_F(ShellTest, OpensATargetWithoutSchemeAsAFile) {
    EXPECT_TRUE(shell.Open("/login/initial.htm"));
    EXPECT_TRUE(shell.Open("notes.txt"));
    ASSERT_EQ(catcher.opened.size(), 2);
    EXPECT_EQ(catcher.opened[0], QUrl::fromLocalFile("/login/initial.htm"));
    EXPECT_EQ(catcher.opened[1], QUrl::fromLocalFile(QDir::current().absoluteFilePath("notes.txt")));
}

TEST_F(ShellTest, OpensNothingForAnEmptyTarget) {
    EXPECT_FALSE(shell.Open(""));
    EXPECT_TRUE(catcher.opened.isEmpty());
}

TEST(ClockTest, CountsLocalTimeNotUniversalTime) {
    setenv("TZ", "CST-8", 1);  // eight hours east of UTC, without summer time
    tzset();
    platform::qt::QtClock clock;
    const qint64 utcBefore = QDateTime::currentSecsSinceEpoch();
    const std::int64_t local = clock.LocalSeconds();
    const qint64 utcAfter = QDateTime::currentSecsSinceEpoch();
    EXPECT_GE(local, utcBefore + 8 * 3600);
    EXPECT_LE(local, utcAfter + 8 * 3600);
}

}  // namespace
}  // namespace qt_test

#include "shell_test.moc"
