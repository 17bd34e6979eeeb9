#include "gui/help_window.h"

#include "gui/app_title.h"
#include "run/manual_location.h"
#include "quintaro_version.h"

#include <QFile>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

namespace quintaro {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent), m_text(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("Ayuda"));
    setWindowTitle(QStringLiteral("Ayuda de %1 %2").arg(kAppTitle, QStringLiteral(QUINTARO_VERSION_FULL)));
    setModal(false);
    resize(640, 560);
    m_text->setObjectName(QStringLiteral("TextoAyuda"));
    m_text->setOpenExternalLinks(true);
    m_text->setMarkdown(manual());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
}

QString HelpWindow::manual()
{
    QFile file(QStringLiteral(":/manual/manual.md"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("# Ayuda\n\nEl manual no está en este programa; puede leerlo en %1.").arg(manualLocation());
    return QString::fromUtf8(file.readAll());
}

QString HelpWindow::headingOf(HelpTopic topic)
{
    switch (topic) {
    case HelpTopic::MainWindow:
        return QStringLiteral("La ventana principal");
    case HelpTopic::FrameDialog:
        return QStringLiteral("El diálogo de marcos horarios");
    case HelpTopic::Contents:
        break;
    }
    return {};
}

HelpWindow* HelpWindow::showTopic(QWidget* parent, HelpTopic topic)
{
    auto* window = parent ? parent->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!window) {
        window = new HelpWindow(parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->goTo(topic);
    return window;
}

void HelpWindow::goTo(HelpTopic topic)
{
    const QString heading = headingOf(topic);
    QTextCursor at = heading.isEmpty() ? QTextCursor(m_text->document())
                                       : m_text->document()->find(heading, 0, QTextDocument::FindCaseSensitively);
    if (at.isNull())
        at = QTextCursor(m_text->document());
    at.setPosition(at.selectionStart()); // at the heading, not selecting it
    m_text->setTextCursor(at);
    // The section's heading at the top of the view, not merely somewhere in it.
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
    m_text->ensureCursorVisible();
}

} // namespace quintaro
