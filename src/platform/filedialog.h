#pragma once

#include <QString>

// One of the main window's shared file dialogs (open, picture, save). Callers set it
// up before each use and run it; the production dialog is a QFileDialog, tests use a
// fake that returns scripted paths. Settings stay between uses, like the shared
// dialogs of the original window.
class FileDialog
{
public:
    enum class Kind { Open, Save };

    explicit FileDialog(Kind kind)
        : mKind(kind)
    {
    }
    virtual ~FileDialog() = default;

    Kind kind() const { return mKind; }

    // Pairs of description and patterns joined by '|': "Vendrix Files|*.vxf|All Files|*.*".
    void setFilter(const QString &filter) { mFilter = filter; }
    QString filter() const { return mFilter; }
    // 1-based index of the pair chosen (and, after execute(), of the pair used).
    void setFilterIndex(int index) { mFilterIndex = index; }
    int filterIndex() const { return mFilterIndex; }
    // Appended (with a dot) to a typed name without extension when saving.
    void setDefaultExtension(const QString &extension) { mDefaultExtension = extension; }
    QString defaultExtension() const { return mDefaultExtension; }
    void setInitialDir(const QString &dir) { mInitialDir = dir; }
    QString initialDir() const { return mInitialDir; }
    // Before execute(): the proposed name; after a successful execute(): the full path chosen.
    void setFileName(const QString &fileName) { mFileName = fileName; }
    QString fileName() const { return mFileName; }

    // Shows the dialog modally; true when the user chose a file.
    virtual bool execute() = 0;

protected:
    Kind mKind;
    QString mFilter;
    int mFilterIndex = 1;
    QString mDefaultExtension;
    QString mInitialDir;
    QString mFileName;
};
