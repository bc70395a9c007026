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

// Both sizes are timed in alternation, so a busy machine slows both alike and the
// ratio stays meaningful; each figure is the best of its runs.
void buildPage(QTextStream &out)
{
    const int sizes[2] = {10000, 20000};
    QTemporaryDir dir;
    HtmlBuildOptions options;
    options.programFolder = ProgramFolder(dir.path());
    TPagelette pages[2];
    qsizetype lineCount[2] = {};
    double linesMs[2] = {1e300, 1e300};
    double writeMs[2] = {1e300, 1e300};
    for (int k = 0; k < 2; ++k)
        fillHtmlPage(pages[k], sizes[k]);
    for (int run = 0; run < 15; ++run) {
        for (int k = 0; k < 2; ++k) {
            linesMs[k] = qMin(linesMs[k], Bench::bestMilliseconds(1, [&] {
                QStringList lines;
                BuildPageHTML(lines, hmPreview, pages[k], options);
                lineCount[k] = lines.size();
            }));
            QString error;
            writeMs[k] = qMin(writeMs[k], Bench::bestMilliseconds(1, [&] {
                HtmlCopies::writeUploadCopy(pages[k], options, QStringLiteral("page.vxf"), &error);
            }));
        }
    }
    for (int k = 0; k < 2; ++k) {
        out << QStringLiteral("%1 items (%2 lines): BuildPageHTML %3 ms, build and write the upload copy %4 ms\n")
                   .arg(sizes[k])
                   .arg(lineCount[k])
                   .arg(linesMs[k], 0, 'f', 1)
                   .arg(writeMs[k], 0, 'f', 1);
    }
    out << QStringLiteral("20000/10000 ratio: BuildPageHTML %1, upload copy %2 (target: BuildPageHTML under 10 ms at 10000, ratios under 2.2)\n")
               .arg(linesMs[1] / linesMs[0], 0, 'f', 2)
               .arg(writeMs[1] / writeMs[0], 0, 'f', 2);
}

}

VENDRIX_BENCH("html: build the HTML of a page of mixed items", buildPage)
