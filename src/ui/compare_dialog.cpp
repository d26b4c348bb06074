// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare_dialog.h"

#include "dialog_placement.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace vireo {

CompareDialog::CompareDialog(const std::vector<ImageDifference> &differences, const QString &backupFolder,
                             QWidget *parent)
    : PlacedDialog(parent->window()->frameGeometry(), parent)
{
    setObjectName(QStringLiteral("compareDialog"));
    setWindowTitle(QStringLiteral("Compare with Unit"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(
        differences.empty() ? QStringLiteral("The unit holds these settings.")
                            : QStringLiteral("These fields differ between the unit and the open document:"),
        this);
    heading->setObjectName(QStringLiteral("compareHeading"));
    layout->addWidget(heading);
    if (!differences.empty()) {
        auto *list = new QTreeWidget(this);
        list->setObjectName(QStringLiteral("compareList"));
        list->setRootIsDecorated(false);
        list->setHeaderLabels(
            {QStringLiteral("Field"), QStringLiteral("In the unit"), QStringLiteral("In the document")});
        for (const ImageDifference &d : differences)
            list->addTopLevelItem(new QTreeWidgetItem({d.word ? d.key : d.caption, d.left, d.right}));
        list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
        list->setMinimumWidth(list->header()->length() + 40);
        layout->addWidget(list);
    }

    auto *buttons = new QDialogButtonBox(this);
    const auto add = [&](const QString &caption, const char *name, QDialogButtonBox::ButtonRole role) {
        QPushButton *button = buttons->addButton(caption, role);
        button->setObjectName(QString::fromLatin1(name));
        return button;
    };
    connect(add(QStringLiteral("Write to Unit"), "writeToUnitButton", QDialogButtonBox::AcceptRole),
            &QPushButton::clicked, this, [this] {
                m_choice = Choice::WriteToUnit;
                accept();
            });
    connect(
        add(QStringLiteral("Open Unit's Settings"), "openUnitSettingsButton", QDialogButtonBox::ActionRole),
        &QPushButton::clicked, this, [this] {
            m_choice = Choice::OpenUnitSettings;
            accept();
        });
    connect(add(QStringLiteral("Open Backups Folder"), "openBackupsButton", QDialogButtonBox::HelpRole),
            &QPushButton::clicked, this, [backupFolder] {
                QDir().mkpath(backupFolder);
                QDesktopServices::openUrl(QUrl::fromLocalFile(backupFolder));
            });
    QPushButton *close = add(QStringLiteral("Close"), "closeButton", QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    close->setDefault(true);
    layout->addWidget(buttons);
}

CompareDialog::Choice CompareDialog::Ask()
{
    m_choice = Choice::Close;
    return exec() == QDialog::Accepted ? m_choice : Choice::Close;
}

} // namespace vireo
