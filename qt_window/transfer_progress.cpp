#include "qt_window/transfer_progress.h"

#include <atomic>
#include <exception>
#include <memory>
#include <thread>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>

#include "browser/texts.h"

namespace velmora {

namespace {

// Shorter transfers show no window: a paste of a usual picture takes a few milliseconds.
constexpr qint64 kQuietMilliseconds = 400;

std::unique_ptr<QProgressDialog> progressWindow(platform::SelectionProgress& progress) {
    QWidget* parent = QApplication::activeWindow();
    auto dialog = std::make_unique<QProgressDialog>(parent);
    dialog->setObjectName("TransferProgress");
    if (parent) dialog->setWindowTitle(parent->windowTitle());
    dialog->setCancelButtonText(QString::fromUtf8(texts().cancelButton));
    dialog->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    // Cancel asks the transfer to stop; the window stays until it has.
    QObject::disconnect(dialog.get(), &QProgressDialog::canceled, dialog.get(), &QProgressDialog::cancel);
    QObject::connect(dialog.get(), &QProgressDialog::canceled, [&progress] { progress.cancel(); });
    return dialog;
}

void showProgress(QProgressDialog& dialog, const platform::SelectionProgress& progress) {
    const auto megabytes = [](std::uint64_t bytes) { return QString::number(bytes / 1e6, 'f', 1) + " MB"; };
    const std::uint64_t received = progress.received();
    const std::uint64_t announced = progress.announced();
    if (announced >= received && announced > 0) {
        dialog.setRange(0, 1000);
        dialog.setValue(static_cast<int>(received * 1000 / announced));
        dialog.setLabelText(megabytes(received) + " / " + megabytes(announced));
    } else {
        dialog.setRange(0, 0);  // a busy bar: the owner did not say how much comes
        dialog.setLabelText(megabytes(received));
    }
}

}  // namespace

void runTransfer(const std::function<void()>& work, platform::SelectionProgress& progress) {
    QEventLoop loop;
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    // Widgets only where there is a QApplication.
    const bool canShow = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    std::unique_ptr<QProgressDialog> dialog;
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (done || (!dialog && canShow && clock.elapsed() >= kQuietMilliseconds)) {
            loop.quit();
        } else if (dialog) {
            showProgress(*dialog, progress);
        }
    });
    tick.start(50);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!done && canShow) {
        // From here the modal window keeps input away from the rest.
        dialog = progressWindow(progress);
        showProgress(*dialog, progress);
        dialog->show();
        while (!done) loop.exec();
    }
    while (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace velmora
