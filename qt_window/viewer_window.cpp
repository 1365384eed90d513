#include "qt_window/viewer_window.h"

#include "browser/viewer_place.h"

namespace velmora {

ViewerWindow::ViewerWindow(const ViewerContent& content, CollectionBrowser& browser, QWidget* mainWindow)
    : QDialog(mainWindow) {
    setObjectName("Form4");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QString::fromStdString(content.caption));
    setCursor(Qt::PointingHandCursor);
    // In logical pixels: Qt scales them, and the picture with them, by the screen's ratio.
    const DialogRect place = viewerPlace(content.picture.width(), content.picture.height());
    move(place.x, place.y);

    pictureView = new PictureImage(this);
    pictureView->setObjectName(component::kPicture);
    pictureView->setGeometry(0, 0, place.width, place.height);
    pictureView->setFitFlags(kViewerFit);
    pictureView->setCursor(Qt::PointingHandCursor);
    pictureView->setPicture(content.picture);
    setFixedSize(place.width, place.height);
    const QString hint = QString::fromStdString(content.hint);
    setToolTip(hint);
    pictureView->setToolTip(hint);

    popupMenu = new QMenu(this);
    popupMenu->setObjectName("PopupMenu1");
    for (const CommandControl& control : viewerControls()) {
        QAction* action = popupMenu->addAction(QString::fromUtf8(texts().*control.caption));
        action->setObjectName(control.componentName);
        connect(action, &QAction::triggered, this, [&browser, command = control.command] { browser.run(command); });
    }
    setContextMenuPolicy(Qt::CustomContextMenu);
    pictureView->setContextMenuPolicy(Qt::CustomContextMenu);
    for (QWidget* widget : {static_cast<QWidget*>(this), static_cast<QWidget*>(pictureView)}) {
        connect(widget, &QWidget::customContextMenuRequested, this,
                [this, widget](const QPoint& pos) { popupMenu->popup(widget->mapToGlobal(pos)); });
    }
    connect(pictureView, &PictureImage::clicked, this, &QDialog::reject);
}

QAction* ViewerWindow::action(const char* name) const {
    for (QAction* action : popupMenu->actions()) {
        if (action->objectName() == name) return action;
    }
    return nullptr;
}

}  // namespace velmora
