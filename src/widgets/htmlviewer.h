#pragma once

#include <QTextBrowser>

// Shows a page given as HTML lines, with its pictures, and reports link clicks. It
// never keeps a history or a picture cache: every load reads the pictures again from
// the base folder. Scripts and style sheets are not run.
class HtmlViewer : public QTextBrowser
{
    Q_OBJECT
public:
    explicit HtmlViewer(QWidget *parent = nullptr);

    // Empties the viewer (and forgets the pictures it had read).
    void clearPage();
    // The folder against which relative picture and background references are
    // resolved. One trailing separator ('/' or '\') is dropped.
    void setBaseFolder(const QString &folder);
    QString baseFolder() const { return mBaseFolder; }
    // Parses and shows an HTML document given as lines.
    void loadLines(const QStringList &lines);

signals:
    // A link was clicked. A receiver that sets handled stops the viewer from doing
    // anything further; otherwise the viewer shows the linked local file.
    void linkClicked(const QUrl &link, bool &handled);

private:
    void setupDocument();
    void followLink(const QUrl &link);

    QString mBaseFolder;
};
