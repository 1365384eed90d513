#include "qt_window/trash_dialog.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "browser/texts.h"

namespace velmora {

namespace {

QString qs(const char* text) { return QString::fromUtf8(text); }

}  // namespace

TrashDialog::TrashDialog(const TrashRequest& request, QWidget* parent) : QDialog(parent), request_(request) {
    setObjectName("TrashDialog");
    setWindowTitle(qs(texts().trashCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(520, 360);

    pictureList = new QTreeWidget(this);
    pictureList->setObjectName("TrashList");
    pictureList->setRootIsDecorated(false);
    pictureList->setSelectionMode(QAbstractItemView::SingleSelection);
    pictureList->setHeaderLabels({qs(texts().trashNameColumn), qs(texts().trashDateColumn), qs(texts().trashSizeColumn)});
    pictureList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    spaceLabel = new QLabel(this);
    spaceLabel->setObjectName("TrashSpace");

    restoreButton = new QPushButton(qs(texts().trashRestoreButton), this);
    restoreButton->setObjectName("RestoreButton");
    deleteButton = new QPushButton(qs(texts().trashDeleteButton), this);
    deleteButton->setObjectName("DeleteForeverButton");
    emptyButton = new QPushButton(qs(texts().trashEmptyButton), this);
    emptyButton->setObjectName("EmptyTrashButton");
    closeButton = new QPushButton(qs(texts().trashCloseButton), this);
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

    connect(pictureList, &QTreeWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    connect(restoreButton, &QPushButton::clicked, this, [this] {
        if (auto id = selectedId(); id && request_.restore(*id)) reload();
    });
    connect(deleteButton, &QPushButton::clicked, this, [this] {
        if (auto id = selectedId(); id && request_.deleteForever(*id)) reload();
    });
    connect(emptyButton, &QPushButton::clicked, this, [this] {
        if (request_.empty()) reload();
    });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    reload();
}

void TrashDialog::reload() {
    const TrashContent content = request_.read();
    pictureList->clear();
    for (const TrashedPicture& picture : content.pictures) {
        auto* row = new QTreeWidgetItem(pictureList);
        row->setText(0, QString::fromStdString(picture.name));
        row->setText(1, QDateTime::fromSecsSinceEpoch(picture.deletedAt).toString("yyyy-MM-dd HH:mm:ss"));
        row->setText(2, QString::fromStdString(sizeText(picture.size)));
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        row->setData(0, Qt::UserRole, QVariant::fromValue<qlonglong>(picture.id));
    }
    if (pictureList->topLevelItemCount() > 0) pictureList->setCurrentItem(pictureList->topLevelItem(0));
    spaceLabel->setText(QString::fromStdString(content.space));
    emptyButton->setEnabled(!content.pictures.empty());
    updateButtons();
}

std::optional<std::int64_t> TrashDialog::selectedId() const {
    const QList<QTreeWidgetItem*> selected = pictureList->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return selected.front()->data(0, Qt::UserRole).toLongLong();
}

void TrashDialog::updateButtons() {
    const bool any = selectedId().has_value();
    restoreButton->setEnabled(any);
    deleteButton->setEnabled(any);
}

}  // namespace velmora
