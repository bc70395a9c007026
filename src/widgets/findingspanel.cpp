#include "findingspanel.h"

#include <QLabel>
#include <QListWidget>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QString counted(qsizetype count, const char *one, const char *many)
{
    return QString::number(count) + u' ' + QLatin1StringView(count == 1 ? one : many);
}

}

FindingsPanel::FindingsPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pnlFindings"));
    lblFindings = new QLabel(this);
    lblFindings->setObjectName(QStringLiteral("lblFindings"));
    lblFindings->setWordWrap(true);
    lstFindings = new QListWidget(this);
    lstFindings->setObjectName(QStringLiteral("lstFindings"));
    lstFindings->setAccessibleName(tr("Problems found on the page"));
    lstFindings->setWordWrap(true);
    lstFindings->setTextElideMode(Qt::ElideNone);
    lstFindings->setIconSize(QSize(16, 16));
    // Lines wrap again when the list's width changes.
    lstFindings->setResizeMode(QListView::Adjust);
    lblFindings->setBuddy(lstFindings);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblFindings);
    layout->addWidget(lstFindings, 1);

    connect(lstFindings, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        const int index = lstFindings->row(item);
        if (index >= 0 && index < mFindings.size())
            emit blockRequested(mFindings[index].row);
    });
}

void FindingsPanel::setFindings(const QList<PageCheck::Finding> &findings)
{
    mFindings = findings;
    lblFindings->setText(findings.isEmpty() ? tr("The check found no problems on this page.")
                                            : tr("The check found %1 on this page. Double-click a line to go to its block.")
                                                  .arg(countText(findings)));
    lstFindings->clear();
    const QIcon errorIcon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon warningIcon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const PageCheck::Finding &f : findings) {
        const bool error = f.severity == PageCheck::Severity::Error;
        auto *item = new QListWidgetItem(error ? errorIcon : warningIcon, blockText(f) + QStringLiteral(": ") + f.message,
                                         lstFindings);
        // The sign is a picture: a screen reader takes the severity from the text.
        item->setData(Qt::AccessibleTextRole, (error ? tr("Error") : tr("Warning")) + QStringLiteral(": ") + item->text());
    }
    if (lstFindings->count() > 0)
        lstFindings->setCurrentRow(0);
}

QString FindingsPanel::countText(const QList<PageCheck::Finding> &findings)
{
    const qsizetype errors = PageCheck::errorCount(findings);
    const qsizetype warnings = findings.size() - errors;
    if (errors && warnings)
        return counted(errors, "error", "errors") + QStringLiteral(" and ") + counted(warnings, "warning", "warnings");
    if (errors)
        return counted(errors, "error", "errors");
    if (warnings)
        return counted(warnings, "warning", "warnings");
    return tr("no problems");
}

QString FindingsPanel::blockText(const PageCheck::Finding &finding)
{
    const QString caption = BlockTypeCaption(finding.block);
    return finding.row == 0 ? caption : tr("%1 (row %2)").arg(caption).arg(finding.row);
}
