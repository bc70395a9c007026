#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The help text, read from a plain text file so that it can be written and reviewed
// like any other source:
//
//   Introduction paragraphs (shown on the contents page)
//   # Chapter title
//   ## 13, 14 Topic title        topic for the numbers 13 and 14
//   ## Topic title               a topic reached from the contents page only
//   Paragraphs, separated by blank lines; "- " starts a list item; **bold**.
class HelpTopics
{
public:
    bool load(const QString &path, QString *error = nullptr);
    void parse(const QString &text);

    bool isEmpty() const { return mTopics.isEmpty(); }
    bool contains(int number) const { return mByNumber.contains(number); }
    QList<int> numbers() const;
    QString title(int number) const;

    // One topic as HTML: its title as a heading, then its text.
    QString topicHtml(int number) const;
    // Links inside the help pages: "help:<n>" opens the n-th topic of the file,
    // "help:contents" the contents page.
    QString pageHtml(const QString &link) const;
    QString contentsHtml() const;
    static QString contentsLink() { return QStringLiteral("help:contents"); }

private:
    struct Topic
    {
        QString title;
        QList<int> numbers;
        QStringList lines;
    };
    struct Chapter
    {
        QString title;
        QList<int> topics; // indexes into mTopics
    };

    QString renderTopic(const Topic &topic) const;
    static QString renderText(const QStringList &lines);

    QStringList mIntroduction;
    QList<Topic> mTopics;
    QList<Chapter> mChapters;
    QHash<int, int> mByNumber; // help number -> index into mTopics
};
