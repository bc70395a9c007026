#pragma once

#include <QDialog>

#include <array>

class PaletteTable;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
struct AppServices;

// The palette grid: 16 x 16 cells of 13 pixels with 2-pixel gaps inside a sunken edge.
class TPaletteGrid : public QWidget
{
    Q_OBJECT
public:
    explicit TPaletteGrid(const PaletteTable &table, QWidget *parent = nullptr);

    // The cell's coloured square in grid coordinates.
    static QRect cellRect(int row, int column);
    // The cell a press at |pos| hits, as (column, row); the border pixels round to the
    // nearer cell toward the top left, so each cell owns 15 pixels from pixel 3 on.
    static QPoint cellAt(const QPoint &pos);

signals:
    void pressed(const QPoint &pos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    const PaletteTable &mTable;
};

// Lets the user choose one colour from a palette grid or by red, green and blue.
// Set SelectedColor before running it; after OK read SelectedColor (0x00BBGGRR).
class TfrmColor : public QDialog
{
    Q_OBJECT
public:
    // Lists the palettes and reads "Web Palette.pal" into the table; a palette that
    // cannot be read is reported through the prompter and the table is kept.
    TfrmColor(AppServices &services, PaletteTable &table, QWidget *parent = nullptr);
    ~TfrmColor() override;

    qint32 SelectedColor() const { return mSelectedColor; }
    void setSelectedColor(qint32 color);
    // The colour the sample shows now.
    qint32 sampleColor() const { return mSample; }

    void done(int result) override;

    TPaletteGrid *pbPalette;
    QWidget *shpPicker;
    QComboBox *cbPalette;
    QScrollBar *hsbRed;
    QScrollBar *hsbGreen;
    QScrollBar *hsbBlue;
    QLineEdit *txtRed;
    QLineEdit *txtGreen;
    QLineEdit *txtBlue;
    QLineEdit *txtHRed;
    QLineEdit *txtHGreen;
    QLineEdit *txtHBlue;
    QWidget *shpPreview;
    QPushButton *bntOK;
    QPushButton *btnCancel;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildChannelRow(int channel, const QString &name, const QColor &barColor, int top);
    bool readPalette(const QString &path);
    void cbPaletteChange(int index);
    void pbPaletteMouseDown(const QPoint &pos);
    void txtColorChange(int channel);
    void txtHexExit(int channel);
    void hsbColorChange(int channel);
    void showSample(qint32 color);
    void updateSampleFromBars();

    AppServices &mServices;
    PaletteTable &mTable;
    QStringList mPalettePaths;
    std::array<QScrollBar *, 3> mBars{};
    std::array<QLineEdit *, 3> mDecimal{};
    std::array<QLineEdit *, 3> mHex{};
    qint32 mSample = 0x00FFFFFF;
    qint32 mSelectedColor = 0x00FFFFFF;
};
