#include "imagepanel.h"

#include "platform/boundedread.h"
#include "platform/busycursor.h"
#include "widgets/accessiblename.h"
#include "widgets/pictures.h"

#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kMarginWhenLarger = 12;

// Left (or top) of a control of that size in the middle of a box of that size.
int centred(int box, int control)
{
    return control > box ? kMarginWhenLarger : (box - control) / 2;
}
}

ImagePanel::ImagePanel(const ProgramFolder &programFolder, WhatsThisMenu &whatsThis, QWidget *parent)
    : BlockPanel(btImage, QStringLiteral("pnlImages"), tr("Image"),
                 tr("Select an image for your page. To make it a link add a link in Make image a link."), whatsThis, parent),
      mProgramFolder(programFolder)
{
    using B = Pictures::Button;
    QVBoxLayout &layout = *body();
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);

    auto labelled = [this, grid](int row, int column, const QString &caption, QWidget *control, int topic, int span = 1) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(control);
        AccessibleName::setLabelled(*control, caption);
        attachHelp(*label, topic);
        grid->addWidget(label, row, column, 1, span);
        grid->addWidget(control, row + 1, column, 1, span);
    };

    txtImageFile = named(new QLineEdit(this), QStringLiteral("txtImageFile"), 19);
    btnImagePic = makeToolButton(QStringLiteral("btnImagePic"), tr("Browse"), Pictures::button(B::Browse));
    labelled(0, 0, tr("I&mage"), txtImageFile, 19, 3);
    grid->addWidget(btnImagePic, 1, 3);

    txtImageH = named(new QLineEdit(this), QStringLiteral("txtImageH"), 18);
    txtImageW = named(new QLineEdit(this), QStringLiteral("txtImageW"), 17);
    cbImageAlign = named(new QComboBox(this), QStringLiteral("cbImageAlign"), 16);
    cbImageAlign->setEditable(true);
    cbImageAlign->addItems({QStringLiteral("LEFT"), QStringLiteral("RIGHT"), QStringLiteral("TOP"), QStringLiteral("MIDDLE"),
                            QStringLiteral("BOTTOM"), QStringLiteral("ABSMIDDLE")});
    cbImageAlign->setCurrentIndex(-1);
    cbImageAlign->setEditText(QString());
    labelled(2, 0, tr("&Height"), txtImageH, 18);
    labelled(2, 1, tr("&Width"), txtImageW, 17);
    labelled(2, 2, tr("&Align"), cbImageAlign, 16);

    txtImageAlt = named(new QLineEdit(this), QStringLiteral("txtImageAlt"), 21);
    labelled(4, 0, tr("&Image Hint:"), txtImageAlt, 21, 3);

    txtImageLink = named(new QLineEdit(this), QStringLiteral("txtImageLink"), 31);
    labelled(6, 0, tr("Make image a lin&k"), txtImageLink, 31, 3);
    auto *linkButtons = new QHBoxLayout;
    btnImageLink = makeToolButton(QStringLiteral("btnImageLink"), tr("Browse"), Pictures::button(B::Browse));
    btnImageIE = makeToolButton(QStringLiteral("btnImageIE"), tr("Favorites"), Pictures::button(B::Favorites));
    btnImageNetscape = makeToolButton(QStringLiteral("btnImageNetscape"), tr("Netscape Bookmarks"), Pictures::button(B::Bookmarks));
    linkButtons->addWidget(btnImageLink);
    linkButtons->addWidget(btnImageIE);
    linkButtons->addWidget(btnImageNetscape);
    grid->addLayout(linkButtons, 7, 3);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    layout.addLayout(grid);

    sboxImages = named(new QScrollArea(this), QStringLiteral("sboxImages"), 20);
    sboxImages->setWidgetResizable(false);
    mContents = new QWidget;
    sboxImages->setWidget(mContents);
    imgImageView = named(new QLabel(mContents), QStringLiteral("imgImageView"), 20);
    lblNoImage = named(new QLabel(tr("No Image"), mContents), QStringLiteral("lblNoImage"));
    lblNoImage->adjustSize();
    lblNoImage->hide();
    sboxImages->viewport()->installEventFilter(this);
    layout.addWidget(sboxImages, 1);
}

void ImagePanel::fill(const TPageItem &item)
{
    const TImageBlock &block = item.ImageBlock();
    txtImageFile->setText(block.FileName);
    txtImageH->setText(block.Height);
    txtImageW->setText(block.Width);
    cbImageAlign->setEditText(block.Align);
    txtImageAlt->setText(block.Alt);
    txtImageLink->setText(block.ImageLink);
    mPicturePath = mProgramFolder.imagesFolder() + block.FileName;
    if (QFileInfo(mPicturePath).isFile()) {
        lblNoImage->hide();
        // A picture that cannot be read leaves the preview as it was.
        loadPreview(mPicturePath);
    } else {
        showNoImage();
    }
    centrePreview();
}

void ImagePanel::store(TPageItem &item) const
{
    TImageBlock &block = item.ImageBlock();
    // What is typed into the file box is only shown; the picture path is what counts.
    block.FileName = QFileInfo(mPicturePath).fileName();
    block.Height = txtImageH->text();
    block.Width = txtImageW->text();
    block.Align = cbImageAlign->currentText();
    block.Alt = txtImageAlt->text();
    block.ImageLink = txtImageLink->text();
}

bool ImagePanel::loadPreview(const QString &file)
{
    BusyCursor busy;
    // A pipe or a device is no picture, and would never end.
    QFile device(file);
    if (!BoundedRead::openRegularFile(device))
        return false;
    QImageReader reader(&device);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    lblNoImage->hide();
    imgImageView->setPixmap(QPixmap::fromImage(image));
    imgImageView->resize(image.size());
    imgImageView->show();
    fitContents();
    return true;
}

void ImagePanel::showNoImage()
{
    imgImageView->clear();
    imgImageView->resize(0, 0);
    fitContents();
    centre(*lblNoImage);
    lblNoImage->show();
}

void ImagePanel::centrePreview()
{
    fitContents();
    centre(*imgImageView);
}

bool ImagePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == sboxImages->viewport() && event->type() == QEvent::Resize) {
        centrePreview();
        // The panel may be behind another one, so ask whether the label is shown in it.
        if (!lblNoImage->isHidden())
            centre(*lblNoImage);
    }
    return BlockPanel::eventFilter(watched, event);
}

void ImagePanel::centre(QWidget &control)
{
    const QSize box = sboxImages->viewport()->size();
    control.move(centred(box.width(), control.width()), centred(box.height(), control.height()));
}

void ImagePanel::fitContents()
{
    // The scrolled area covers the box and the picture with its margin, so a large
    // picture can be scrolled to its far edge.
    const QSize box = sboxImages->viewport()->size();
    const QSize picture = imgImageView->size();
    const int width = picture.width() > box.width() ? picture.width() + 2 * kMarginWhenLarger : box.width();
    const int height = picture.height() > box.height() ? picture.height() + 2 * kMarginWhenLarger : box.height();
    mContents->resize(width, height);
}
