#include "benchregistry.h"

#include "html/htmlcopies.h"

#include <QTemporaryDir>

namespace {

// n items cycling through every block kind (headings and paragraphs with fonts, drop
// boxes among the links, 1 KB paragraphs of several lines, lists of 20 entries) and
// one e-mail form of 50 fields of every kind.
void fillHtmlPage(TPagelette &page, int n)
{
    page.NewPage();
    page.Page().Items(0).PagePropertiesBlock().MetaText = QStringLiteral("keywords\tbench\r\n");
    QString paragraph;
    while (paragraph.size() < 1024)
        paragraph += QStringLiteral("A line of paragraph text that is about seventy characters long.\r\n");
    paragraph += QStringLiteral("\r\nLast line");
    QString bullets;
    for (int i = 0; i < 20; ++i)
        bullets += QStringLiteral("Entry number %1\r\n").arg(i);
    const QString font = QStringLiteral("\"Arial\", 14, [Bold|Italic], [clRed]");

    page.InsertNewItem(page.Page().Count(), btForms);
    for (int i = 0; i < 50; ++i) {
        TFormElement &field = page.WebForm().AddElement();
        field.FieldKind = TFieldKind(i % 6);
        field.Name = QStringLiteral("Field %1").arg(i);
        field.Text = QStringLiteral("Label of\r\nfield %1").arg(i);
        field.Strings = {QStringLiteral("Size=30"), QStringLiteral("one|One|No"), QStringLiteral("two|Two|Yes")};
    }
    for (int i = page.Page().Count(); i < n; ++i) {
        const auto kind = TBlockType(1 + i % 6);
        TPageItem &item = page.InsertNewItem(page.Page().Count(), kind);
        switch (kind) {
        case btHeading:
            item.HeadingBlock().Heading = QStringLiteral("Heading %1").arg(i);
            item.HeadingBlock().Attributes = font;
            item.HeadingBlock().ApplyFont = 1;
            break;
        case btImage: item.ImageBlock().FileName = QStringLiteral("picture%1.jpg").arg(i); break;
        case btLink:
            item.LinkBlock().LinkURL = QStringLiteral("http://example.com/%1").arg(i);
            item.LinkBlock().UseDropBox = i % 4 == 0;
            item.LinkBlock().DropBoxText = QStringLiteral("http://a.example/\tA\r\nhttp://b.example/\tB\r\n");
            break;
        case btText:
            item.TextBlock().Text = paragraph;
            item.TextBlock().ApplyFont = i % 2;
            break;
        case btBullet: item.BulletBlock().Bullets = bullets; break;
        default: break;
        }
    }
}

void buildPage(QTextStream &out)
{
    const int sizes[2] = {10000, 20000};
    double linesMs[2] = {};
    double writeMs[2] = {};
    QTemporaryDir dir;
    HtmlBuildOptions options;
    options.programFolder = ProgramFolder(dir.path());
    for (int k = 0; k < 2; ++k) {
        TPagelette page;
        fillHtmlPage(page, sizes[k]);
        qsizetype lineCount = 0;
        linesMs[k] = Bench::bestMilliseconds(10, [&] {
            QStringList lines;
            BuildPageHTML(lines, hmPreview, page, options);
            lineCount = lines.size();
        });
        QString error;
        writeMs[k] = Bench::bestMilliseconds(10, [&] { HtmlCopies::writeUploadCopy(page, options, QStringLiteral("page.vxf"), &error); });
        out << QStringLiteral("%1 items (%2 lines): BuildPageHTML %3 ms, build and write the upload copy %4 ms\n")
                   .arg(sizes[k])
                   .arg(lineCount)
                   .arg(linesMs[k], 0, 'f', 1)
                   .arg(writeMs[k], 0, 'f', 1);
    }
    out << QStringLiteral("20000/10000 ratio: BuildPageHTML %1, upload copy %2 (target: under 50 ms at 10000, ratio under 2.2)\n")
               .arg(linesMs[1] / linesMs[0], 0, 'f', 2)
               .arg(writeMs[1] / writeMs[0], 0, 'f', 2);
}

}

VENDRIX_BENCH("html: build the HTML of a page of mixed items", buildPage)
