// The main window's layout, built from the command table, and its wiring to the browser.
#include "qt_window/main_window.h"

#include <QKeyEvent>
#include <QScreen>
#include <QWheelEvent>

#include "browser/window_layout.h"
#include "browser/window_start.h"
#include "qt_window/thumbnail_window.h"
#include "qt_window/key_name.h"

namespace velmora {

namespace {

QRect placeOf(const char* name);

QFont fontOfHeight(const QFont& base, int pixels, bool bold = false) {
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    // Picture names are shown as typed: "<b>x</b>" is not bold.
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(name);
    label->setGeometry(placeOf(name));
    return label;
}

void paintRed(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
}

QRect placeOf(const char* name) {
    const DialogRect place = mainWindowPlace(name);
    return {place.x, place.y, place.width, place.height};
}

}  // namespace

MainWindow::MainWindow(BrowserServices services, std::optional<std::string> startFile, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    if (!services.imageDecoder) services.imageDecoder = &imageDecoder_;
    browser_ = std::make_unique<CollectionBrowser>(std::move(services), *this);
    setObjectName("Form1");
    setFont(fontOfHeight(font(), kWindowFontHeight));
    setFixedSize(kMainWindowGeometry.width, kMainWindowGeometry.height);
    move(kMainWindowGeometry.x, kMainWindowGeometry.y);

    buildLabels();
    buildPictureArea();
    buildCommands();
    setAcceptDrops(true);
    const QScreen* shownOn = screen();
    startWindow(*browser_, shownOn ? shownOn->depth() : 32, startFile, [this] { show(); });
}

MainWindow::~MainWindow() {
    // The browser calls back into the widgets while it closes its query; the thumbnail
    // window reads the browser's form, so it goes first.
    delete thumbnails_;
    browser_.reset();
}

void MainWindow::buildLabels() {
    using namespace component;
    const TextTable& text = texts();
    makeLabel(this, kNameCaption, text.nameCaption);
    nameLabel = makeLabel(this, kNameLabel, "");
    nameLabel->setFont(fontOfHeight(font(), kRedLabelFontHeight));
    paintRed(nameLabel);
    makeLabel(this, kCountCaption, text.countCaption);
    countLabel = makeLabel(this, kCountLabel, text.countDesign);
    countLabel->setFont(fontOfHeight(font(), kRedLabelFontHeight));
    paintRed(countLabel);
    QLabel* hint = makeLabel(this, kPopupHint, text.popupHint);
    hint->setAutoFillBackground(true);
    QPalette red = hint->palette();
    red.setColor(QPalette::Window, Qt::red);
    hint->setPalette(red);

    nameList = new NameGrid(*browser_, this);
    nameList->setObjectName(component::kNameList);
    nameList->setGeometry(placeOf(component::kNameList));
    nameList->setToolTip(QString::fromUtf8(text.nameListHint));
}

void MainWindow::buildPictureArea() {
    pictureArea = new QScrollArea(this);
    pictureArea->setObjectName(component::kPictureArea);
    pictureArea->setGeometry(placeOf(component::kPictureArea));
    pictureArea->setCursor(Qt::PointingHandCursor);
    QPalette black = pictureArea->palette();
    black.setColor(QPalette::Window, Qt::black);
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    content->setPalette(black);
    content->setCursor(Qt::PointingHandCursor);
    content->setFixedSize(pictureArea->viewport()->size().expandedTo(QSize(553, 409)));
    pictureArea->setPalette(black);
    pictureArea->setWidget(content);
    pictureArea->setWidgetResizable(true);

    // Clicked, the area takes the focus for its keys; its wheel turns the pictures.
    pictureArea->setFocusPolicy(Qt::StrongFocus);
    pictureArea->installEventFilter(this);
    pictureArea->viewport()->installEventFilter(this);

    pictureView = new PictureImage(content);
    pictureView->setObjectName(component::kPicture);
    pictureView->setGeometry(kPictureInArea.x, kPictureInArea.y, kPictureInArea.width, kPictureInArea.height);
    pictureView->setFitFlags(kMainWindowFit);
    pictureView->setCursor(Qt::PointingHandCursor);
    pictureView->setToolTip(QString::fromUtf8(texts().pictureHint));
    // A paint that finds no display bitmap takes the one being made ahead.
    pictureView->setAheadSource([this] { return browser_->takeAheadPicture(); });
    connect(pictureView, &PictureImage::painted, this, [this] { browser_->pictureShown(); });
    connect(pictureView, &PictureImage::decodeFailed, this,
            [this](const std::string& message) { browser_->reportError(message); });
    connect(pictureView, &PictureImage::clicked, this, [this] { browser_->openViewer(); });
}

void MainWindow::buildCommands() {
    popupMenu = new QMenu(this);
    popupMenu->setObjectName("PopupMenu1");
    QMenu* menu = popupMenu;
    for (const CommandControl& row : mainWindowControls()) {
        const QString caption = row.caption ? QString::fromUtf8(texts().*row.caption) : QString();
        Control control{&row, nullptr, nullptr};
        switch (row.kind) {
        case ControlKind::Button:
            control.button = new QPushButton(caption, this);
            control.button->setObjectName(row.componentName);
            control.button->setGeometry(placeOf(row.componentName));
            control.button->setFlat(true);
            control.button->setFocusPolicy(Qt::NoFocus);  // speed buttons never take the focus
            connect(control.button, &QPushButton::clicked, this, [this, &row] { browser_->run(row.command); });
            break;
        case ControlKind::MenuItem:
        case ControlKind::ChoiceItem:
            control.action = menu->addAction(caption);
            control.action->setObjectName(row.componentName);
            if (row.kind == ControlKind::ChoiceItem) {
                control.action->setCheckable(true);
                control.action->setToolTip(QString::fromUtf8(texts().languageHint));
            }
            if (row.shortcut) {
                control.action->setShortcut(QKeySequence(QString::fromUtf8(row.shortcut)));
                // Also while the popup menu is closed.
                addAction(control.action);
            }
            connect(control.action, &QAction::triggered, this, [this, &row] { browser_->run(row.command); });
            break;
        case ControlKind::Submenu:
            menu = popupMenu->addMenu(caption);
            menu->setObjectName(row.componentName);
            menu->setToolTipsVisible(true);
            if (std::string_view(row.componentName) == "PicFilt") filterMenu = menu;
            break;
        case ControlKind::SubmenuEnd: menu = popupMenu; break;
        case ControlKind::Separator:
            menu->addSeparator()->setObjectName(row.componentName);
            break;
        }
        if (control.button || control.action) controls_.push_back(control);
    }

    auto popupFrom = [this](QWidget* widget) {
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, this,
                [this, widget](const QPoint& pos) { popupMenu->popup(widget->mapToGlobal(pos)); });
    };
    popupFrom(pictureArea);
    popupFrom(pictureArea->widget());
    popupFrom(pictureView);
    connect(nameList, &NameGrid::popupRequested, this, [this](const QPoint& pos) { popupMenu->popup(pos); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    CommandId command = CommandId::None;
    if (watched == pictureArea && event->type() == QEvent::KeyPress) {
        command = commandOfKey(pictureAreaKeys(), keyName(*static_cast<QKeyEvent*>(event)));
    } else if (watched == pictureArea->viewport() && event->type() == QEvent::Wheel) {
        // Whole notches only, so that a touchpad's small steps add up to one.
        wheelRest_ += static_cast<QWheelEvent*>(event)->angleDelta().y();
        while (wheelRest_ >= 120 || wheelRest_ <= -120) {
            const int notch = wheelRest_ > 0 ? 120 : -120;
            wheelRest_ -= notch;
            browser_->run(wheelCommand(notch));
        }
        return true;
    }
    if (command == CommandId::None) return QWidget::eventFilter(watched, event);
    browser_->run(command);
    return true;
}

QPushButton* MainWindow::button(const char* name) const {
    for (const Control& control : controls_) {
        if (control.button && std::string_view(control.row->componentName) == name) return control.button;
    }
    return nullptr;
}

QAction* MainWindow::action(const char* name) const {
    for (const Control& control : controls_) {
        if (control.action && std::string_view(control.row->componentName) == name) return control.action;
    }
    return nullptr;
}

void MainWindow::setCommandStates(const CommandStates& states) {
    for (const Control& control : controls_) {
        const bool enabled = states.enabled(control.row->group);
        if (control.button) control.button->setEnabled(enabled);
        if (control.action) {
            control.action->setEnabled(enabled);
            control.action->setText(QString::fromStdString(states.caption(*control.row)));
            control.action->setChecked(states.checked(*control.row));
        }
    }
}

}  // namespace velmora
