#pragma once
// Drives modal windows from a test: each queued action runs on the next modal
// window that opens (message boxes, dialogs), from inside its own event loop.
// Progress dialogs are left alone.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <vector>

namespace velmora::test {

struct SeenBox {
    QString kind;  // the box's object name: ConditionBox, ConfirmBox, ErrorBox, ...
    QString title;
    QString text;
    int icon = 0;  // QMessageBox::Icon
};

class ModalScript : public QObject {
public:
    ModalScript();
    ~ModalScript() override;

    // Runs action on the next modal window.
    void then(std::function<void(QWidget*)> action);
    // Records the next message box and presses its button captioned `button`.
    void answerBox(const QString& button = "OK");
    // Records the next message box and closes it with Esc.
    void escapeBox();

    // Every message box seen, in order.
    std::vector<SeenBox> seen;
    // Actions not yet used.
    size_t pending() const { return actions_.size(); }
    // Modal windows that appeared with no action queued (closed to keep tests going).
    int unexpected = 0;

private:
    void poll();
    SeenBox record(QWidget* modal);

    QTimer timer_;
    std::deque<std::function<void(QWidget*)>> actions_;
    // Every modal window handled so far: one that is active again once a window it
    // opened has closed is not a new one.
    std::vector<QPointer<QWidget>> handled_;
};

// Clicks the push button of widget whose text is caption (fails the test if absent).
void clickButton(QWidget* widget, const QString& caption);

}  // namespace velmora::test
