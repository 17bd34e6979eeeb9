#include "gui/help.h"

#include "gui/app_title.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QUrl>

namespace quintaro {

bool openHelpOnF1(QWidget* parent, const QKeyEvent* event)
{
    if (event->key() != Qt::Key_F1)
        return false;
    openHelp(parent, kHelpContext);
    return true;
}

void openHelp(QWidget* parent, int context)
{
    Q_UNUSED(context);
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ESCOLARIA.chm"));
    if (!QFileInfo(path).isFile()) {
        QMessageBox box(QMessageBox::NoIcon, kAppTitle,
                        QStringLiteral("No se encuentra el archivo de ayuda %1.").arg(QDir::toNativeSeparators(path)),
                        QMessageBox::Ok, parent);
        box.setObjectName(QStringLiteral("MensajeAyuda"));
        box.exec();
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        QMessageBox box(
            QMessageBox::NoIcon, kAppTitle,
            QStringLiteral("No hay ningún programa para abrir la ayuda %1.").arg(QDir::toNativeSeparators(path)),
            QMessageBox::Ok, parent);
        box.exec();
    }
}

} // namespace quintaro
