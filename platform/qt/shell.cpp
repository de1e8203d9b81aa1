#include "platform/qt/shell.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include "platform/qt/qt_text.h"

namespace platform::qt {

bool QtShell::Open(const std::string& target) {
    const QUrl url = QUrl::fromUserInput(ToQString(target), QDir::currentPath(), QUrl::AssumeLocalFile);
    return url.isValid() && QDesktopServices::openUrl(url);
}

std::int64_t QtClock::LocalSeconds() {
    const QDateTime now = QDateTime::currentDateTime();
    return now.toSecsSinceEpoch() + now.offsetFromUtc();
}

}  // namespace platform::qt
