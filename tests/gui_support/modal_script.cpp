#include "tests/gui_support/modal_script.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>

#include <algorithm>

namespace velmora::test {

ModalScript::ModalScript() {
    connect(&timer_, &QTimer::timeout, this, &ModalScript::poll);
    timer_.start(5);
}

ModalScript::~ModalScript() { timer_.stop(); }

void ModalScript::then(std::function<void(QWidget*)> action) { actions_.push_back(std::move(action)); }

SeenBox ModalScript::record(QWidget* modal) {
    SeenBox box;
    box.kind = modal->objectName();
    box.title = modal->windowTitle();
    if (auto* message = qobject_cast<QMessageBox*>(modal)) {
        box.text = message->text();
        box.icon = message->icon();
    }
    seen.push_back(box);
    return box;
}

void ModalScript::answerBox(const QString& button) {
    then([this, button](QWidget* modal) {
        record(modal);
        clickButton(modal, button);
    });
}

void ModalScript::escapeBox() {
    then([this](QWidget* modal) {
        record(modal);
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(modal, &escape);
    });
}

void ModalScript::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible()) return;
    std::erase_if(handled_, [](const QPointer<QWidget>& window) { return window.isNull(); });
    if (std::find(handled_.begin(), handled_.end(), modal) != handled_.end()) return;
    // A progress dialog closes by itself; tests cancel it through what it reports.
    if (qobject_cast<QProgressDialog*>(modal)) return;
    handled_.emplace_back(modal);
    QPointer<QWidget> guard(modal);
    if (actions_.empty()) {
        ++unexpected;
        record(modal);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->done(0);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
        return;
    }
    auto action = std::move(actions_.front());
    actions_.pop_front();
    // Run outside this timer's slot: an action that opens a nested modal window must
    // not stop the polling that answers it.
    QTimer::singleShot(0, this, [action = std::move(action), guard] {
        if (guard) action(guard);
    });
}

void clickButton(QWidget* widget, const QString& caption) {
    for (auto* button : widget->findChildren<QAbstractButton*>()) {
        if (button->text() == caption && button->isVisible()) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << caption.toStdString() << " on " << widget->objectName().toStdString();
}

}  // namespace velmora::test
