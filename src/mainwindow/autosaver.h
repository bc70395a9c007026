#pragma once

#include "recoverystore.h"

#include <QObject>
#include <QTimer>

#include <functional>

class DocumentState;

// Keeps the unsaved page in this program's recovery file while the changed flag is
// set: at most once per interval, and whenever the program loses the focus. The file
// goes once the flag is cleared (a completed Save, No to the save question, an undo
// back to the saved page) and when the program closes.
class Autosaver : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultInterval = 30 * 1000;

    // pageNow stores the open panel and gives the page as it is.
    using PageSource = std::function<RecoveryStore::Page()>;

    Autosaver(const QString &folder, DocumentState &document, PageSource pageNow, QObject *parent = nullptr);

    void setInterval(int milliseconds) { mTimer.setInterval(milliseconds); }
    int interval() const { return mTimer.interval(); }

    // Writes the page when it differs from what the file holds. False, with the reason
    // in *error, when the file cannot be written.
    bool saveNow(QString *error = nullptr);
    // Removes the recovery file (after a completed Save, No to the save question, a
    // clean close).
    void discard();

    RecoveryStore &store() { return mStore; }

signals:
    // Writing failed; reported once until a write succeeds again.
    void failed(const QString &reason);

private:
    void changedFlagChanged(bool changed);
    void saveWhenIdle();

    RecoveryStore mStore;
    DocumentState &mDocument;
    PageSource mPageNow;
    QTimer mTimer;
    RecoveryStore::Page mWritten;
    bool mHasWritten = false;
    bool mFailing = false;
};
