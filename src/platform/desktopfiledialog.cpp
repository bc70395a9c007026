#include "desktopfiledialog.h"

#include <QFileDialog>
#include <QFileInfo>

QStringList DesktopFileDialog::qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            pattern = pattern.trimmed();
        patterns.removeAll(QString());
        if (patterns.isEmpty())
            continue;
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patterns.join(u' ')));
    }
    return filters;
}

QString DesktopFileDialog::withDefaultExtension(const QString &fileName, const QString &extension)
{
    if (extension.isEmpty() || fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    QString ext = extension;
    if (ext.startsWith(u'.'))
        ext.remove(0, 1);
    return fileName + u'.' + ext;
}

bool DesktopFileDialog::execute()
{
    QFileDialog dialog(nullptr, QString(), mInitialDir);
    const bool saving = mKind == Kind::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = qtNameFilters(mFilter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(qBound(1, mFilterIndex, int(filters.size())) - 1));
    }
    if (!mDefaultExtension.isEmpty())
        dialog.setDefaultSuffix(mDefaultExtension.startsWith(u'.') ? mDefaultExtension.mid(1) : mDefaultExtension);
    if (!mFileName.isEmpty())
        dialog.selectFile(mFileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    mFileName = withDefaultExtension(dialog.selectedFiles().constFirst(), mDefaultExtension);
    const qsizetype used = filters.indexOf(dialog.selectedNameFilter());
    if (used >= 0)
        mFilterIndex = int(used) + 1;
    return true;
}
