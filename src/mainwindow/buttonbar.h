#pragma once

#include <QWidget>

class QToolButton;

// The button bar along the right edge: four large buttons (picture above caption)
// and four small ones below them, on a background framed by a line that slants from
// the top-left corner down to the right edge at the height of the first large button.
class ButtonBar : public QWidget
{
    Q_OBJECT
public:
    explicit ButtonBar(QWidget *parent = nullptr);

    QToolButton *btnCreate = nullptr;
    QToolButton *btnPreview = nullptr;
    QToolButton *btnSave = nullptr;
    QToolButton *btnUpload = nullptr;
    QToolButton *btnAdRemove = nullptr;
    QToolButton *btnHelp = nullptr;
    QToolButton *btnHosting = nullptr;
    QToolButton *btnCustom = nullptr;

    // The four large buttons, for the context menu.
    QList<QWidget *> largeButtons() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
