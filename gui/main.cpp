#include "frames/plantillas.h"
#include "gui/app_title.h"
#include "gui/mform.h"
#include "quintaro_version.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#ifdef _WIN32
#include <windows.h>
#endif

namespace {
// Qt's own texts (file dialog, "Aceptar", "Cancelar") in Spanish, whatever the machine's locale,
// since the program speaks Spanish: from beside the program (Windows) or from Qt's folder.
void loadSpanishQtTexts(QApplication& app, QTranslator& translator)
{
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"));
    for (const QString& folder : {beside, QLibraryInfo::path(QLibraryInfo::TranslationsPath)})
        if (translator.load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qtbase"), QStringLiteral("_"),
                            folder)) {
            app.installTranslator(&translator);
            return;
        }
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
#ifdef _WIN32
        // A GUI program has no console of its own: write to the one it was started from.
        if (AttachConsole(ATTACH_PARENT_PROCESS))
            std::freopen("CONOUT$", "w", stdout);
#endif
        std::printf("quintaro %s\n", QUINTARO_VERSION_FULL);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(quintaro::kAppTitle);
    QApplication::setApplicationVersion(QStringLiteral(QUINTARO_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quintaro-256.png")));
    QTranslator qtTexts;
    loadSpanishQtTexts(app, qtTexts);
    int code = 0;
    {
        quintaro::TMForm window(QApplication::arguments().mid(1), quintaro::showPlantillas);
        window.show();
        code = app.exec();
        code = window.exitCode(code);
        window.session().keepDocumentsUntilExit();
    } // the window, and every document it holds, goes before the XML parser's state
    return code;
}
