#include "documentstate.h"

#include "platform/appinfo.h"

#include <QFileInfo>

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
    return QFileInfo(mName).fileName() + QStringLiteral(" - ") + AppInfo::applicationTitle();
}
