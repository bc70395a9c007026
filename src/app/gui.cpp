#include "gui.h"

#include <QApplication>
#include <QLabel>

int runGui(int &argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel placeholder(QStringLiteral("Zandorell FREE HTML 5.0 - Untitled"));
    placeholder.setWindowTitle(QStringLiteral("Zandorell FREE HTML 5.0 - Untitled"));
    placeholder.show();
    return app.exec();
}
