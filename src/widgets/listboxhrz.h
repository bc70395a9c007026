#pragma once

#include <QListWidget>

// A list box whose lines may be wider than the box: it keeps its horizontal scroll
// extent (CurrentWidth) wide enough for its longest line, so a horizontal scroll bar
// shows when needed. The extent follows four rules: an added line that is wider than
// the extent widens it to the line plus the tab width; a deleted line or a new font
// sets it to the widest remaining line plus the tab width; clearing sets it to 0.
// A line's width is the width of its text with "XX" appended, in the list's font.
class TListBoxHrz : public QListWidget
{
    Q_OBJECT
    Q_PROPERTY(int CurrentWidth READ CurrentWidth WRITE setCurrentWidth)
public:
    explicit TListBoxHrz(QWidget *parent = nullptr);
    ~TListBoxHrz() override;

    int CurrentWidth() const { return mCurrentWidth; }
    void setCurrentWidth(int width);

    // Tab stops every dialogUnits horizontal dialog units (four to the font's average
    // character width), so the text after a tab character lines up in a column. 0
    // (the default) removes them.
    void setTabStops(int dialogUnits);
    // Pixel width of one tab stop; 0 without tab stops.
    int tabWidth() const { return mTabWidth; }

    int lineWidth(const QString &text) const;

    // The lines joined, each followed by CR LF (the form pages store multi-line lists in).
    QString joinedLines() const;
    // Replaces the lines by those of text (split at CR LF, CR or LF; no empty last line).
    void setJoinedLines(const QString &text);

protected:
    void updateGeometries() override;
    void changeEvent(QEvent *event) override;

private:
    void linesInserted(int first, int last);
    // The extent for every line but those from skipFirst to skipLast.
    void recalculate(int skipFirst = -1, int skipLast = -1);
    void updateTabWidth();

    int mCurrentWidth = 0;
    int mTabDialogUnits = 0;
    int mTabWidth = 0;
};
