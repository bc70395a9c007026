#pragma once

#include <QWidget>

class QToolButton;

// A pair of arrow buttons that step a position between a minimum and a maximum,
// without wrapping around. clicked() follows every press of either arrow, also at
// the ends, after the position has changed.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    void setIncrement(int increment) { mIncrement = increment; }
    int minimum() const { return mMinimum; }
    int maximum() const { return mMaximum; }
    int position() const { return mPosition; }
    // Clamped to the range; emits nothing.
    void setPosition(int position);

    // What pressing an arrow does: one step up or down, then clicked().
    void stepUp();
    void stepDown();

    QToolButton *upButton() const { return mUp; }
    QToolButton *downButton() const { return mDown; }

signals:
    void clicked();

private:
    QToolButton *mUp = nullptr;
    QToolButton *mDown = nullptr;
    int mMinimum = 0;
    int mMaximum = 100;
    int mIncrement = 1;
    int mPosition = 0;
};
