#include "qt_window/thumbnail_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

#include "browser/texts.h"
#include "platform/xdg_dirs.h"
#include "qt_window/bitmap_image.h"
#include "qt_window/dropped_files.h"

namespace velmora {

namespace {

constexpr int kPadding = 6;

// A thumbnail as 32-bit pixels, which the painter copies as they are. Converted here on
// this thread: Qt's own conversion hands even a small picture to its thread pool.
QImage rgb32Copy(const Bitmap& bitmap) {
    if (bitmap.format() != Bitmap::Format::Bgr24) return imageOver(bitmap).convertToFormat(QImage::Format_RGB32);
    QImage image(bitmap.width(), bitmap.height(), QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* in = bitmap.scanLine(y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x, in += 3) out[x] = qRgb(in[2], in[1], in[0]);
    }
    return image;
}

// Where the window's size and place are kept.
QString settingsPath() { return QString::fromStdString(platform::xdgConfigHome() + "/velmora/thumbnails.conf"); }

}  // namespace

// ---- The model ----

QVariant ThumbnailModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= form_.rowCount()) return {};
    return QString::fromStdString(form_.name(index.row()));
}

void ThumbnailModel::reset() {
    beginResetModel();
    rows_ = form_.rowCount();
    endResetModel();
}

// ---- The cells ----

QSize ThumbnailDelegate::cellSize(const QFontMetrics& metrics) const {
    return {form_.edge() + 2 * kPadding, form_.edge() + 3 * kPadding + metrics.height()};
}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return cellSize(option.fontMetrics);
}

void ThumbnailDelegate::keepConvertedFor(qint64 devicePixels, int screens) {
    converted_.setMaxCost(std::max<qint64>(devicePixels * 4 * screens, 1));
}

const QImage& ThumbnailDelegate::converted(const ThumbnailForm::Cell& cell) const {
    if (const QImage* kept = converted_.object(cell.serial)) return *kept;
    QImage image = rgb32Copy(*cell.picture);
    const qint64 bytes = image.sizeInBytes();
    if (bytes > converted_.maxCost()) {
        uncached_ = std::move(image);  // larger than the room for all: drawn, not kept
        return uncached_;
    }
    converted_.insert(cell.serial, new QImage(std::move(image)), bytes);
    return *converted_.object(cell.serial);
}

void ThumbnailDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const int row = index.row();
    if (row >= form_.rowCount()) return;
    const int edge = form_.edge();
    const QRect cell = option.rect;
    const QRect box(cell.x() + (cell.width() - edge) / 2, cell.y() + kPadding, edge, edge);
    const QString name = QString::fromStdString(form_.name(row));
    painter->save();
    if (form_.selected(row)) painter->fillRect(cell, option.palette.highlight().color().lighter(150));
    const ThumbnailForm::Cell picture = form_.cell(row);
    if (picture.picture) {
        // Drawn in device pixels, on whole ones: the painter then copies the picture's
        // rows, where under the screen's scale it would resample them.
        const QImage& image = converted(picture);
        const qreal ratio = static_cast<qreal>(form_.deviceEdge()) / edge;
        const QPoint at(static_cast<int>(std::lround(box.x() * ratio)) + (form_.deviceEdge() - image.width()) / 2,
                        static_cast<int>(std::lround(box.y() * ratio)) + (form_.deviceEdge() - image.height()) / 2);
        painter->save();
        painter->scale(1 / ratio, 1 / ratio);
        painter->drawImage(at, image);
        painter->restore();
    } else {
        // Until the picture is made a plain square; a picture that cannot be decoded gets
        // a crossed one with its name, never another picture.
        painter->fillRect(box, QColor(225, 225, 225));
        if (picture.failed) {
            painter->setPen(QColor(160, 160, 160));
            painter->drawRect(box.adjusted(0, 0, -1, -1));
            painter->drawLine(box.topLeft(), box.bottomRight());
            painter->drawLine(box.topRight(), box.bottomLeft());
            painter->setPen(option.palette.text().color());
            painter->drawText(box.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWrapAnywhere, name);
        }
    }
    if (form_.leftOut(row)) {
        // Left out of rotation: a small struck-through circle in the corner.
        const QRect mark(box.right() - 17, box.top() + 3, 14, 14);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setBrush(QColor(255, 255, 255, 220));
        painter->setPen(QPen(QColor(200, 30, 30), 2));
        painter->drawEllipse(mark);
        painter->drawLine(mark.topLeft() + QPoint(3, 3), mark.bottomRight() - QPoint(3, 3));
    }
    painter->setPen(option.palette.text().color());
    const QRect text(cell.x() + 2, box.bottom() + kPadding, cell.width() - 4, option.fontMetrics.height());
    painter->drawText(text, Qt::AlignHCenter | Qt::AlignTop, option.fontMetrics.elidedText(name, Qt::ElideMiddle, text.width()));
    painter->restore();
}

