// Renders a banner drawing (SVG) into the 256-colour bitmap the advertising library
// serves: mkbanner <drawing.svg> <banner.bmp>.

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        err << "usage: mkbanner DRAWING.svg BANNER.bmp\n";
        return 2;
    }
    QImageReader reader(args[1]);
    reader.setScaledSize(QSize(468, 60));
    const QImage drawing = reader.read();
    if (drawing.isNull()) {
        err << "mkbanner: cannot read " << args[1] << ": " << reader.errorString() << "\n";
        return 1;
    }
    QImage banner(drawing.size(), QImage::Format_RGB32);
    banner.fill(Qt::white);
    QPainter painter(&banner);
    painter.drawImage(0, 0, drawing);
    painter.end();
    const QImage indexed = banner.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither | Qt::PreferDither);
    if (!indexed.save(args[2], "BMP")) {
        err << "mkbanner: cannot write " << args[2] << "\n";
        return 1;
    }
    return 0;
}
