#pragma once

#include <QString>
#include <QStringList>

// The program's data folder ("program folder"): where documents, templates, the upload
// folders and the shipped data files live. Paths returned end with '/'.
class ProgramFolder
{
public:
    ProgramFolder() = default;
    explicit ProgramFolder(const QString &path);

    bool isNull() const { return mPath.isEmpty(); }
    QString path() const { return mPath; }

    QString documentsFolder() const { return mPath + QStringLiteral("VendrixFiles/"); }
    QString templatesFolder() const { return mPath + QStringLiteral("Templates/"); }
    QString uploadFolder() const { return mPath + QStringLiteral("Upload/"); }
    QString imagesFolder() const { return mPath + QStringLiteral("Upload/images/"); }
    QString backgroundsFolder() const { return mPath + QStringLiteral("Upload/backgrounds/"); }
    QString palettesFolder() const { return mPath + QStringLiteral("Palettes/"); }
    QString helpFolder() const { return mPath + QStringLiteral("help/"); }
    QString themesFile() const { return mPath + QStringLiteral("Themes.dat"); }
    QString fieldsFile() const { return mPath + QStringLiteral("Fields.ini"); }
    QString tipsFile() const { return mPath + QStringLiteral("Tips.txt"); }
    QString externalPreviewFile() const { return documentsFolder() + QStringLiteral("~tmp.html"); }

    // Chooses the folder: the explicit option, else the VENDRIX_DATA_DIR environment
    // variable, else the executable's folder when the portable marker lies in it and it
    // is writable, else the user's application data folder.
    static ProgramFolder resolve(const QString &dataDirOption, const QString &executableDir);
    // The file whose presence beside the executable asks for portable use.
    static QString portableMarker() { return QStringLiteral("portable"); }

    // The folder holding the data files as installed (the seed for a new program folder):
    // "<prefix>/share/vendrix" found relative to an installed executable (so a moved tree
    // still finds it), else the executable's own folder (the build tree, portable use).
    static QString installedDataFolder(const QString &executableDir);

    // A library the program loads at run time, named without "lib" and ".so": beside the
    // executable (the build tree, portable use), else in the installed tree's private
    // library folder found relative to the executable.
    static QString privateLibrary(const QString &executableDir, const QString &name);

    // What seed() makes: everything, or split so that a start makes only what the main
    // window reads while it opens (the folder, Themes.dat and Tips.txt) and the rest
    // once the window is up.
    enum class Part { Everything, ForTheWindow, TheRest };

    // Creates the sub-folders and copies every shipped file the folder lacks from the
    // installed data folder; never overwrites a file that is there. Returns false with
    // the reason in *error when a folder or file cannot be created. The copies are not
    // waited onto the disk: their paths go to *copied for flushToDisk().
    bool seed(const QString &installedDataDir, QString *error = nullptr, QStringList *copied = nullptr,
              Part part = Part::Everything) const;

    // Waits until the files' contents are on the disk; a file that cannot be opened is
    // passed over.
    static void flushToDisk(const QStringList &files);

private:
    QString mPath;
};
