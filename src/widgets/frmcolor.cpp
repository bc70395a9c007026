#include "frmcolor.h"

#include "accessiblename.h"

#include "model/errors.h"
#include "model/fontdescription.h"
#include "model/routines.h"
#include "platform/appservices.h"
#include "platform/dialogbuttons.h"
#include "platform/prompter.h"
#include "platform/screencentre.h"
#include "themes/palette.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>

namespace {

constexpr int kCellPitch = 15;
constexpr int kGridSize = 242;
constexpr QPoint kGridPos(6, 10);

// Accepts hexadecimal digits only and shows them in upper case, typed or pasted.
class HexValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        for (const QChar c : std::as_const(input)) {
            const char16_t u = c.unicode();
            const bool hex = (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
            if (!hex)
                return Invalid;
        }
        input = input.toUpper();
        return Acceptable;
    }
};

// The red frame around the clicked cell; presses go through it to the grid.
class PickerFrame : public QWidget
{
public:
    explicit PickerFrame(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(QPen(Qt::red, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
};

// A pipette lying from the top right to its tip at the bottom left, the hot spot.
QCursor eyedropperCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(2, 29);
    painter.rotate(-45);
    QPainterPath glass;
    glass.moveTo(0, 0);
    glass.lineTo(4, -2);
    glass.lineTo(22, -2);
    glass.lineTo(22, 2);
    glass.lineTo(4, 2);
    glass.closeSubpath();
    painter.setPen(QPen(Qt::black, 1.2));
    painter.setBrush(Qt::white);
    painter.drawPath(glass);
    painter.setBrush(Qt::black);
    painter.drawRect(QRectF(22, -4, 3, 8));
    painter.drawRoundedRect(QRectF(25, -3.5, 10, 7), 3, 3);
    painter.end();
    return QCursor(pixmap, 1, 30);
}

}

TPaletteGrid::TPaletteGrid(const PaletteTable &table, QWidget *parent)
    : QWidget(parent), mTable(table)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(eyedropperCursor());
}

QRect TPaletteGrid::cellRect(int row, int column)
{
    return QRect(2 + kCellPitch * column, 2 + kCellPitch * row, kCellPitch - 2, kCellPitch - 2);
}

QPoint TPaletteGrid::cellAt(const QPoint &pos)
{
    // Division truncates toward zero, so pixels 0 to 17 all belong to the first cell.
    return QPoint((pos.x() - 3) / kCellPitch, (pos.y() - 3) / kCellPitch);
}

void TPaletteGrid::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (mTable.isLoaded()) {
        const QRect clip = event->rect();
        const int firstRow = qMax(0, (clip.top() - 1) / kCellPitch);
        const int firstColumn = qMax(0, (clip.left() - 1) / kCellPitch);
        for (int row = firstRow; row < 16 && 1 + kCellPitch * row < height(); ++row) {
            for (int column = firstColumn; column < 16 && 1 + kCellPitch * column < width(); ++column) {
                const qint32 color = mTable.at(16 * row + column);
                painter.fillRect(cellRect(row, column),
                                 QColor(Palette::red(color), Palette::green(color), Palette::blue(color)));
            }
        }
    }
    // The sunken two-line edge.
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(0, 0, right - 1, 0);
    painter.drawLine(0, 0, 0, bottom - 1);
    painter.setPen(Qt::white);
    painter.drawLine(0, bottom, right, bottom);
    painter.drawLine(right, 0, right, bottom);
    painter.setPen(QColor(64, 64, 64));
    painter.drawLine(1, 1, right - 2, 1);
    painter.drawLine(1, 1, 1, bottom - 2);
    painter.setPen(QColor(212, 208, 200));
    painter.drawLine(1, bottom - 1, right - 1, bottom - 1);
    painter.drawLine(right - 1, 1, right - 1, bottom - 1);
}

void TPaletteGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit pressed(event->position().toPoint());
}

