#include "uploadlist.h"

#include "html/htmlcopies.h"
#include "model/pagelette.h"
#include "model/routines.h"
#include "platform/programfolder.h"

#include <QFileInfo>

#include <algorithm>

namespace UploadList {

QString pageFileName(const QString &documentPath)
{
    return Routines::RemoveSpaces(Routines::StripExtension(bareFileName(documentPath)));
}

QString bareFileName(const QString &localPath)
{
    return localPath.mid(localPath.lastIndexOf(u'/') + 1);
}

QStringList collect(const TPagelette &page, const ProgramFolder &folder, const QString &documentPath)
{
    QStringList pictures;
    auto addIfExists = [&pictures](const QString &path) {
        if (QFileInfo(path).isFile())
            pictures.append(path);
    };
    // Pictures are copied into their folders under their bare names. A name that holds
    // a folder part comes from an altered document and could reach any file on the
    // disk, so it is never published.
    auto addPicture = [&addIfExists](const QString &folder, const QString &name) {
        if (!name.isEmpty() && !name.contains(u'/') && !name.contains(u'\\') && name != u"." && name != u"..")
            addIfExists(folder + name);
    };
    const TPageCollection &items = page.Page();
    for (int i = 0; i < items.Count(); ++i) {
        const TPageItem &item = items.Items(i);
        if (item.BlockType == btPageProperties)
            addPicture(folder.backgroundsFolder(), item.PagePropertiesBlock().Background);
        else if (item.BlockType == btImage)
            addPicture(folder.imagesFolder(), item.ImageBlock().FileName);
    }
    // Letter case only orders the list: on this platform "a.gif" and "A.gif" are two
    // files, and both are sent.
    std::sort(pictures.begin(), pictures.end(), [](const QString &a, const QString &b) {
        const int byText = a.compare(b, Qt::CaseInsensitive);
        return byText != 0 ? byText < 0 : a < b;
    });
    pictures.erase(std::unique(pictures.begin(), pictures.end()), pictures.end());

    if (!pageFileName(documentPath).isEmpty())
        addIfExists(HtmlCopies::uploadCopyPath(folder, documentPath));
    return pictures;
}

}