// ---- The grid ----

ThumbnailGrid::ThumbnailGrid(ThumbnailForm& form, QWidget* parent) : QListView(parent), form_(form) {
    setObjectName("ThumbnailGrid");
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setWrapping(true);
    setSelectionMode(QAbstractItemView::NoSelection);  // the form's selection is drawn
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
}

int ThumbnailGrid::columns() const {
    const int width = gridSize().width();
    return width > 0 ? std::max(1, viewport()->width() / width) : 1;
}

std::pair<int, int> ThumbnailGrid::visibleRows() const {
    const int height = std::max(gridSize().height(), 1);
    const int top = verticalScrollBar()->value();
    const int firstLine = top / height;
    const int lastLine = (top + viewport()->height()) / height;
    return {firstLine * columns(), (lastLine + 1) * columns() - 1};
}

void ThumbnailGrid::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    emit resized();
}

void ThumbnailGrid::keyPressEvent(QKeyEvent* event) {
    const int count = form_.rowCount();
    const int current = std::max(form_.currentRow(), 0);
    const int page = columns() * std::max(1, viewport()->height() / std::max(gridSize().height(), 1));
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Left: target = current - 1; break;
    case Qt::Key_Right: target = current + 1; break;
    case Qt::Key_Up: target = current - columns(); break;
    case Qt::Key_Down: target = current + columns(); break;
    case Qt::Key_PageUp: target = std::max(0, current - page); break;
    case Qt::Key_PageDown: target = std::min(count - 1, current + page); break;
    case Qt::Key_Home: target = 0; break;
    case Qt::Key_End: target = count - 1; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: form_.openViewer(); return;
    case Qt::Key_Delete: form_.deleteSelected(); return;
    default:
        if (event->matches(QKeySequence::SelectAll)) {
            form_.selectAll();
            return;
        }
        QListView::keyPressEvent(event);
        return;
    }
    if (target >= 0 && target < count) form_.click(target, false, shift);
}

void ThumbnailGrid::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const QModelIndex index = indexAt(event->position().toPoint());
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (index.isValid() && !(event->button() == Qt::RightButton && form_.selected(index.row())))
        form_.click(index.row(), modifiers & Qt::ControlModifier, modifiers & Qt::ShiftModifier);
    if (event->button() == Qt::RightButton) emit popupRequested(event->globalPosition().toPoint());
}

void ThumbnailGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (indexAt(event->position().toPoint()).isValid()) form_.openViewer();
}

void ThumbnailGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (form_.acceptsDrop(localFiles(event->mimeData()))) event->acceptProposedAction();
}

void ThumbnailGrid::dragMoveEvent(QDragMoveEvent* event) {
    if (form_.acceptsDrop(localFiles(event->mimeData()))) event->acceptProposedAction();
}

void ThumbnailGrid::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = localFiles(event->mimeData());
    if (!form_.acceptsDrop(files)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    form_.drop(files);
}

// ---- The window ----

