#include "browser/main_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>

#include "browser/app_title.h"
#include "browser/command_guard.h"
#include "browser/dialog_filters.h"

namespace velmora {

namespace {

QFont fontOfHeight(const QFont& base, int pixels, bool bold = false) {
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry) {
    auto* label = new QLabel(text, parent);
    // Picture names are shown as typed: "<b>x</b>" is not bold.
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QPushButton* makeFlatButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);  // speed buttons never take the focus
    return button;
}

void paintRed(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
}

}  // namespace

std::string connectionStringFor(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + path + ";Persist Security Info=False";
}

MainWindow::MainWindow(BrowserServices services, std::optional<std::string> startFile, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services)) {
    if (!services_.fileDialogs) services_.fileDialogs = &defaultDialogs_;
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setFont(fontOfHeight(font(), 11));
    setFixedSize(788, 478);
    move(287, 126);

    openPictureDialog.filter = kOpenPictureFilter;
    openPictureDialog.picturePreview = true;
    savePictureDialog.filter = kSavePictureFilter;
    savePictureDialog.defaultExt = ".jpg";
    savePictureDialog.overwritePrompt = true;
    savePictureDialog.picturePreview = true;
    openFileDialog.filter = kOpenDataFileFilter;

    buildControls();
    buildPopupMenu();
    connectCommands();
    setNeighbourPreloading(true);
    setAcceptDrops(true);

    dataSource.attachDisplay([this](const Field*) { refreshNameDisplays(); }, [this] { blankNameDisplays(); });
    dataSource.setOnDataChange([this](const Field*) { followCurrentRecord(); });

    runGuarded([this, &startFile] { startFile ? openStartFile(*startFile) : openDefaultFile(); });
}

MainWindow::~MainWindow() {
    // The query's sinks point into this window: close it before the controls go.
    connection.close();
}

void MainWindow::buildControls() {
    previousButton = makeFlatButton(this, "SpeedButton1", "上一张图片", {8, 72, 89, 41});
    nextButton = makeFlatButton(this, "SpeedButton2", "下一张图片", {8, 144, 89, 41});
    deleteButton = makeFlatButton(this, "SpeedButton3", "删除当前图片", {8, 216, 89, 41});
    wallpaperButton = makeFlatButton(this, "SpeedButton4", "设为桌面", {8, 290, 89, 41});
    webSiteButton = makeFlatButton(this, "SpeedButton6", "Zantrel网站", {8, 360, 89, 41});
    quitButton = makeFlatButton(this, "SpeedButton5", "退出", {8, 432, 89, 41});

    nameCaption = makeLabel(this, "Label1", " 当前图片名称： ", {112, 16, 90, 13});
    nameLabel = makeLabel(this, "DBText1", "", {216, 14, 209, 17});
    nameLabel->setFont(fontOfHeight(font(), 13));
    paintRed(nameLabel);
    countCaption = makeLabel(this, "Label2", "  目前数据库中共有图片：", {491, 16, 162, 13});
    countLabel = makeLabel(this, "Label3", "显示数据库图片数", {659, 16, 113, 17});
    countLabel->setFont(fontOfHeight(font(), 13));
    paintRed(countLabel);
    hintLabel = makeLabel(this, "Label4", "###请弹出鼠标右键管理图片数据库", {496, 32, 281, 13});
    hintLabel->setAutoFillBackground(true);
    QPalette red = hintLabel->palette();
    red.setColor(QPalette::Window, Qt::red);
    hintLabel->setPalette(red);

    nameList = new NameGrid(pictures, this);
    nameList->setObjectName("DBGrid1");
    nameList->setGeometry(104, 48, 113, 425);
    nameList->setToolTip("点击选择");

    pictureArea = new QScrollArea(this);
    pictureArea->setObjectName("ScrollBox1");
    pictureArea->setGeometry(224, 48, 561, 425);
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
    pictureArea->setContextMenuPolicy(Qt::CustomContextMenu);
    content->setContextMenuPolicy(Qt::CustomContextMenu);

    pictureView = new PictureImage(content);
    pictureView->setObjectName("Image1");
    pictureView->setGeometry(8, 8, 545, 401);
    pictureView->setFitFlags({.stretch = false, .proportional = true, .center = true});
    pictureView->setCursor(Qt::PointingHandCursor);
    pictureView->setToolTip("点击查看原始图片");
    pictureView->setContextMenuPolicy(Qt::CustomContextMenu);
}

