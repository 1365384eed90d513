#include "qt_window/name_dialog.h"

#include <QComboBox>
#include <QKeyEvent>

namespace velmora {

namespace {

// Frame of a Windows dialog: sizing border and caption, to turn an outer size
// into the client size Qt is given.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 27;

QRect qtRect(const DialogRect& rect) { return {rect.x, rect.y, rect.width, rect.height}; }

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, const DialogRect& geometry) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    button->setGeometry(qtRect(geometry));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

}  // namespace

NameDialog::NameDialog(const TextRequest& request, QWidget* mainWindow) : QDialog(mainWindow), request_(request) {
    const NameDialogDesign& design = nameDialogDesign(request.dialog);
    const TextTable& text = texts();
    setObjectName(design.componentName);
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (design.minMaxBoxes) flags |= Qt::WindowMinMaxButtonsHint;
    setWindowFlags(flags);
    setWindowTitle(QString::fromUtf8(text.*design.caption));
    const QSize size(design.width, design.height);
    const QSize client = design.clientSize ? size : size - QSize(kFrameWidth, kFrameHeight);
    if (design.resizable) {
        resize(client);
    } else {
        setFixedSize(client);
    }
    if (design.screenPosition) {
        move(design.screenPosition->x, design.screenPosition->y);
    } else if (mainWindow) {
        move(mainWindow->frameGeometry().center() - QPoint(client.width() / 2, client.height() / 2));
    }

    promptLabel = new QLabel(QString::fromUtf8(text.*design.label), this);
    promptLabel->setObjectName("Label1");
    promptLabel->setGeometry(qtRect(design.labelGeometry));
    QFont labelFont = font();
    labelFont.setPixelSize(design.labelFontHeight);
    labelFont.setBold(design.labelBold);
    promptLabel->setFont(labelFont);
    QPalette red = promptLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    promptLabel->setPalette(red);

    if (request.offered.empty()) {
        textEdit = new QLineEdit(this);
        textEdit->setGeometry(qtRect(design.editGeometry));
    } else {
        // The texts used last, in a drop-down list under the edit box.
        auto* offered = new QComboBox(this);
        offered->setObjectName("ComboBox1");
        offered->setEditable(true);
        offered->setInsertPolicy(QComboBox::NoInsert);
        for (const std::string& text : request.offered) offered->addItem(QString::fromStdString(text));
        offered->setGeometry(qtRect(design.editGeometry));
        textEdit = offered->lineEdit();
    }
    textEdit->setText(QString::fromStdString(request.text));
    textEdit->setObjectName("Edit1");

    okButton = makeButton(this, "Button1", text.okButton, design.okGeometry);
    cancelButton = makeButton(this, "Button2", text.cancelButton, design.cancelGeometry);
    connect(okButton, &QPushButton::clicked, this, [this] {
        if (request_.accept(textEdit->text().toStdString())) accept();
    });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void NameDialog::keyPressEvent(QKeyEvent* event) {
    // Enter and Esc do nothing here: only the buttons and the close box act.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return;
    default: QDialog::keyPressEvent(event);
    }
}

void NameDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    textEdit->setFocus(Qt::OtherFocusReason);
    textEdit->selectAll();
}

}  // namespace velmora
