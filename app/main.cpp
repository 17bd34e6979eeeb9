#include "app/main_window.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quintaro"));
    int code = 0;
    {
        quintaro::TMForm window(QApplication::arguments().mid(1));
        window.show();
        code = app.exec();
    } // the window, and every document it holds, goes before the XML parser's state
    return code;
}
