#include "helptopics.h"

#include "textfile.h"

#include <QRegularExpression>

#include <algorithm>

bool HelpTopics::load(const QString &path, QString *error)
{
    QStringList lines;
    if (!TextFile::readLines(path, lines, error))
        return false;
    parse(lines.join(u'\n'));
    return true;
}

void HelpTopics::parse(const QString &text)
{
    mIntroduction.clear();
    mTopics.clear();
    mChapters.clear();
    mByNumber.clear();

    static const QRegularExpression numbered(QStringLiteral("^((?:\\d+\\s*,\\s*)*\\d+)\\s+(.*)$"));
    QStringList *body = &mIntroduction;
    for (const QString &line : TextFile::splitLines(text)) {
        if (line.startsWith(QLatin1StringView("## "))) {
            Topic topic;
            QString heading = line.mid(3).trimmed();
            const QRegularExpressionMatch match = numbered.match(heading);
            if (match.hasMatch()) {
                for (const QString &n : match.captured(1).split(u',', Qt::SkipEmptyParts))
                    topic.numbers.append(n.trimmed().toInt());
                heading = match.captured(2).trimmed();
            }
            topic.title = heading;
            const int index = int(mTopics.size());
            for (int n : std::as_const(topic.numbers))
                mByNumber.insert(n, index);
            if (mChapters.isEmpty())
                mChapters.append({QString(), {}});
            mChapters.last().topics.append(index);
            mTopics.append(topic);
            body = &mTopics.last().lines;
        } else if (line.startsWith(QLatin1StringView("# "))) {
            mChapters.append({line.mid(2).trimmed(), {}});
            body = nullptr;
        } else if (body) {
            body->append(line);
        }
    }
}

QList<int> HelpTopics::numbers() const
{
    QList<int> list = mByNumber.keys();
    std::sort(list.begin(), list.end());
    return list;
}

QString HelpTopics::title(int number) const
{
    const auto it = mByNumber.constFind(number);
    return it == mByNumber.cend() ? QString() : mTopics[*it].title;
}

QString HelpTopics::topicHtml(int number) const
{
    const auto it = mByNumber.constFind(number);
    if (it == mByNumber.cend())
        return QStringLiteral("<p>There is no help for this item.</p>");
    return renderTopic(mTopics[*it]);
}

QString HelpTopics::pageHtml(const QString &link) const
{
    static const QString prefix = QStringLiteral("help:");
    bool ok = false;
    const int index = link.startsWith(prefix) ? link.mid(prefix.size()).toInt(&ok) : -1;
    if (!ok || index < 0 || index >= mTopics.size())
        return contentsHtml();
    return renderTopic(mTopics[index]) + QStringLiteral("<p><a href=\"%1\">Contents</a></p>").arg(contentsLink());
}

QString HelpTopics::contentsHtml() const
{
    QString html = QStringLiteral("<h2>Contents</h2>") + renderText(mIntroduction);
    for (const Chapter &chapter : mChapters) {
        if (!chapter.title.isEmpty())
            html += QStringLiteral("<h3>%1</h3>").arg(chapter.title.toHtmlEscaped());
        html += QStringLiteral("<ul>");
        for (int index : chapter.topics)
            html += QStringLiteral("<li><a href=\"help:%1\">%2</a></li>").arg(index).arg(mTopics[index].title.toHtmlEscaped());
        html += QStringLiteral("</ul>");
    }
    return html;
}

QString HelpTopics::renderTopic(const Topic &topic) const
{
    return QStringLiteral("<h3>%1</h3>").arg(topic.title.toHtmlEscaped()) + renderText(topic.lines);
}

QString HelpTopics::renderText(const QStringList &lines)
{
    static const QRegularExpression bold(QStringLiteral("\\*\\*(.+?)\\*\\*"));
    auto inlineHtml = [](const QString &text) {
        QString html = text.toHtmlEscaped();
        html.replace(bold, QStringLiteral("<b>\\1</b>"));
        return html;
    };

    QString html;
    QString paragraph;
    bool inList = false;
    auto flushParagraph = [&] {
        if (!paragraph.isEmpty())
            html += QStringLiteral("<p>%1</p>").arg(inlineHtml(paragraph));
        paragraph.clear();
    };
    auto closeList = [&] {
        if (inList)
            html += QStringLiteral("</ul>");
        inList = false;
    };
    for (const QString &raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) {
            flushParagraph();
            closeList();
        } else if (line.startsWith(QLatin1StringView("- "))) {
            flushParagraph();
            if (!inList)
                html += QStringLiteral("<ul>");
            inList = true;
            html += QStringLiteral("<li>%1</li>").arg(inlineHtml(line.mid(2)));
        } else if (inList) {
            // A continuation line of the last list item.
            html.insert(html.size() - int(qstrlen("</li>")), u' ' + inlineHtml(line));
        } else {
            paragraph += (paragraph.isEmpty() ? QString() : QStringLiteral(" ")) + line;
        }
    }
    flushParagraph();
    closeList();
    return html;
}
