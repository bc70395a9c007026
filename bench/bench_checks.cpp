#include "benchpages.h"
#include "benchregistry.h"

#include "checks/imagereaderinspector.h"
#include "checks/pagechecker.h"
#include "model/pagelette.h"
#include "platform/programfolder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace {

QByteArray photoBytes()
{
    QImage photo(1600, 1200, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    photo.save(&buffer, "JPEG", 90);
    return bytes;
}

// Every picture of the page gets a file of its own, so each is read once.
void writePictures(const TPagelette &page, const ProgramFolder &folder, const QByteArray &bytes)
{
    QDir().mkpath(folder.imagesFolder());
    for (int i = 0; i < page.Page().Count(); ++i) {
        const TPageItem &item = page.Page().Items(i);
        if (item.BlockType != btImage)
            continue;
        QFile file(folder.imagesFolder() + item.ImageBlock().FileName);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }
}

// A page of 1,000 blocks of every kind (about 140 pictures of 1600 x 1200, shown at
// 200 x 150, and an e-mail form of 50 fields), and one of 1,000 pictures. The
// pictures' sizes are read from their headers; the files stay in the system's cache
// after the first run, as they are when the user checks the page again.
void checkPage(QTextStream &out)
{
    QTemporaryDir dir;
    const ProgramFolder folder(dir.path());
    const QByteArray bytes = photoBytes();

    TPagelette mixed;
    Bench::fillMixedPage(mixed, 1000);
    mixed.InsertNewItem(mixed.Page().Count(), btForms);
    mixed.Email = QStringLiteral("me@example.com");
    for (int i = 0; i < 50; ++i) {
        TFormElement &field = mixed.WebForm().AddElement();
        field.FieldKind = TFieldKind(i % 6);
        field.Name = QStringLiteral("Field %1").arg(i);
        field.Strings = {QStringLiteral("one|One|No"), QStringLiteral("two|Two|Yes")};
    }
    TPagelette pictures;
    pictures.NewPage();
    while (pictures.Page().Count() < 1000) {
        TImageBlock &image = pictures.InsertNewItem(pictures.Page().Count(), btImage).ImageBlock();
        image.FileName = QStringLiteral("photo%1.jpg").arg(pictures.Page().Count());
    }
    for (TPagelette *page : {&mixed, &pictures}) {
        for (int i = 0; i < page->Page().Count(); ++i) {
            TPageItem &item = page->Page().Items(i);
            if (item.BlockType == btImage) {
                item.ImageBlock().Width = QStringLiteral("200");
                item.ImageBlock().Height = QStringLiteral("150");
            }
        }
        writePictures(*page, folder, bytes);
    }

    const ImageReaderInspector inspector;
    const struct
    {
        const char *name;
        const TPagelette &page;
    } cases[] = {{"1000 blocks of every kind", mixed}, {"1000 pictures", pictures}};
    for (const auto &c : cases) {
        qsizetype found = 0;
        const double ms = Bench::bestMilliseconds(20, [&] { found = PageCheck::check(c.page, folder, inspector).size(); });
        out << QStringLiteral("check a page of %1: %2 ms (%3 findings; target: under 50 ms)\n")
                   .arg(QLatin1StringView(c.name))
                   .arg(ms, 0, 'f', 1)
                   .arg(found);
    }
}

}

VENDRIX_BENCH("checks: check a page of 1000 blocks", checkPage)
