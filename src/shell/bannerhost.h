#pragma once

#include <QObject>

class QPainter;
class QWidget;
class Prompter;
class Shell;

// Hosts the advertising banner of the top strip: loads the advertising library at run
// time, starts it, and passes it the window's ticks, clicks and paints while active.
// Without the library the banner is inactive and everything else works as before.
class BannerHost : public QObject
{
    Q_OBJECT
public:
    BannerHost(QWidget &bannerPanel, Prompter &prompter, Shell &shell, QObject *parent = nullptr);
    ~BannerHost() override;

    // Starts the library; false (inactive) when it is absent or refuses to start, after
    // reporting the refusal through the prompter.
    bool start();
    bool isActive() const;

    void tick();                  // every 50 ms while active
    void click();                 // the banner panel was clicked
    void paint(QPainter &painter); // the top strip is painted
    void shutdown();              // the main window is going away

private:
    struct Private;
    Private *d;
};
