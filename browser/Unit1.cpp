#include "browser/Unit1.h"

#include <QCloseEvent>
#include <QDir>

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

TForm1::TForm1(BrowserServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(std::move(services)) {
    if (!services_.fileDialogs) services_.fileDialogs = &defaultDialogs_;
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setFont(fontOfHeight(font(), 11));
    setFixedSize(788, 478);
    move(287, 126);

    OpenPictureDialog1.filter = kOpenPictureFilter;
    OpenPictureDialog1.picturePreview = true;
    SavePictureDialog1.filter = kSavePictureFilter;
    SavePictureDialog1.defaultExt = ".jpg";
    SavePictureDialog1.overwritePrompt = true;
    SavePictureDialog1.picturePreview = true;
    OpenDialog1.filter = kOpenDataFileFilter;

    buildControls();
    buildPopupMenu();
    connectCommands();

    DataSource1.attachDisplay([this](const Field*) { refreshNameDisplays(); }, [this] { blankNameDisplays(); });
    DataSource1.setOnDataChange([this](const Field*) { DataSource1DataChange(); });

    runGuarded([this] { FormCreate(); });
}

TForm1::~TForm1() {
    // The query's sinks point into this window: close it before the controls go.
    ADOConnection1.close();
}

void TForm1::buildControls() {
    SpeedButton1 = makeFlatButton(this, "SpeedButton1", "上一张图片", {8, 72, 89, 41});
    SpeedButton2 = makeFlatButton(this, "SpeedButton2", "下一张图片", {8, 144, 89, 41});
    SpeedButton3 = makeFlatButton(this, "SpeedButton3", "删除当前图片", {8, 216, 89, 41});
    SpeedButton4 = makeFlatButton(this, "SpeedButton4", "设为桌面", {8, 290, 89, 41});
    SpeedButton6 = makeFlatButton(this, "SpeedButton6", "Zantrel网站", {8, 360, 89, 41});
    SpeedButton5 = makeFlatButton(this, "SpeedButton5", "退出", {8, 432, 89, 41});

    Label1 = makeLabel(this, "Label1", " 当前图片名称： ", {112, 16, 90, 13});
    DBText1 = makeLabel(this, "DBText1", "", {216, 14, 209, 17});
    DBText1->setFont(fontOfHeight(font(), 13));
    paintRed(DBText1);
    Label2 = makeLabel(this, "Label2", "  目前数据库中共有图片：", {491, 16, 162, 13});
    Label3 = makeLabel(this, "Label3", "显示数据库图片数", {659, 16, 113, 17});
    Label3->setFont(fontOfHeight(font(), 13));
    paintRed(Label3);
    Label4 = makeLabel(this, "Label4", "###请弹出鼠标右键管理图片数据库", {496, 32, 281, 13});
    Label4->setAutoFillBackground(true);
    QPalette red = Label4->palette();
    red.setColor(QPalette::Window, Qt::red);
    Label4->setPalette(red);

    DBGrid1 = new NameGrid(ADOQuery1, this);
    DBGrid1->setObjectName("DBGrid1");
    DBGrid1->setGeometry(104, 48, 113, 425);
    DBGrid1->setToolTip("点击选择");

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setGeometry(224, 48, 561, 425);
    ScrollBox1->setCursor(Qt::PointingHandCursor);
    QPalette black = ScrollBox1->palette();
    black.setColor(QPalette::Window, Qt::black);
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    content->setPalette(black);
    content->setCursor(Qt::PointingHandCursor);
    content->setFixedSize(ScrollBox1->viewport()->size().expandedTo(QSize(553, 409)));
    ScrollBox1->setPalette(black);
    ScrollBox1->setWidget(content);
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    content->setContextMenuPolicy(Qt::CustomContextMenu);

    Image1 = new PictureImage(content);
    Image1->setObjectName("Image1");
    Image1->setGeometry(8, 8, 545, 401);
    Image1->setFitFlags({.stretch = false, .proportional = true, .center = true});
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip("点击查看原始图片");
    Image1->setContextMenuPolicy(Qt::CustomContextMenu);
}

void TForm1::buildPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
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
    LoadFormFile = item(PopupMenu1, "LoadFormFile", "从文件载入(&L )");
    SaveToFile = item(PopupMenu1, "SaveToFile", "保存到文件(&S)");
    DeleteFormDB = item(PopupMenu1, "DeleteFormDB", "从数据库删除(&D)");
    MenuSeperator1 = separator(PopupMenu1, "MenuSeperator1");
    NewPicFile = item(PopupMenu1, "NewPicFile", "新建图片数据文件(&N)");
    OpenPicDataFile = item(PopupMenu1, "OpenPicDataFile", "打开图片数据文件(&O)");
    MenuSeperator4 = separator(PopupMenu1, "MenuSeperator4");
    Rename = item(PopupMenu1, "Rename", "重命名此图(&R)");
    PicFilt = PopupMenu1->addMenu("图片过滤(&P)");
    PicFilt->setObjectName("PicFilt");
    ShowAll = item(PicFilt, "ShowAll", "显示所有图片(&A)");
    FiltByName = item(PicFilt, "FiltByName", "按文件名过滤(&F)");
    SetToDesktop = item(PopupMenu1, "SetToDesktop", "设为桌面(&A)");
    MenuSeperator2 = separator(PopupMenu1, "MenuSeperator2");
    CopyToCBoard = item(PopupMenu1, "CopyToCBoard", "复制到剪贴板(&C)");
    CutToCBoard = item(PopupMenu1, "CutToCBoard", "剪切到剪贴板(&X)");
    PasteFromCBoard = item(PopupMenu1, "PasteFromCBoard", "从剪贴板粘贴(&V)");
    MenuSeperator3 = separator(PopupMenu1, "MenuSeperator3");
    Quit = item(PopupMenu1, "Quit", "退出(&Q)");
}

