#pragma once
// The small modal dialogs (PictureNameDialog, RenameDialog, FilterDialog,
// NewFileDialog): a red label, an edit box whose design text is selected when the
// dialog opens, and the buttons "确定" and "取消". Neither button is bound to Enter or Esc; the close box cancels.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora {

struct SmallDialogDesign {
    const char* name;
    QString caption;
    QSize size;           // outer size, or the client size when clientSize is set
    bool clientSize = false;
    bool resizable = true;
    bool minMaxBoxes = false;
    std::optional<QPoint> screenPosition;  // else centred on the main window
    QString label;
    QRect labelGeometry;
    int labelFontHeight = 16;
    bool labelBold = true;
    QString editText;
    QRect editGeometry;
    QRect okGeometry;
    QRect cancelGeometry;
};

class SmallDialog : public QDialog {
    Q_OBJECT

public:
    SmallDialog(const SmallDialogDesign& design, QWidget* mainWindow);

    QLabel* promptLabel;
    QLineEdit* textEdit;
    QPushButton* okButton;
    QPushButton* cancelButton;

    // "确定": the dialog's own action, run inside the command guard; the dialog
    // closes only when the action asks for it (accept()).
    virtual void okClicked() = 0;
    // "取消" closes and changes nothing.
    void cancelClicked() { reject(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

}  // namespace velmora
