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
bool showWithSystemViewer(const QString& path, int context)
{
#ifdef Q_OS_WIN
    QStringList arguments;
    if (context != 0)
        arguments << QStringLiteral("-mapid") << QString::number(context);
    arguments << QDir::toNativeSeparators(path);
    return QProcess::startDetached(QStringLiteral("hh.exe"), arguments);
#else
    Q_UNUSED(context); // viewers outside Windows cannot be asked for a context number
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#endif
}

SchoolHelpViewer& viewer()
{
    static SchoolHelpViewer current = showWithSystemViewer;
    return current;
}

// The school system's help file beside the program; false when it is not there or cannot be shown.
bool openSchoolHelp(HelpTopic topic)
{
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ESCOLARIA.chm"));
    return QFileInfo(path).isFile() && viewer()(path, topic == HelpTopic::Contents ? 0 : kHelpContext);
}
} // namespace

void setSchoolHelpViewer(SchoolHelpViewer shower) { viewer() = std::move(shower); }

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
