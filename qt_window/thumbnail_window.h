#pragma once
// The thumbnail window: a grid of the result set's pictures with their names, bound to
// the core's ThumbnailForm. A list view in icon mode over a model that reads the form
// row by row, so a collection of 100,000 pictures costs only the rows on screen. The
// form owns the selection; the grid draws it, and turns clicks and keys into the form's
// calls. Its size and place are kept in the user's settings.

#include <functional>

#include <QAbstractListModel>
#include <QCache>
#include <QImage>
#include <QListView>
#include <QMenu>
#include <QStyledItemDelegate>
#include <QWidget>

#include "browser/thumbnail_form.h"
#include "browser/thumbnail_view.h"

namespace velmora {

class ThumbnailModel : public QAbstractListModel {
public:
    explicit ThumbnailModel(ThumbnailForm& form, QObject* parent = nullptr) : QAbstractListModel(parent), form_(form) {}
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : rows_; }
    QVariant data(const QModelIndex& index, int role) const override;
    // The rows are read again.
    void reset();

private:
    ThumbnailForm& form_;
    int rows_ = 0;
};

// Paints a cell: the picture (or a placeholder with the name), the name under it, the
// selection and the mark of a picture left out of rotation.
class ThumbnailDelegate : public QStyledItemDelegate {
public:
    explicit ThumbnailDelegate(ThumbnailForm& form, QObject* parent = nullptr) : QStyledItemDelegate(parent), form_(form) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The cell of the current size.
    QSize cellSize(const QFontMetrics& metrics) const;
    // Converted pictures kept for about `screens` screens of area (device pixels).
    void keepConvertedFor(qint64 devicePixels, int screens);

private:
    // The picture in the painter's own pixel format, converted once: drawing the
    // 24-bit bitmap itself converts it at every paint.
    const QImage& converted(const ThumbnailForm::Cell& cell) const;

    ThumbnailForm& form_;
    mutable QCache<quint64, QImage> converted_;  // by the cell's serial
    mutable QImage uncached_;
};

class ThumbnailGrid : public QListView {
    Q_OBJECT

public:
    ThumbnailGrid(ThumbnailForm& form, QWidget* parent);
    // Cells per row of the grid.
    int columns() const;
    // The first and last row on screen.
    std::pair<int, int> visibleRows() const;

signals:
    void popupRequested(const QPoint& globalPosition);
    void resized();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent*) override {}
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    ThumbnailForm& form_;
};

class ThumbnailWindow : public QWidget, public ThumbnailView {
    Q_OBJECT

public:
    ThumbnailWindow(ThumbnailForm& form, QWidget* parent);
    ~ThumbnailWindow() override;

    ThumbnailGrid* grid() const { return grid_; }
    QMenu* popupMenu() const { return popup_; }

    // ThumbnailView.
    void refreshThumbnails() override;
    void thumbnailsArrived() override;
    void revealRow(int row) override;
    std::optional<std::string> chooseFolder(const std::string& caption) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void addCommand(const char* name, const char* caption, std::function<void()> command);
    void changeSize(bool larger);
    // Tells the form which rows are on screen, once the events queued now have run.
    void scheduleVisible();
    void keepGeometry() const;

    ThumbnailForm& form_;
    ThumbnailModel* model_;
    ThumbnailDelegate* delegate_;
    ThumbnailGrid* grid_;
    QMenu* popup_;
    bool visibleScheduled_ = false;
};

}  // namespace velmora
