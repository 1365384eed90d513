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

    promptLabel = new QLabel(design.label, this);
    promptLabel->setObjectName("Label1");
    promptLabel->setGeometry(design.labelGeometry);
    QFont labelFont = font();
    labelFont.setPixelSize(design.labelFontHeight);
    labelFont.setBold(design.labelBold);
    promptLabel->setFont(labelFont);
    QPalette red = promptLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    promptLabel->setPalette(red);

    textEdit = new QLineEdit(design.editText, this);
    textEdit->setObjectName("Edit1");
    textEdit->setGeometry(design.editGeometry);

    okButton = makeButton(this, "Button1", "确定", design.okGeometry);
    cancelButton = makeButton(this, "Button2", "取消", design.cancelGeometry);
    connect(okButton, &QPushButton::clicked, this, [this] { runGuarded([this] { okClicked(); }); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancelClicked(); });
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
    textEdit->setFocus(Qt::OtherFocusReason);
    textEdit->selectAll();
}

}  // namespace velmora
