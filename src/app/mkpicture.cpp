// Renders a drawing (SVG) on white paper into a picture the program ships:
//   vendrix_mkpicture DRAWING.svg PICTURE.jpg|PICTURE.bmp [WIDTHxHEIGHT]
// The picture has the drawing's own size unless one is given. A JPEG serves the shipped
// templates; a BMP is the 256-colour bitmap the advertising library serves.

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QTextStream>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    const QString kind = args.size() >= 3 ? QFileInfo(args[2]).suffix().toLower() : QString();
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(args.size() == 4 ? args[3] : QString());
    if (args.size() < 3 || args.size() > 4 || (kind != u"jpg" && kind != u"bmp") || (args.size() == 4 && !size.hasMatch())) {
        err << "usage: vendrix_mkpicture DRAWING.svg PICTURE.jpg|PICTURE.bmp [WIDTHxHEIGHT]\n";
        return 2;
    }
    QImageReader reader(args[1]);
    if (size.hasMatch())
        reader.setScaledSize(QSize(size.captured(1).toInt(), size.captured(2).toInt()));
    const QImage drawing = reader.read();
    if (drawing.isNull()) {
        err << args[1] << ": " << reader.errorString() << '\n';
        return 1;
    }
    // Neither format keeps transparency: the drawing lies on white paper.
    QImage picture(drawing.size(), QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawImage(0, 0, drawing);
    painter.end();
    const bool saved = kind == u"jpg"
                           ? picture.save(args[2], "JPEG", 90)
                           : picture.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither | Qt::PreferDither).save(args[2], "BMP");
    if (!saved) {
        err << args[2] << ": cannot write\n";
        return 1;
    }
    return 0;
}
