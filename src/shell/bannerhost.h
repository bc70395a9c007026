#pragma once

#include <QObject>
#include <QString>

class QPainter;
class QWidget;
class Prompter;
class Shell;

// Hosts the advertising banner of the top strip: loads the advertising library at run
// time, starts it, and passes it the window's ticks, clicks and paints while active.
// Without the library the banner is inactive and everything else works as before.
//
// The host watches the banner panel itself: it paints the current banner in the
// panel's paint events and takes the panel's left clicks, so the window only creates
// the host, calls start() and, when it goes away, shutdown(). The host runs its own
// 50 ms timer while active.
class BannerHost : public QObject
{
    Q_OBJECT
public:
    BannerHost(QWidget &bannerPanel, Prompter &prompter, Shell &shell, QObject *parent = nullptr);
    ~BannerHost() override;

    // Where the library is looked for: beside the executable unless set before start().
    void setLibraryFile(const QString &fileName);
    QString libraryFile() const;

    // Starts the library; false (inactive) when it is absent or refuses to start, after
    // reporting the refusal through the prompter.
    bool start();
    bool isActive() const;

    void tick();                  // every 50 ms while active
    void click();                 // the banner panel was clicked
    void paint(QPainter &painter); // paints the banner on the panel (a painter on the banner panel)
    void shutdown();              // the main window is going away

    // The ad location's handle (-1 when none) and whether a banner picture is held.
    int location() const;
    bool hasBanner() const;

    static constexpr int kTickMs = 50;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Private;
    Private *d;
};
