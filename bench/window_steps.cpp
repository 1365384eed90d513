#include "bench/window_steps.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QThread>

#include <algorithm>
#include <cstdlib>

#include "qt_window/main_window.h"

namespace velmora::bench {

void nextPicture(MainWindow& form) {
    form.button("SpeedButton2")->click();
    form.pictureView->repaint();
    // A picture still being made ahead is painted when it comes.
    QElapsedTimer timer;
    timer.start();
    while (!form.pictureView->picture().hasDisplayBitmap()) {
        if (timer.elapsed() > 5000) std::abort();  // nothing was painted
        QApplication::processEvents();
        QThread::usleep(200);
    }
}

void idle(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents();
        QThread::msleep(2);
    }
}

double percentile90(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[(times.size() * 9 + 9) / 10 - 1];
}

}  // namespace velmora::bench
