#include "hrpanel.h"

#include "widgets/updown.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {
constexpr int kDesignBarWidth = 250;
constexpr int kPreviewHeight = 24;
}

HRPanel::HRPanel(WhatsThisMenu &whatsThis, QWidget *parent)
    : BlockPanel(btHR, QStringLiteral("pnlHR"), tr("Horizontal Line"),
                 tr("Add a line to separate parts of the page with a page divider."), whatsThis, parent)
{
    QVBoxLayout &layout = *body();

    auto *widthRow = new QHBoxLayout;
    txtHRWidth = named(new QLineEdit(this), QStringLiteral("txtHRWidth"), 51);
    txtHRWidth->setReadOnly(true);
    txtHRWidth->setFocusPolicy(Qt::NoFocus);
    txtHRWidth->setFixedWidth(40);
    txtHRWidth->setBackgroundRole(QPalette::Button);
    QPalette facePalette = txtHRWidth->palette();
    facePalette.setColor(QPalette::Base, facePalette.color(QPalette::Button));
    txtHRWidth->setPalette(facePalette);
    updnHRWidth = named(new UpDown(this), QStringLiteral("updnHRWidth"), 51);
    updnHRWidth->setRange(5, 100);
    updnHRWidth->setIncrement(5);
    updnHRWidth->setPosition(100);
    addLabel(layout, tr("How wide is this line? (% Percentage)"), txtHRWidth, 51);
    widthRow->addWidget(txtHRWidth);
    widthRow->addWidget(updnHRWidth);
    widthRow->addStretch(1);
    layout.addLayout(widthRow);

    cbHR = named(new QComboBox(this), QStringLiteral("cbHR"), 50);
    cbHR->addItems({tr("1 Thinnest"), tr("2 Thinner"), tr("3 Thin"), tr("4 Thick"), tr("5 Thicker"), tr("6 Thickest")});
    addLabel(layout, tr("How thick is this line?"), cbHR, 50);
    layout.addWidget(cbHR, 0, Qt::AlignLeft);

    chkNoShade = named(new QCheckBox(tr("&Yes, make line noshade"), this), QStringLiteral("chkNoShade"), 190);
    addLabel(layout, tr("Do you want to remove the line shading?"), nullptr, 190);
    layout.addWidget(chkNoShade);

    layout.addSpacing(12);
    auto *previewLabel = new QLabel(tr("Active Preview"), this);
    previewLabel->setAlignment(Qt::AlignHCenter);
    layout.addWidget(previewLabel);
    // The bar is placed by hand inside its strip, so its size and place are exactly
    // the ones the rules give.
    pnlHRPreview = new QWidget(this);
    pnlHRPreview->setObjectName(QStringLiteral("pnlHRPreview"));
    pnlHRPreview->setFixedHeight(kPreviewHeight);
    shpHR = new QFrame(pnlHRPreview);
    shpHR->setObjectName(QStringLiteral("shpHR"));
    shpHR->setFrameShape(QFrame::Panel);
    shpHR->setFrameShadow(QFrame::Sunken);
    shpHR->setLineWidth(1);
    shpHR->setGeometry(0, 0, kDesignBarWidth, 3);
    pnlHRPreview->installEventFilter(this);
    layout.addWidget(pnlHRPreview);
    layout.addStretch(1);

    connect(cbHR, &QComboBox::activated, this, &HRPanel::thicknessChosen);
    connect(updnHRWidth, &UpDown::clicked, this, &HRPanel::widthClicked);
    cbHR->setCurrentIndex(0);
    showWidth();
}

bool HRPanel::eventFilter(QObject *watched, QEvent *event)
{
    // The bar starts in the middle of its strip, where the layout first puts it; after
    // that only a click on the width moves it, or a narrower strip that it would
    // otherwise stick out of.
    const bool laidOut = event->type() == QEvent::Resize || event->type() == QEvent::Show;
    if (watched == pnlHRPreview && laidOut && pnlHRPreview->isVisible()) {
        if (!mBarPlaced) {
            mBarPlaced = true;
            shpHR->move((pnlHRPreview->width() - shpHR->width()) / 2, shpHR->y());
        } else {
            const int lastLeft = qMax(0, pnlHRPreview->width() - shpHR->width());
            shpHR->move(qBound(0, shpHR->x(), lastLeft), shpHR->y());
        }
    }
    return BlockPanel::eventFilter(watched, event);
}

void HRPanel::recordFullWidth()
{
    mFullWidth = shpHR->width();
}

void HRPanel::fill(const TPageItem &item)
{
    const THRBlock &block = item.HRBlock();
    cbHR->setCurrentIndex(block.Size >= 0 && block.Size < cbHR->count() ? block.Size : -1);
    thicknessChosen(cbHR->currentIndex());
    updnHRWidth->setPosition(block.Width);
    showWidth();
    chkNoShade->setChecked(block.NoShade);
    shpHR->resize(barWidth(), shpHR->height());
}

void HRPanel::store(TPageItem &item) const
{
    THRBlock &block = item.HRBlock();
    block.Width = updnHRWidth->position();
    // A thickness the list does not offer (from a hand-made document) stays as it was.
    if (cbHR->currentIndex() >= 0)
        block.Size = cbHR->currentIndex();
    block.NoShade = chkNoShade->isChecked();
}

void HRPanel::thicknessChosen(int index)
{
    if (index >= 0)
        shpHR->resize(shpHR->width(), 3 * (index + 1));
}

void HRPanel::widthClicked()
{
    showWidth();
    const int width = barWidth();
    shpHR->setGeometry((pnlHRPreview->width() - width) / 2, shpHR->y(), width, shpHR->height());
}

void HRPanel::showWidth()
{
    txtHRWidth->setText(QString::number(updnHRWidth->position()));
}

int HRPanel::barWidth() const
{
    return qRound(mFullWidth * updnHRWidth->position() / 100.0);
}
