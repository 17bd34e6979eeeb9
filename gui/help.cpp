#include "gui/help.h"

#include "gui/help_window.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProcess>
#include <QUrl>

namespace quintaro {

namespace {
// The school system's help file, shown by its own viewer; false when it is not there or cannot be shown.
bool openSchoolHelp(HelpTopic topic)
{
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ESCOLARIA.chm"));
    if (!QFileInfo(path).isFile())
        return false;
#ifdef Q_OS_WIN
    QStringList arguments;
    if (topic != HelpTopic::Contents)
        arguments << QStringLiteral("-mapid") << QString::number(kHelpContext);
    arguments << QDir::toNativeSeparators(path);
    return QProcess::startDetached(QStringLiteral("hh.exe"), arguments);
#else
    Q_UNUSED(topic); // viewers outside Windows cannot be asked for a context number
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#endif
}
} // namespace

void openHelp(QWidget* parent, HelpTopic topic)
{
    if (!openSchoolHelp(topic))
        HelpWindow::showTopic(parent, topic);
}

bool openHelpOnF1(QWidget* parent, const QKeyEvent* event, HelpTopic topic)
{
    if (event->key() != Qt::Key_F1)
        return false;
    openHelp(parent, topic);
    return true;
}

} // namespace quintaro
