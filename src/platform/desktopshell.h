#pragma once

#include "shell.h"

// The production shell: the desktop's default programs through QDesktopServices.
class DesktopShell : public Shell
{
public:
    bool open(const QString &fileOrAddress) override;
    QString favoritesFolder() const override;
};
