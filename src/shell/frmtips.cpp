#include "frmtips.h"

#include "platform/screencentre.h"
#include "platform/settings.h"
#include "platform/textfile.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

TfrmTips::TfrmTips(const ProgramFolder &programFolder, Settings &settings, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      mSettings(settings),
      mRandom(quint32(QDateTime::currentMSecsSinceEpoch()))
{
    setObjectName(QStringLiteral("frmTips"));
    setWindowTitle(QStringLiteral("Tips"));
    setFixedSize(439, 239);

    auto *area = new QFrame(this);
    area->setObjectName(QStringLiteral("pnlTip"));
    area->setGeometry(8, 8, 423, 180);
    area->setFrameShape(QFrame::Panel);
    area->setFrameShadow(QFrame::Sunken);
    area->setAutoFillBackground(true);
    QPalette white = area->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    area->setPalette(white);

    auto *picture = new QLabel(area);
    picture->setObjectName(QStringLiteral("imgTip"));
    picture->setGeometry(14, 14, 48, 48);
    picture->setPixmap(QPixmap(QStringLiteral(":/shell/tip.svg")).scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    auto *heading = new QLabel(QStringLiteral("Did you know..."), area);
    heading->setObjectName(QStringLiteral("lblHeading"));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    heading->setFont(bold);
    heading->setGeometry(74, 18, 291, 28);

    lblTip = new QLabel(area);
    lblTip->setObjectName(QStringLiteral("lblTip"));
    lblTip->setGeometry(74, 50, 291, 120);
    lblTip->setWordWrap(true);
    lblTip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTip->setTextFormat(Qt::PlainText);

    chkShow = new QCheckBox(QStringLiteral("&Show at startup"), this);
    chkShow->setObjectName(QStringLiteral("chkShow"));
    chkShow->setGeometry(10, 202, 200, 24);

    btnNext = new QPushButton(QStringLiteral("&Next Tip"), this);
    btnNext->setObjectName(QStringLiteral("btnNext"));
    btnNext->setGeometry(262, 200, 82, 27);
    btnNext->setAutoDefault(false);

    btnClose = new QPushButton(QStringLiteral("&Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(349, 200, 82, 27);
    btnClose->setAutoDefault(false);

    connect(btnNext, &QPushButton::clicked, this, &TfrmTips::btnNextClick);
    // Escape rejects the dialog, which closes it like the Close button.
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    if (TextFile::readLines(programFolder.tipsFile(), mTips) && !mTips.isEmpty()) {
        mLastIndex = int(mTips.size()) - 1;
        showRandomTip();
    } else {
        mTips.clear();
        btnNext->setEnabled(false);
        lblTip->setText(QStringLiteral("Could not load tips file! Please make sure Tips.txt is in the application folder of ")
                        + programFolder.path() + QStringLiteral("."));
    }
    setTabOrder(btnNext, btnClose);
    setTabOrder(btnClose, chkShow);
    btnNext->setFocus();
    centreOnScreen(*this);
}

void TfrmTips::setShowAtStartup(bool show)
{
    chkShow->setChecked(show);
}

bool TfrmTips::showAtStartup() const
{
    return chkShow->isChecked();
}

void TfrmTips::showRandomTip()
{
    // The last line is never drawn; with one line there is nothing else to draw.
    const int index = mLastIndex > 0 ? int(mRandom.bounded(mLastIndex)) : 0;
    lblTip->setText(mTips.value(index));
}

void TfrmTips::btnNextClick()
{
    showRandomTip();
}

void TfrmTips::done(int result)
{
    mSettings.writeString(SettingsKeys::tipDay(), showAtStartup() ? QStringLiteral("1") : QStringLiteral("0"));
    mSettings.sync();
    QDialog::done(result);
}