ThumbnailWindow::ThumbnailWindow(ThumbnailForm& form, QWidget* parent) : QWidget(parent, Qt::Window), form_(form) {
    setObjectName("ThumbnailForm");
    setWindowTitle(QString::fromUtf8(texts().thumbnailsCaption));
    model_ = new ThumbnailModel(form_, this);
    delegate_ = new ThumbnailDelegate(form_, this);
    grid_ = new ThumbnailGrid(form_, this);
    grid_->setModel(model_);
    grid_->setItemDelegate(delegate_);
    delegate_->keepConvertedFor(760 * 520, 2);
    grid_->setGridSize(delegate_->cellSize(grid_->fontMetrics()));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
    // A scroll asks for its rows before the paint it brings, so that the rows' names and
    // marks are read once, not by the paint.
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        const auto [first, last] = grid_->visibleRows();
        form_.showRows(first, last);
    });
    connect(grid_, &ThumbnailGrid::resized, this, [this] {
        const qreal ratio = grid_->devicePixelRatioF();
        const QSize shown = grid_->viewport()->size();
        delegate_->keepConvertedFor(static_cast<qint64>(shown.width() * ratio) * static_cast<qint64>(shown.height() * ratio), 2);
        scheduleVisible();
    });
    connect(grid_, &ThumbnailGrid::popupRequested, this, [this](const QPoint& at) { popup_->popup(at); });

    popup_ = new QMenu(this);
    popup_->setObjectName("ThumbnailMenu");
    addCommand("ThumbnailDelete", texts().deleteItem, [this] { form_.deleteSelected(); });
    addCommand("ThumbnailSave", texts().saveItem, [this] { form_.exportSelected(); });
    addCommand("ThumbnailWallpaper", texts().wallpaperItem, [this] { form_.setAsWallpaper(); });
    popup_->addSeparator();
    addCommand("LeaveOut", texts().leaveOutItem, [this] { form_.setLeftOut(true); });
    addCommand("PutBack", texts().putBackItem, [this] { form_.setLeftOut(false); });

    auto* larger = new QAction(this);
    larger->setObjectName("LargerThumbnails");
    larger->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(larger, &QAction::triggered, this, [this] { changeSize(true); });
    auto* smaller = new QAction(this);
    smaller->setObjectName("SmallerThumbnails");
    smaller->setShortcuts({QKeySequence::ZoomOut});
    connect(smaller, &QAction::triggered, this, [this] { changeSize(false); });
    addActions({larger, smaller});

    resize(760, 520);
    const QByteArray kept = QSettings(settingsPath(), QSettings::IniFormat).value("geometry").toByteArray();
    if (!kept.isEmpty()) restoreGeometry(kept);
}

ThumbnailWindow::~ThumbnailWindow() { form_.attach(nullptr); }

void ThumbnailWindow::addCommand(const char* name, const char* caption, std::function<void()> command) {
    QAction* action = popup_->addAction(QString::fromUtf8(caption));
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, std::move(command));
}

void ThumbnailWindow::changeSize(bool larger) {
    if (!(larger ? form_.larger() : form_.smaller())) return;
    grid_->setGridSize(delegate_->cellSize(grid_->fontMetrics()));
    revealRow(form_.currentRow());
}

void ThumbnailWindow::refreshThumbnails() {
    if (model_->rowCount() != form_.rowCount()) {
        model_->reset();
        grid_->setGridSize(delegate_->cellSize(grid_->fontMetrics()));
    }
    grid_->viewport()->update();
    scheduleVisible();
}

void ThumbnailWindow::thumbnailsArrived() { grid_->viewport()->update(); }

void ThumbnailWindow::revealRow(int row) {
    if (row >= 0 && row < model_->rowCount()) grid_->scrollTo(model_->index(row));
    scheduleVisible();
}

std::optional<std::string> ThumbnailWindow::chooseFolder(const std::string& caption) {
    const QString folder = QFileDialog::getExistingDirectory(this, QString::fromStdString(caption));
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
}

void ThumbnailWindow::scheduleVisible() {
    if (visibleScheduled_) return;
    visibleScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        visibleScheduled_ = false;
        const auto [first, last] = grid_->visibleRows();
        form_.showRows(first, last);
    });
}

void ThumbnailWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    form_.attach(this);
    form_.setPixelRatio(devicePixelRatioF());
    model_->reset();
    grid_->setGridSize(delegate_->cellSize(grid_->fontMetrics()));
    revealRow(form_.currentRow());
}

void ThumbnailWindow::closeEvent(QCloseEvent* event) {
    keepGeometry();
    form_.attach(nullptr);
    QWidget::closeEvent(event);
}

void ThumbnailWindow::keepGeometry() const {
    QSettings(settingsPath(), QSettings::IniFormat).setValue("geometry", saveGeometry());
}

}  // namespace velmora
