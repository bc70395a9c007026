#pragma once

#include <QList>
#include <QObject>

class QWidget;

// Tells when a control below a widget changes: edit boxes (not read-only), check
// boxes, drop-down lists, list boxes (lines added, removed, moved or replaced) and
// arrow buttons. Programmatic changes count as well, so whoever fills the controls
// from the page ignores what is reported meanwhile. Controls whose state is not part
// of the page are listed as ignored.
class EditWatcher : public QObject
{
    Q_OBJECT
public:
    EditWatcher(QWidget &root, const QList<const QWidget *> &ignored, QObject *parent = nullptr);

signals:
    void edited();

private:
    void watch(QWidget &control);
};
