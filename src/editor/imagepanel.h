#pragma once

#include "platform/programfolder.h"
#include "widgets/blockpanel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;

// A picture: the file (kept in the program folder's images folder), its size, its
// alignment, hint and link, with a preview of the picture in a scroll box.
class ImagePanel : public BlockPanel
{
    Q_OBJECT
public:
    ImagePanel(const ProgramFolder &programFolder, WhatsThisMenu &whatsThis, QWidget *parent = nullptr);

    // The page keeps only the picture's file name; showing an item looks for it in the
    // images folder and shows "No Image" when it is not there.
    void fill(const TPageItem &item) override;
    void store(TPageItem &item) const override;

    // The full path of the picture the panel stands for.
    QString picturePath() const { return mPicturePath; }
    void setPicturePath(const QString &path) { mPicturePath = path; }

    // Loads the file into the preview (hiding "No Image") with the busy cursor. False,
    // with the preview unchanged, when the file cannot be read.
    bool loadPreview(const QString &file);
    // Empties the preview and shows "No Image" in the middle of the box.
    void showNoImage();
    // Places the preview picture in the middle of the scroll box (12 pixels from the
    // box's edge when it is larger than the box).
    void centrePreview();

    QLineEdit *txtImageFile = nullptr;
    QLineEdit *txtImageH = nullptr;
    QLineEdit *txtImageW = nullptr;
    QComboBox *cbImageAlign = nullptr;
    QLineEdit *txtImageAlt = nullptr;
    QLineEdit *txtImageLink = nullptr;
    QToolButton *btnImagePic = nullptr;
    QToolButton *btnImageLink = nullptr;
    QToolButton *btnImageIE = nullptr;
    QToolButton *btnImageNetscape = nullptr;
    QScrollArea *sboxImages = nullptr;
    QLabel *imgImageView = nullptr;
    QLabel *lblNoImage = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centre(QWidget &control);
    void fitContents();

    ProgramFolder mProgramFolder;
    QString mPicturePath;
    QWidget *mContents = nullptr;
};
