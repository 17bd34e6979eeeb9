#include "frames/plantillas.h"
#include "gui/app_title.h"
#include "gui/mform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(quintaro::kAppTitle);
    int code = 0;
    {
        quintaro::TMForm window(QApplication::arguments().mid(1), quintaro::showPlantillas);
        window.show();
        code = app.exec();
    } // the window, and every document it holds, goes before the XML parser's state
    return code;
}
