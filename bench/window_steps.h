#pragma once
// Steps through the real main window shared by the window benchmarks.

#include <QEvent>
#include <QObject>

#include <vector>

namespace velmora {
class MainWindow;
}

namespace velmora::bench {

// Counts the paints of a widget it filters the events of.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// One press of the next button, until the new picture has been painted.
void nextPicture(MainWindow& form);
// Runs the window's events for ms milliseconds.
void idle(int ms);
// The value 90 % of the times are at or below.
double percentile90(std::vector<double> times);

}  // namespace velmora::bench
