#include "qt_window/viewer_window.h"

#include <cmath>

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "browser/viewer_place.h"
#include "qt_window/key_name.h"

namespace velmora {

namespace {

int device(int logical, double ratio) { return static_cast<int>(std::lround(logical * ratio)); }
int logical(int device, double ratio) { return static_cast<int>(std::lround(device / ratio)); }

}  // namespace

ViewerWindow::ViewerWindow(const ViewerContent& content, CommandRunner& commands, QWidget* mainWindow)
    : QDialog(mainWindow), commands_(commands), mainWindow_(mainWindow) {
    setObjectName("Form4");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setCursor(Qt::PointingHandCursor);
    scrollArea = new QScrollArea(this);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollArea);

    popupMenu = new QMenu(this);
    popupMenu->setObjectName("PopupMenu1");
    for (const CommandControl& control : viewerControls()) {
        QAction* action = popupMenu->addAction(QString::fromUtf8(texts().*control.caption));
        action->setObjectName(control.componentName);
        connect(action, &QAction::triggered, this, [&commands, command = control.command] { commands.run(command); });
    }
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenu->popup(mapToGlobal(pos)); });
    showContent(content);
    scrollArea->setFocus();  // the arrow keys scroll
}

void ViewerWindow::showContent(const ViewerContent& content) {
    content_ = content;
    setWindowTitle(QString::fromStdString(content.caption));
    QScreen* screen = mainWindow_ ? mainWindow_->screen() : QGuiApplication::primaryScreen();
    pictureView = new ViewerPicture(content.picture, screen->devicePixelRatio(), scrollArea);
    pictureView->setObjectName(component::kPicture);
    pictureView->setCursor(Qt::PointingHandCursor);
    scrollArea->setWidget(pictureView);  // the picture shown before goes with its widget
    if (!isFullScreen()) placeOn(*screen, mainWindow_, content);
    const QString hint = QString::fromStdString(content.hint);
    setToolTip(hint);
    pictureView->setToolTip(hint);
    pictureView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pictureView, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { popupMenu->popup(pictureView->mapToGlobal(pos)); });
    connect(pictureView, &ViewerPicture::clicked, this, &QDialog::reject);
    connect(pictureView, &ViewerPicture::dragged, this, [this](int across, int down) {
        scrollArea->horizontalScrollBar()->setValue(scrollArea->horizontalScrollBar()->value() + across);
        scrollArea->verticalScrollBar()->setValue(scrollArea->verticalScrollBar()->value() + down);
    });
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != scrollArea || event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    switch (const CommandId command = commandOfKey(viewerKeys(), keyName(*static_cast<QKeyEvent*>(event)))) {
    case CommandId::None:
    case CommandId::CloseViewer: return false;  // Escape rejects the dialog, as it always did
    case CommandId::FullScreen: toggleFullScreen(); return true;
    default: commands_.run(command); return true;
    }
}

void ViewerWindow::toggleFullScreen() {
    if (isFullScreen()) {
        showNormal();
        QScreen* screen = mainWindow_ ? mainWindow_->screen() : QGuiApplication::primaryScreen();
        placeOn(*screen, mainWindow_, content_);
        return;
    }
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    showFullScreen();
}

// The core places the window in device pixels; Qt takes logical ones.
void ViewerWindow::placeOn(const QScreen& screen, const QWidget* mainWindow, const ViewerContent& content) {
    const double ratio = screen.devicePixelRatio();
    const QRect work = screen.availableGeometry();
    // Not shown yet, the viewer takes the frame the main window has on this desktop.
    ViewerFrame frame;
    if (mainWindow) {
        const QRect outer = mainWindow->frameGeometry(), inner = mainWindow->geometry();
        frame = {device(inner.left() - outer.left(), ratio), device(inner.top() - outer.top(), ratio),
                 device(outer.right() - inner.right(), ratio), device(outer.bottom() - inner.bottom(), ratio)};
    }
    frame.verticalBarWidth = frame.horizontalBarHeight = device(style()->pixelMetric(QStyle::PM_ScrollBarExtent), ratio);
    const ViewerPlace place =
        viewerPlace(content.picture.width(), content.picture.height(), ratio,
                    {device(work.x(), ratio), device(work.y(), ratio), device(work.width(), ratio),
                     device(work.height(), ratio)},
                    frame);
    move(logical(place.window.x, ratio), logical(place.window.y, ratio));
    setFixedSize(logical(place.window.width - frame.left - frame.right, ratio),
                 logical(place.window.height - frame.top - frame.bottom, ratio));
    scrollArea->setHorizontalScrollBarPolicy(place.scrollsAcross ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    scrollArea->setVerticalScrollBarPolicy(place.scrollsDown ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    pictureView->setScrolls(place.scrollsAcross || place.scrollsDown);
    // Qt's wheel scrolls three of these steps, a page key the view's size.
    const int line = logical(viewerStep(ViewerStep::Line, 0, ratio), ratio);
    scrollArea->horizontalScrollBar()->setSingleStep(line);
    scrollArea->verticalScrollBar()->setSingleStep(line);
}

QAction* ViewerWindow::action(const char* name) const {
    for (QAction* action : popupMenu->actions()) {
        if (action->objectName() == name) return action;
    }
    return nullptr;
}

}  // namespace velmora
