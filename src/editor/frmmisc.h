#pragma once

#include <QColor>
#include <QDialog>

class PaletteTable;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TListBoxHrz;
class WhatsThisMenu;
struct AppServices;

// One small modal window for three tasks: choosing the heading or paragraph font,
// picking an address out of the browser's bookmark file, and entering a meta tag.
// The caller creates it, sets Mode and the task's inputs, calls execute() and reads
// the task's controls after OK.
class TfrmMisc : public QDialog
{
    Q_OBJECT
public:
    enum TMiscMode { mmFont = 0, mmBookmarks = 1, mmMetaTag = 2 };
    Q_ENUM(TMiscMode)

    // The palette table is handed on to the colour picker of the font task.
    TfrmMisc(AppServices &services, PaletteTable &palette, QWidget *parent = nullptr);
    ~TfrmMisc() override;

    TMiscMode Mode() const { return mMode; }
    void setMode(TMiscMode mode);

    // Prepares the task and runs the window through the modal runner. For the
    // bookmark task that first finds and reads the bookmark file; when none is found
    // and the user does not pick one, the result is Rejected without showing anything.
    int execute();

    // The sample of the font task: the font it edits and its colour.
    void setSampleFont(const QFont &font, const QColor &color);
    QFont sampleFont() const;
    QColor sampleColor() const { return mSampleColor; }

    // Reads the addresses of a bookmark file into lstBookmarks ("No Bookmarks found."
    // when there are none) and selects the first line. False when the file does not
    // exist or cannot be read.
    bool readBookmarks(const QString &path);

    // The point size of each entry of cbSize, "7" to "1".
    static int entryPointSize(int entry);
    // The names a page can use for installed fonts: the platform's family names
    // without their foundry ("Nimbus Sans [urw]" is "Nimbus Sans"), each once, sorted.
    static QStringList familyNames(const QStringList &installed);

    QPushButton *btnOK;
    QPushButton *btnCancel;
    TListBoxHrz *lstBookmarks;

    QWidget *pnlFont;
    QComboBox *cbName;
    QComboBox *cbSize;
    QToolButton *btnBold;
    QToolButton *btnItalic;
    QToolButton *btnUnderline;
    QToolButton *btnColor;
    QLabel *lblPreview;
    QLabel *lblName;
    QLabel *lblSize;
    QLabel *lblStyles;

    QWidget *pnlMeta;
    QLineEdit *txtMetaContent;
    QComboBox *cbMetaName;
    QLabel *lblMetaInfo;
    QLabel *lblMetaName;
    QLabel *lblMetaContent;

    // The "What's This?" menu of the labels.
    WhatsThisMenu *whatsThis;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildFontPanel();
    void buildMetaPanel();
    void prepareFont();
    bool prepareBookmarks();
    void updateMetaOK();
    void btnColorClick();
    void applySample(const QFont &font);

    AppServices &mServices;
    PaletteTable &mPalette;
    TMiscMode mMode = mmBookmarks;
    QColor mSampleColor = Qt::black;
};
