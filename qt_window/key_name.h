#pragma once
// A Qt key press named as the command tables spell keys ("Ctrl+Shift+O", "PgDown").

#include <string>

#include <QKeyEvent>
#include <QKeySequence>

namespace velmora {

inline std::string keyName(const QKeyEvent& event) {
    // The keypad's Enter is Enter wherever it sits.
    const QKeyCombination pressed(event.modifiers() & ~Qt::KeypadModifier, Qt::Key(event.key()));
    return QKeySequence(pressed).toString(QKeySequence::PortableText).toStdString();
}

}  // namespace velmora