TfrmColor::TfrmColor(AppServices &services, PaletteTable &table, QWidget *parent)
    : QDialog(parent), mServices(services), mTable(table)
{
    setWindowTitle(QStringLiteral("Color Picker"));
    setFixedSize(479, 294);

    pbPalette = new TPaletteGrid(mTable, this);
    pbPalette->setObjectName(QStringLiteral("pbPalette"));
    pbPalette->setGeometry(QRect(kGridPos, QSize(kGridSize, kGridSize)));
    connect(pbPalette, &TPaletteGrid::pressed, this, &TfrmColor::pbPaletteMouseDown);

    shpPicker = new PickerFrame(this);
    shpPicker->setObjectName(QStringLiteral("shpPicker"));
    shpPicker->resize(17, 17);
    shpPicker->hide();

    auto *lblRgb = new QLabel(QStringLiteral("RGB"), this);
    lblRgb->setGeometry(378, 8, 40, 18);
    auto *lblHex = new QLabel(QStringLiteral("HEX"), this);
    lblHex->setGeometry(426, 8, 40, 18);
    buildChannelRow(0, QStringLiteral("Red"), Qt::red, 30);
    buildChannelRow(1, QStringLiteral("Green"), QColor(0, 128, 0), 62);
    buildChannelRow(2, QStringLiteral("Blue"), Qt::blue, 94);
    hsbRed = mBars[0];
    hsbGreen = mBars[1];
    hsbBlue = mBars[2];
    txtRed = mDecimal[0];
    txtGreen = mDecimal[1];
    txtBlue = mDecimal[2];
    txtHRed = mHex[0];
    txtHGreen = mHex[1];
    txtHBlue = mHex[2];

    auto *lblSample = new QLabel(QStringLiteral("Sample"), this);
    lblSample->setGeometry(262, 132, 137, 18);
    shpPreview = new QWidget(this);
    shpPreview->setObjectName(QStringLiteral("shpPreview"));
    shpPreview->setGeometry(262, 152, 137, 26);
    shpPreview->setAutoFillBackground(true);
    showSample(mSample);

    cbPalette = new QComboBox(this);
    cbPalette->setObjectName(QStringLiteral("cbPalette"));
    cbPalette->setGeometry(262, 212, 205, 24);
    auto *lblPalette = new QLabel(QStringLiteral("&Palette Name"), this);
    lblPalette->setGeometry(262, 192, 205, 18);
    lblPalette->setBuddy(cbPalette);
    AccessibleName::setLabelled(*cbPalette, lblPalette->text());
    connect(cbPalette, &QComboBox::activated, this, &TfrmColor::cbPaletteChange);

    bntOK = addOkButton(*this, QStringLiteral("bntOK"), QRect(300, 256, 80, 28));
    btnCancel = addCancelButton(*this, QRect(387, 256, 80, 28));
    centreOnScreen(*this);

    const QString folder = mServices.programFolder.palettesFolder();
    const QList<Palette::Entry> palettes = Palette::list(folder);
    for (const Palette::Entry &entry : palettes) {
        cbPalette->addItem(entry.name);
        mPalettePaths.append(entry.path);
    }
    cbPalette->setCurrentIndex(-1);
    if (!readPalette(folder + QStringLiteral("Web Palette.pal")))
        return;
    cbPalette->setCurrentIndex(cbPalette->findText(QStringLiteral("Web Palette"), Qt::MatchExactly));
}

TfrmColor::~TfrmColor() = default;

void TfrmColor::buildChannelRow(int channel, const QString &name, const QColor &barColor, int top)
{
    auto *swatch = new QWidget(this);
    swatch->setGeometry(262, top + 2, 10, 16);
    swatch->setAutoFillBackground(true);
    QPalette swatchPalette = swatch->palette();
    swatchPalette.setColor(QPalette::Window, barColor);
    swatch->setPalette(swatchPalette);

    auto *bar = new QScrollBar(Qt::Horizontal, this);
    bar->setObjectName(QStringLiteral("hsb") + name);
    bar->setGeometry(278, top, 92, 20);
    bar->setRange(0, 255);
    bar->setPageStep(5);
    bar->setValue(255);
    bar->setFocusPolicy(Qt::NoFocus);
    mBars[channel] = bar;

    auto *decimal = new QLineEdit(QStringLiteral("255"), this);
    decimal->setObjectName(QStringLiteral("txt") + name);
    decimal->setGeometry(378, top, 40, 22);
    decimal->setMaxLength(3);
    decimal->setAccessibleName(name);
    decimal->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), decimal));
    mDecimal[channel] = decimal;

    auto *hex = new QLineEdit(QStringLiteral("FF"), this);
    hex->setObjectName(QStringLiteral("txtH") + name);
    hex->setGeometry(426, top, 36, 22);
    hex->setMaxLength(2);
    hex->setAccessibleName(name + QStringLiteral(" (hexadecimal)"));
    hex->setValidator(new HexValidator(hex));
    hex->installEventFilter(this);
    mHex[channel] = hex;

    connect(bar, &QScrollBar::valueChanged, this, [this, channel] { hsbColorChange(channel); });
    connect(decimal, &QLineEdit::textChanged, this, [this, channel] { txtColorChange(channel); });
}

