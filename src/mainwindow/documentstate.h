#pragma once

#include <QObject>
#include <QString>

// The main window's hold on the open page: the document's name (its full path, or
// "Untitled"), the window caption that follows from it, and the changed flag.
class DocumentState : public QObject
{
    Q_OBJECT
public:
    QString name() const { return mName; }
    bool isUntitled() const;
    void setName(const QString &path) { mName = path; }
    void setUntitled();

    // The document's file name without folder, the placeholder where a changed page
    // shows its mark ("[*]"), then " - " and the application title.
    QString caption() const;

    bool changed() const { return mChanged; }
    void setChanged(bool changed);

signals:
    void changedFlagChanged(bool changed);

private:
    QString mName = untitled();
    bool mChanged = false;

    static QString untitled();
};
