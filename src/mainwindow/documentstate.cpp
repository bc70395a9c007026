#include "documentstate.h"

#include "platform/appinfo.h"

#include <QFileInfo>

namespace {
const QString kModifiedPlaceholder = QStringLiteral("[*]");
}

QString DocumentState::untitled()
{
    return AppInfo::untitledName();
}

bool DocumentState::isUntitled() const
{
    return mName == untitled();
}

void DocumentState::setUntitled()
{
    mName = untitled();
}

QString DocumentState::caption() const
{
    // A placeholder written twice shows as itself, so a file name may contain one.
    QString fileName = QFileInfo(mName).fileName();
    fileName.replace(kModifiedPlaceholder, kModifiedPlaceholder + kModifiedPlaceholder);
    return fileName + kModifiedPlaceholder + QStringLiteral(" - ") + AppInfo::applicationTitle();
}

void DocumentState::setChanged(bool changed)
{
    if (changed == mChanged)
        return;
    mChanged = changed;
    emit changedFlagChanged(changed);
}
