#pragma once

#include <QDialog>

#include <array>

class PaletteTable;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class RowDrag;
class TListBoxHrz;
class TPagePropertiesBlock;
class TWebTheme;
class UpDown;
class WhatsThisMenu;
struct AppServices;

// The page themes window: look at the themes, add, edit, delete and reorder them, and
// pick the one for the page. It works on the main window's store directly; when it
// closes after any change it writes "Themes.dat" and copies its list into the main
// window's theme list, whether it closes with OK or Cancel.
class TfrmTheme : public QDialog
{
    Q_OBJECT
public:
    // The five colours of the sample, in the order of their help numbers (69 to 73).
    enum ColorSlot { BGColor, TextColor, LinkColor, ALinkColor, VLinkColor };

    // themeList is the main window's list (lstThemes); entry i names store theme i.
    TfrmTheme(AppServices &services, PaletteTable &palette, TWebTheme &store, TListBoxHrz &themeList,
              QWidget *parent = nullptr);
    ~TfrmTheme() override;

    // The theme command: opens the window on the page's theme and, after OK with a
    // theme selected, copies that theme into the page details. Returns whether a theme
    // was applied (false after Cancel and after OK with nothing selected).
    static bool choosePageTheme(AppServices &services, PaletteTable &palette, TWebTheme &store,
                                TListBoxHrz &themeList, TPagePropertiesBlock &page, QWidget *parent);

    // Selects the theme of that name (letter case ignored; none when absent) and
    // scrolls it to the top.
    void selectTheme(const QString &themeName);
    // The selected list entry; -1 when none is selected.
    int selectedTheme() const;
    bool themesChanged() const { return mThemesChanged; }
    qint32 color(ColorSlot slot) const { return mColors[slot]; }
    // The full path of the picture shown, empty when none.
    QString pictureHint() const { return mPictureHint; }

    void done(int result) override;

    TListBoxHrz *lstEditThemes;
    QToolButton *btnAdd;
    QToolButton *btnRemove;
    QToolButton *btnEdit;
    QWidget *lblBGColor;
    QLabel *lblTextColor;
    QLabel *lblLinkColor;
    QLabel *lblALinkColor;
    QLabel *lblVLinkColor;
    QLabel *imgBG;
    QLabel *lblNoImage;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    QWidget *pnlEdit;
    QLineEdit *txtDescription;
    QLineEdit *txtBackground;
    QToolButton *btnBrowse;
    QToolButton *btnClearImage;
    QLineEdit *txtLeftMargin;
    UpDown *updnLeftMargin;
    QPushButton *btnApply;
    QPushButton *btnBack;

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildSample(QWidget &area);
    void buildEditPanel(QWidget &area);
    void lstEditThemesClick();
    void btnAddClick();
    void btnEditClick();
    void btnApplyClick();
    void btnRemoveClick();
    void closeEditPanel();
    void openEditPanel(const QString &caption);
    void rowDropped(int draggedRow, int targetRow);
    void editColor(ColorSlot slot);
    void browse();
    void clearImage();
    // Copies the chosen picture into the backgrounds folder; false (reported) when the
    // copy failed, and then the theme is not written.
    bool placeChosenPicture();
    bool refuseDuplicate(int ownRow);
    void setColor(ColorSlot slot, qint32 color);
    void setMargin(int position);
    // The spin position, after taking the typed margin when it is a number in range.
    int marginPosition();
    void showPicture(const QString &path);
    void setPictureHint(const QString &path);

    AppServices &mServices;
    PaletteTable &mPalette;
    TWebTheme &mStore;
    TListBoxHrz &mThemeList;
    WhatsThisMenu *mWhatsThis = nullptr;
    RowDrag *mRowDrag = nullptr;
    QWidget *mBevel = nullptr;
    std::array<qint32, 5> mColors{};
    std::array<QWidget *, 5> mColorWidgets{};
    QString mPictureHint;
    bool mThemesChanged = false;
    bool mAdding = true;
    bool mPictureChosen = false;
};
