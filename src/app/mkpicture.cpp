// Renders a drawing (SVG) into the JPEG picture a shipped template shows:
// vendrix_mkpicture DRAWING.svg PICTURE.jpg. The picture has the drawing's own size.

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        err << "usage: vendrix_mkpicture DRAWING.svg PICTURE.jpg\n";
        return 2;
    }
    QImageReader reader(args[1]);
    const QImage drawing = reader.read();
    if (drawing.isNull()) {
        err << args[1] << ": " << reader.errorString() << '\n';
        return 1;
    }
    // JPEG has no transparency: the drawing lies on white paper.
    QImage picture(drawing.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawImage(0, 0, drawing);
    painter.end();
    if (!picture.save(args[2], "JPEG", 90)) {
        err << args[2] << ": cannot write\n";
        return 1;
    }
    return 0;
}
