#include "qt_window/viewer_window.h"

namespace velmora {

ViewerWindow::ViewerWindow(const ViewerContent& content, CollectionBrowser& browser, QWidget* mainWindow)
    : QDialog(mainWindow) {
    setObjectName("Form4");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QString::fromStdString(content.caption));
    setCursor(Qt::PointingHandCursor);
    setFixedSize(417, 361);
    move(18, 17);

    pictureView = new PictureImage(this);
    pictureView->setObjectName("Image1");
    pictureView->move(0, 0);
    pictureView->setFitFlags({.stretch = false, .proportional = false, .center = true});
    pictureView->setAutoSize(true);
    pictureView->setCursor(Qt::PointingHandCursor);
    pictureView->setPicture(content.picture);
    setFixedSize(pictureView->size());
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
