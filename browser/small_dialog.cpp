#include "browser/small_dialog.h"

#include <QKeyEvent>

#include "browser/command_guard.h"

namespace velmora {

namespace {

// Frame of a Windows dialog: sizing border and caption, to turn an outer size
// into the client size Qt is given.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 27;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

SmallDialog::SmallDialog(const SmallDialogDesign& design, QWidget* mainWindow) : QDialog(mainWindow) {
    setObjectName(design.name);
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (design.minMaxBoxes) flags |= Qt::WindowMinMaxButtonsHint;
    setWindowFlags(flags);
    setWindowTitle(design.caption);
    QSize client = design.clientSize ? design.size : design.size - QSize(kFrameWidth, kFrameHeight);
    if (design.resizable) {
        resize(client);
    } else {
        setFixedSize(client);
    }
    if (design.screenPosition) {
        move(*design.screenPosition);
    } else if (mainWindow) {
        QRect main = mainWindow->frameGeometry();
        move(main.center() - QPoint(client.width() / 2, client.height() / 2));
    }

    Label1 = new QLabel(design.label, this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(design.labelGeometry);
    QFont labelFont = font();
    labelFont.setPixelSize(design.labelFontHeight);
    labelFont.setBold(design.labelBold);
    Label1->setFont(labelFont);
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(red);

    Edit1 = new QLineEdit(design.editText, this);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(design.editGeometry);

    Button1 = makeButton(this, "Button1", "确定", design.okGeometry);
    Button2 = makeButton(this, "Button2", "取消", design.cancelGeometry);
    connect(Button1, &QPushButton::clicked, this, [this] { runGuarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

void SmallDialog::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc do nothing here: only the buttons and the close box act.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return;
    default: QDialog::keyPressEvent(event);
    }
}

void SmallDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Edit1->setFocus(Qt::OtherFocusReason);
    Edit1->selectAll();
}

}  // namespace velmora
