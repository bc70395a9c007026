#pragma once

#include "platform/programfolder.h"

#include <QTemporaryDir>

// A fresh program folder in a temporary directory, seeded with the data files the
// build ships (Themes.dat, Tips.txt, Palettes/, ...).
class TestDataFolder
{
public:
    TestDataFolder();
    bool isValid() const { return mValid; }
    const ProgramFolder &folder() const { return mFolder; }
    QString path() const { return mFolder.path(); }
    // A file below the folder, its directories created.
    QString writeFile(const QString &relativePath, const QByteArray &content) const;

private:
    QTemporaryDir mDir;
    ProgramFolder mFolder;
    bool mValid = false;
};

// The build's data folder (where Themes.dat was generated).
QString buildDataFolder();
