#include "memobox.h"

#include <QKeyEvent>
#include <QTextDocument>

MemoBox::MemoBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
}

QString MemoBox::text() const
{
    // The raw text keeps non-breaking spaces, which the plain-text view would turn
    // into ordinary ones.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void MemoBox::setText(const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    setPlainText(plain);
}

void MemoBox::keyPressEvent(QKeyEvent *event)
{
    if (!mWantReturns && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