bool TfrmColor::readPalette(const QString &path)
{
    shpPicker->hide();
    QString reason;
    if (!mTable.load(path, &reason)) {
        mServices.prompter.error(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
        return false;
    }
    pbPalette->update();
    return true;
}

void TfrmColor::cbPaletteChange(int index)
{
    if (index >= 0 && index < mPalettePaths.size())
        readPalette(mPalettePaths.at(index));
}

void TfrmColor::pbPaletteMouseDown(const QPoint &pos)
{
    if (!mTable.isLoaded())
        return;
    const QPoint cell = TPaletteGrid::cellAt(pos);
    shpPicker->move(pbPalette->pos() + QPoint(kCellPitch * cell.x(), kCellPitch * cell.y()));
    shpPicker->show();
    shpPicker->raise();
    if (cell.x() >= 16 || cell.y() >= 16)
        return;
    const qint32 color = mTable.at(16 * cell.y() + cell.x());
    showSample(color);
    txtRed->setText(QString::number(Palette::red(color)));
    txtGreen->setText(QString::number(Palette::green(color)));
    txtBlue->setText(QString::number(Palette::blue(color)));
}

void TfrmColor::txtColorChange(int channel)
{
    QLineEdit *edit = mDecimal[channel];
    QScrollBar *bar = mBars[channel];
    const QString head = edit->text().left(3);
    int value = -1;
    if (Routines::IsNumeric(head)) {
        try {
            value = StrToInt(head);
        } catch (const ConvertError &) {
            value = -1;
        }
    }
    if (value >= 0 && value < 256) {
        bar->setValue(value);
    } else {
        // Writing the bar's value back runs this handler again with valid text.
        edit->setText(QString::number(bar->value()));
        edit->setCursorPosition(edit->text().size());
    }
    updateSampleFromBars();
}

void TfrmColor::txtHexExit(int channel)
{
    QLineEdit *edit = mHex[channel];
    QScrollBar *bar = mBars[channel];
    if (edit->text().size() < 2)
        edit->setText(QStringLiteral("%1").arg(bar->value(), 2, 16, QLatin1Char('0')).toUpper());
    else
        bar->setValue(edit->text().toInt(nullptr, 16));
    updateSampleFromBars();
}

void TfrmColor::hsbColorChange(int channel)
{
    const int value = mBars[channel]->value();
    const QString decimal = QString::number(value);
    const QString hex = QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
    if (mDecimal[channel]->text() != decimal)
        mDecimal[channel]->setText(decimal);
    if (mHex[channel]->text() != hex)
        mHex[channel]->setText(hex);
    updateSampleFromBars();
}

void TfrmColor::updateSampleFromBars()
{
    showSample(Palette::rgb(hsbRed->value(), hsbGreen->value(), hsbBlue->value()));
}

void TfrmColor::showSample(qint32 color)
{
    mSample = color;
    QPalette palette = shpPreview->palette();
    palette.setColor(QPalette::Window, QColor(Palette::red(color), Palette::green(color), Palette::blue(color)));
    shpPreview->setPalette(palette);
}

void TfrmColor::setSelectedColor(qint32 color)
{
    mSelectedColor = color;
    hsbRed->setValue(Palette::red(color));
    hsbGreen->setValue(Palette::green(color));
    hsbBlue->setValue(Palette::blue(color));
}

void TfrmColor::done(int result)
{
    mSelectedColor = mSample;
    QDialog::done(result);
}

bool TfrmColor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        for (int channel = 0; channel < 3; ++channel) {
            if (watched == mHex[channel])
                txtHexExit(channel);
        }
    }
    return QDialog::eventFilter(watched, event);
}
