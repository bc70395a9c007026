#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

// The splash window shown during start-up, which also serves as the About box.
class TSplashScreen : public QWidget
{
    Q_OBJECT
public:
    enum class Mode { Splash, About };

    // openWebSite runs the main window's command that opens the maker's home page.
    TSplashScreen(Mode mode, std::function<void()> openWebSite, QWidget *parent = nullptr);

    // True once the 2500 ms timer has fired (always in About mode).
    bool timerStopped() const;

    QLabel *imgSplash = nullptr;
    QLabel *lbl = nullptr;
    QTimer *Timer = nullptr;
};
