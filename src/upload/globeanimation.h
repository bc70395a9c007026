#pragma once

#include <QBasicTimer>
#include <QWidget>

// A turning globe with a page travelling up to it, painted frame by frame: the
// wizard's sign that an upload is running. Stopped, it shows its first frame.
class GlobeAnimation : public QWidget
{
    Q_OBJECT
public:
    explicit GlobeAnimation(QWidget *parent = nullptr);

    static constexpr int frameCount = 36;
    static constexpr int frameInterval = 80; // milliseconds

    void play();
    // Stops and goes back to the first frame.
    void stop();
    bool isPlaying() const { return mTimer.isActive(); }
    int frame() const { return mFrame; }

    QSize sizeHint() const override { return {56, 56}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    QBasicTimer mTimer;
    int mFrame = 0;
};
