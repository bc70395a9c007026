#include "splashscreen.h"

#include "platform/makerconfig.h"
#include "platform/screencentre.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

TSplashScreen::TSplashScreen(Mode mode, std::function<void()> openWebSite, QWidget *parent)
    : QDialog(parent, (mode == Mode::Splash ? Qt::SplashScreen : Qt::Dialog) | Qt::FramelessWindowHint),
      mOpenWebSite(std::move(openWebSite))
{
    setObjectName(QStringLiteral("SplashScreen"));
    setFixedSize(400, 320);

    imgSplash = new QLabel(this);
    imgSplash->setObjectName(QStringLiteral("imgSplash"));
    imgSplash->setGeometry(0, 0, 400, 320);
    imgSplash->setPixmap(QPixmap(QStringLiteral(":/shell/splash.svg")).scaled(400, 320));
    imgSplash->installEventFilter(this);

    lbl = new QLabel(this);
    lbl->setObjectName(QStringLiteral("lbl"));
    lbl->move(7, 299);
    lbl->setStyleSheet(QStringLiteral("color: white;"));
    lbl->setCursor(Qt::PointingHandCursor);
    lbl->installEventFilter(this);
    setWebAddress(MakerConfig::defaults().homePage);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setSingleShot(true);
    Timer->setInterval(kDisplayMs);

    // During start-up the picture takes no clicks. A disabled label would paint the
    // picture greyed out, so it lets the clicks through instead.
    mPictureClickable = mode == Mode::About;
    imgSplash->setAttribute(Qt::WA_TransparentForMouseEvents, !mPictureClickable);
    lbl->setVisible(mode == Mode::About);
    if (mode == Mode::Splash) {
        Timer->start();
    }
    centreOnScreen(*this);
}

void TSplashScreen::setWebAddress(const QString &address)
{
    QString shown = address;
    shown.remove(QStringLiteral("http://")).remove(QStringLiteral("https://"));
    lbl->setText(shown);
    lbl->adjustSize();
}

bool TSplashScreen::timerStopped() const
{
    return !Timer->isActive();
}

void TSplashScreen::hideWhenShown(QWidget &window)
{
    mWatchedWindow = &window;
    window.installEventFilter(this);
}

void TSplashScreen::done(int result)
{
    if (!timerStopped())
        return;
    QDialog::done(result);
}

void TSplashScreen::closeEvent(QCloseEvent *event)
{
    if (!timerStopped()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool TSplashScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mWatchedWindow && event->type() == QEvent::Show) {
        hide();
        return false;
    }
    if (event->type() != QEvent::MouseButtonRelease)
        return QDialog::eventFilter(watched, event);
    if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
        return false;
    if (watched == imgSplash && mPictureClickable) {
        close();
        return true;
    }
    if (watched == lbl && lbl->isVisible()) {
        if (mOpenWebSite)
            mOpenWebSite();
        close();
        return true;
    }
    return false;
}
