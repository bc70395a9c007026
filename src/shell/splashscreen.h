#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QTimer;

// The splash window shown during start-up, which also serves as the About box. As a
// splash window it refuses to close until its 2500 ms timer has fired and ignores
// clicks; as the About box its picture closes it and its web address label opens the
// maker's home page.
class TSplashScreen : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Splash, About };

    // openWebSite runs the main window's command that opens the maker's home page.
    TSplashScreen(Mode mode, std::function<void()> openWebSite, QWidget *parent = nullptr);

    // True once the 2500 ms timer has fired (always in About mode).
    bool timerStopped() const;
    // Whether a click on the picture closes the window (About mode only).
    bool pictureClickable() const { return mPictureClickable; }

    // Hides this window when the given window is first shown (the main window takes
    // over from the splash window while the start-up wait goes on).
    void hideWhenShown(QWidget &window);

    // The web address the label shows.
    void setWebAddress(const QString &address);

    static constexpr int kDisplayMs = 2500;

    QLabel *imgSplash = nullptr;
    QLabel *lbl = nullptr;
    QTimer *Timer = nullptr;

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> mOpenWebSite;
    QWidget *mWatchedWindow = nullptr;
    bool mPictureClickable = false;
};
