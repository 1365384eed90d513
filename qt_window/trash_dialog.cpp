#include "qt_window/trash_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "browser/texts.h"
#include "qt_window/qt_text.h"

namespace velmora {

TrashDialog::TrashDialog(const TrashRequest& request, QWidget* parent)
    : QDialog(parent), request_(request), form_(request_) {
    setObjectName("TrashDialog");
    setWindowTitle(qtText(texts().trashCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(520, 360);

    pictureList = new QTreeWidget(this);
    pictureList->setObjectName("TrashList");
    pictureList->setRootIsDecorated(false);
    pictureList->setSelectionMode(QAbstractItemView::SingleSelection);
    pictureList->setHeaderLabels({qtText(texts().trashNameColumn), qtText(texts().trashDateColumn), qtText(texts().trashSizeColumn)});
    pictureList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    spaceLabel = new QLabel(this);
    spaceLabel->setObjectName("TrashSpace");

    restoreButton = new QPushButton(qtText(texts().trashRestoreButton), this);
    restoreButton->setObjectName("RestoreButton");
    deleteButton = new QPushButton(qtText(texts().trashDeleteButton), this);
    deleteButton->setObjectName("DeleteForeverButton");
    emptyButton = new QPushButton(qtText(texts().trashEmptyButton), this);
    emptyButton->setObjectName("EmptyTrashButton");
    closeButton = new QPushButton(qtText(texts().trashCloseButton), this);
    closeButton->setObjectName("CloseButton");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(restoreButton);
    buttons->addWidget(deleteButton);
    buttons->addWidget(emptyButton);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pictureList);
    layout->addWidget(spaceLabel);
    layout->addLayout(buttons);

    connect(pictureList, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = pictureList->selectedItems();
        form_.select(selected.isEmpty() ? -1 : pictureList->indexOfTopLevelItem(selected.front()));
        updateButtons();
    });
    connect(restoreButton, &QPushButton::clicked, this, [this] { act(&TrashForm::restore); });
    connect(deleteButton, &QPushButton::clicked, this, [this] { act(&TrashForm::deleteForever); });
    connect(emptyButton, &QPushButton::clicked, this, [this] { act(&TrashForm::empty); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    showForm();
}

void TrashDialog::act(bool (TrashForm::*action)()) {
    if ((form_.*action)()) showForm();
}

void TrashDialog::showForm() {
    const QSignalBlocker quiet(pictureList);  // the form's selection is shown, not taken back
    pictureList->clear();
    for (const TrashForm::Row& shown : form_.rows()) {
        auto* row = new QTreeWidgetItem(pictureList);
        row->setText(0, QString::fromStdString(shown.name));
        row->setText(1, QString::fromStdString(shown.date));
        row->setText(2, QString::fromStdString(shown.size));
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (form_.selected() >= 0) pictureList->setCurrentItem(pictureList->topLevelItem(form_.selected()));
    spaceLabel->setText(QString::fromStdString(form_.space()));
    updateButtons();
}

void TrashDialog::updateButtons() {
    restoreButton->setEnabled(form_.canRestore());
    deleteButton->setEnabled(form_.canDeleteForever());
    emptyButton->setEnabled(form_.canEmpty());
}

}  // namespace velmora
