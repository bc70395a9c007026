#pragma once

#include "widgets/listboxhrz.h"

#include <QHash>

// The upload list of the wizard: one full local path per line, and after it, once a
// profile is chosen, the file's state for that profile's server ("new", "changed",
// "unchanged"), so that the user sees before sending what a run will send.
class UploadFileList : public TListBoxHrz
{
    Q_OBJECT

public:
    static constexpr int StateRole = Qt::UserRole + 1;

    explicit UploadFileList(QWidget *parent = nullptr);

    QStringList paths() const;
    // States by path; a path without one shows none.
    void setStates(const QHash<QString, QString> &states);
    QString stateOf(int row) const;

private:
    // The gap between a path and its state.
    int stateGap() const;
    void widenForStates();
};
