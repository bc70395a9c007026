#pragma once

#include "helpengine.h"
#include "helptopics.h"

#include <QPointer>
#include <QString>

class QDialog;
class QTextBrowser;

// The production help engine: the help text file in the program folder's help/
// folder, a contents window with links between the topics, and "What's This?"
// pop-ups. The file is read when help is first asked for.
class HelpWindow : public HelpEngine
{
public:
    explicit HelpWindow(const QString &helpFile);
    ~HelpWindow() override;

    void showContents() override;
    void showPopup(int topic, const QPoint &globalPos) override;
    void close() override;

    // Opens the contents window on one topic.
    void showTopic(int topic);

    // The window (objectName "frmHelp", browser "txtHelp"); null until first shown.
    QDialog *window() const;

    static QString helpFileName() { return QStringLiteral("topics.txt"); }

private:
    const HelpTopics &topics();
    QTextBrowser &ensureWindow();

    QString mHelpFile;
    HelpTopics mTopics;
    bool mLoaded = false;
    QPointer<QDialog> mWindow;
    QTextBrowser *mBrowser = nullptr;
};