void MainWindow::buildPopupMenu() {
    popupMenu = new QMenu(this);
    popupMenu->setObjectName("PopupMenu1");
    auto item = [this](QMenu* menu, const char* name, const char* caption) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(name);
        return action;
    };
    auto separator = [](QMenu* menu, const char* name) {
        QAction* action = menu->addSeparator();
        action->setObjectName(name);
        return action;
    };
    addFromFileAction = item(popupMenu, "LoadFormFile", "从文件载入(&L )");
    saveAction = item(popupMenu, "SaveToFile", "保存到文件(&S)");
    deleteAction = item(popupMenu, "DeleteFormDB", "从数据库删除(&D)");
    pictureSeparator = separator(popupMenu, "MenuSeperator1");
    newFileAction = item(popupMenu, "NewPicFile", "新建图片数据文件(&N)");
    openFileAction = item(popupMenu, "OpenPicDataFile", "打开图片数据文件(&O)");
    fileSeparator = separator(popupMenu, "MenuSeperator4");
    renameAction = item(popupMenu, "Rename", "重命名此图(&R)");
    filterMenu = popupMenu->addMenu("图片过滤(&P)");
    filterMenu->setObjectName("PicFilt");
    showAllAction = item(filterMenu, "ShowAll", "显示所有图片(&A)");
    filterByNameAction = item(filterMenu, "FiltByName", "按文件名过滤(&F)");
    wallpaperAction = item(popupMenu, "SetToDesktop", "设为桌面(&A)");
    clipboardSeparator = separator(popupMenu, "MenuSeperator2");
    copyAction = item(popupMenu, "CopyToCBoard", "复制到剪贴板(&C)");
    cutAction = item(popupMenu, "CutToCBoard", "剪切到剪贴板(&X)");
    pasteAction = item(popupMenu, "PasteFromCBoard", "从剪贴板粘贴(&V)");
    quitSeparator = separator(popupMenu, "MenuSeperator3");
    quitAction = item(popupMenu, "Quit", "退出(&Q)");
}

void MainWindow::connectCommands() {
    auto on = [this](auto* sender, auto signal, void (MainWindow::*handler)()) {
        connect(sender, signal, this, [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
    };
    on(previousButton, &QPushButton::clicked, &MainWindow::showPrevious);
    on(nextButton, &QPushButton::clicked, &MainWindow::showNext);
    on(deleteButton, &QPushButton::clicked, &MainWindow::deletePicture);
    on(wallpaperButton, &QPushButton::clicked, &MainWindow::setAsWallpaper);
    on(quitButton, &QPushButton::clicked, &MainWindow::quit);
    on(webSiteButton, &QPushButton::clicked, &MainWindow::openWebSite);
    on(pictureView, &PictureImage::clicked, &MainWindow::openViewer);

    on(addFromFileAction, &QAction::triggered, &MainWindow::addFromFile);
    on(saveAction, &QAction::triggered, &MainWindow::savePicture);
    on(deleteAction, &QAction::triggered, &MainWindow::deletePicture);
    on(newFileAction, &QAction::triggered, &MainWindow::newPictureFile);
    on(openFileAction, &QAction::triggered, &MainWindow::openPictureFile);
    on(renameAction, &QAction::triggered, &MainWindow::renamePicture);
    on(showAllAction, &QAction::triggered, &MainWindow::showAll);
    on(filterByNameAction, &QAction::triggered, &MainWindow::filterByName);
    on(wallpaperAction, &QAction::triggered, &MainWindow::setAsWallpaper);
    on(copyAction, &QAction::triggered, &MainWindow::copyToClipboard);
    on(cutAction, &QAction::triggered, &MainWindow::cutToClipboard);
    on(pasteAction, &QAction::triggered, &MainWindow::pasteFromClipboard);
    on(quitAction, &QAction::triggered, &MainWindow::quit);

    connect(nameList, &NameGrid::popupRequested, this, &MainWindow::popupAt);
    auto popupFrom = [this](QWidget* widget) {
        connect(widget, &QWidget::customContextMenuRequested, this,
                [this, widget](const QPoint& pos) { popupAt(widget->mapToGlobal(pos)); });
    };
    popupFrom(pictureArea);
    popupFrom(pictureArea->widget());
    popupFrom(pictureView);
}

void MainWindow::popupAt(const QPoint& globalPos) { popupMenu->popup(globalPos); }

void MainWindow::openDefaultFile() {
    nameEntry.accepted = false;
    std::string directory = QDir::currentPath().toStdString();
    connection.setConnectionString(connectionStringFor(directory + "\\pictures.vlm"));
    pictures.activate();
    setWindowTitle(windowTitle() + "    默认文件[ " + QString::fromStdString(directory) + "\\pictures.vlm ]");
    if (currentPictureIsNull()) {
        previousButton->setEnabled(false);
        nextButton->setEnabled(false);
        setPictureCommandsEnabled(false);
        pictureCount = 0;
    } else {
        showCurrentPicture();
        decodeCurrentAhead();
        pictureCount = pictures.recordCount();
        previousButton->setEnabled(false);
        nextButton->setEnabled(true);
    }
    updateCountLabel();
}

void MainWindow::openStartFile(const std::string& path) {
    nameEntry.accepted = false;
    // As a file chosen in the open dialog: its folder becomes the current directory, so
    // new files are made beside it.
    QFileInfo file(QString::fromStdString(path));
    QDir::setCurrent(file.absolutePath());
    openPictureFileAt(QDir::toNativeSeparators(QDir::cleanPath(file.absoluteFilePath())).toStdString());
}

void MainWindow::openWebSite() {
    if (services_.openUrl) services_.openUrl(kWebSiteAddress);
}

void MainWindow::quit() { close(); }

}  // namespace velmora
