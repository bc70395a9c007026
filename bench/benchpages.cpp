#include "benchpages.h"

#include "model/pagelette.h"

#include <QStringList>

namespace Bench {

void fillMixedPage(TPagelette &page, int n)
{
    page.NewPage();
    const QString paragraph = QString(1024, u'x');
    QStringList bullets;
    for (int i = 0; i < 20; ++i)
        bullets.append(QStringLiteral("Entry number %1").arg(i));
    for (int i = page.Page().Count(); i < n; ++i) {
        const auto kind = TBlockType(1 + i % 7);
        TPageItem &item = page.InsertNewItem(page.Page().Count(), kind);
        switch (kind) {
        case btHeading: item.HeadingBlock().Heading = QStringLiteral("Heading %1").arg(i); break;
        case btImage: item.ImageBlock().FileName = QStringLiteral("picture%1.jpg").arg(i); break;
        case btLink: item.LinkBlock().LinkURL = QStringLiteral("http://example.com/%1").arg(i); break;
        case btText: item.TextBlock().Text = paragraph; break;
        case btBullet: item.BulletBlock().Bullets = bullets.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"); break;
        default: break;
        }
    }
}

}