void TForm1::connectCommands() {
    auto on = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] { runGuarded([this, handler] { (this->*handler)(); }); });
    };
    on(SpeedButton1, &QPushButton::clicked, &TForm1::SpeedButton1Click);
    on(SpeedButton2, &QPushButton::clicked, &TForm1::SpeedButton2Click);
    on(SpeedButton3, &QPushButton::clicked, &TForm1::DeleteFormDBClick);
    on(SpeedButton4, &QPushButton::clicked, &TForm1::SetToDesktopClick);
    on(SpeedButton5, &QPushButton::clicked, &TForm1::QuitClick);
    on(SpeedButton6, &QPushButton::clicked, &TForm1::SpeedButton6Click);
    on(Image1, &PictureImage::clicked, &TForm1::Image1Click);

    on(LoadFormFile, &QAction::triggered, &TForm1::LoadFormFileClick);
    on(SaveToFile, &QAction::triggered, &TForm1::SaveToFileClick);
    on(DeleteFormDB, &QAction::triggered, &TForm1::DeleteFormDBClick);
    on(NewPicFile, &QAction::triggered, &TForm1::NewPicFileClick);
    on(OpenPicDataFile, &QAction::triggered, &TForm1::OpenPicDataFileClick);
    on(Rename, &QAction::triggered, &TForm1::RenameClick);
    on(ShowAll, &QAction::triggered, &TForm1::ShowAllClick);
    on(FiltByName, &QAction::triggered, &TForm1::FiltByNameClick);
    on(SetToDesktop, &QAction::triggered, &TForm1::SetToDesktopClick);
    on(CopyToCBoard, &QAction::triggered, &TForm1::CopyToCBoardClick);
    on(CutToCBoard, &QAction::triggered, &TForm1::CutToCBoardClick);
    on(PasteFromCBoard, &QAction::triggered, &TForm1::PasteFromCBoardClick);
    on(Quit, &QAction::triggered, &TForm1::QuitClick);

    connect(DBGrid1, &NameGrid::popupRequested, this, &TForm1::popupAt);
    auto popupFrom = [this](QWidget* widget) {
        connect(widget, &QWidget::customContextMenuRequested, this,
                [this, widget](const QPoint& pos) { popupAt(widget->mapToGlobal(pos)); });
    };
    popupFrom(ScrollBox1);
    popupFrom(ScrollBox1->widget());
    popupFrom(Image1);
}

void TForm1::popupAt(const QPoint& globalPos) { PopupMenu1->popup(globalPos); }

void TForm1::FormCreate() {
    nameEntry.accepted = false;
    std::string directory = QDir::currentPath().toStdString();
    ADOConnection1.setConnectionString(connectionStringFor(directory + "\\pictures.vlm"));
    ADOQuery1.activate();
    setWindowTitle(windowTitle() + "    默认文件[ " + QString::fromStdString(directory) + "\\pictures.vlm ]");
    if (currentPictureIsNull()) {
        SpeedButton1->setEnabled(false);
        SpeedButton2->setEnabled(false);
        setPictureCommandsEnabled(false);
        pictureCount = 0;
    } else {
        showCurrentPicture();
        pictureCount = ADOQuery1.recordCount();
        SpeedButton1->setEnabled(false);
        SpeedButton2->setEnabled(true);
    }
    updateCountLabel();
}

void TForm1::SpeedButton6Click() {
    if (services_.openUrl) services_.openUrl(kWebSiteAddress);
}

void TForm1::QuitClick() { close(); }

}  // namespace velmora
