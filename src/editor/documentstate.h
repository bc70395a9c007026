#pragma once

#include <QString>

// The main window's hold on the open page: the document's name (its full path, or
// "Untitled"), the window caption that follows from it, and the changed flag.
class DocumentState
{
public:
    QString name() const { return mName; }
    bool isUntitled() const;
    void setName(const QString &path) { mName = path; }
    void setUntitled();

    // The document's file name without folder, then " - " and the application title.
    QString caption() const;

    // The document's file name without folder and without the text from its last full
    // stop; empty for "Untitled" (it has no full stop).
    QString baseName() const;
    // The base name with every space removed: the name of the page's upload copy.
    QString uploadBaseName() const;

    bool changed() const { return mChanged; }
    void setChanged(bool changed) { mChanged = changed; }

private:
    QString mName = untitled();
    bool mChanged = false;

    static QString untitled();
};
