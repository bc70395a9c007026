#include "helpwindow.h"

#include "appinfo.h"

#include <QDialog>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWhatsThis>

HelpWindow::HelpWindow(const QString &helpFile)
    : mHelpFile(helpFile)
{
}

HelpWindow::~HelpWindow()
{
    delete mWindow;
}

const HelpTopics &HelpWindow::topics()
{
    if (!mLoaded) {
        mLoaded = true;
        QString error;
        if (!mTopics.load(mHelpFile, &error))
            mTopics.parse(QStringLiteral("The help file %1 could not be read: %2").arg(mHelpFile, error));
    }
    return mTopics;
}

QTextBrowser &HelpWindow::ensureWindow()
{
    if (!mWindow) {
        mWindow = new QDialog(nullptr, Qt::Window);
        mWindow->setObjectName(QStringLiteral("frmHelp"));
        mWindow->setWindowTitle(AppInfo::applicationTitle() + QStringLiteral(" Help"));
        mWindow->setAttribute(Qt::WA_DeleteOnClose, false);
        // An open help window does not keep the program running once the main window closes.
        mWindow->setAttribute(Qt::WA_QuitOnClose, false);
        mWindow->resize(560, 480);
        mBrowser = new QTextBrowser(mWindow);
        mBrowser->setObjectName(QStringLiteral("txtHelp"));
        mBrowser->setOpenLinks(false);
        QObject::connect(mBrowser, &QTextBrowser::anchorClicked, mBrowser, [this](const QUrl &url) {
            mBrowser->setHtml(topics().pageHtml(url.toString()));
        });
        auto *layout = new QVBoxLayout(mWindow);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(mBrowser);
    }
    return *mBrowser;
}

void HelpWindow::showContents()
{
    ensureWindow().setHtml(topics().contentsHtml());
    mWindow->show();
    mWindow->raise();
    mWindow->activateWindow();
}

void HelpWindow::showTopic(int topic)
{
    ensureWindow().setHtml(topics().topicHtml(topic)
                           + QStringLiteral("<p><a href=\"%1\">Contents</a></p>").arg(HelpTopics::contentsLink()));
    mWindow->show();
    mWindow->raise();
}

void HelpWindow::showPopup(int topic, const QPoint &globalPos)
{
    QWhatsThis::showText(globalPos, topics().topicHtml(topic));
}

void HelpWindow::close()
{
    QWhatsThis::hideText();
    if (mWindow)
        mWindow->close();
}

QDialog *HelpWindow::window() const
{
    return mWindow;
}
