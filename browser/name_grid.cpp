#include "browser/name_grid.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>

#include "browser/command_guard.h"

namespace velmora {
namespace {

// The row indicator column. Its width is fixed, so the view never needs it measured
// from the contents: QHeaderView would measure up to 200 rows again after every
// change of the list, once per record when a thousand records are deleted.
class IndicatorHeader : public QHeaderView {
public:
    explicit IndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) { setHighlightSections(true); }
    QSize sizeHint() const override { return {minimumWidth(), defaultSectionSize()}; }
};

}  // namespace

NameListModel::NameListModel(PictureQuery& query, QObject* parent) : QAbstractTableModel(parent), query_(query) {}

int NameListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int NameListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

QVariant NameListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return {};
    bool current = index.row() == query_.currentRow();
    switch (role) {
    case Qt::DisplayRole: {
        auto name = query_.displayName(index.row());
        return name ? QString::fromStdString(*name) : QString();
    }
    case Qt::BackgroundRole:
        if (current) return QPalette().brush(QPalette::Highlight);
        return {};
    case Qt::ForegroundRole:
        if (current) return QPalette().brush(QPalette::HighlightedText);
        return {};
    default: return {};
    }
}

QVariant NameListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return QStringLiteral("filename");
    if (section != query_.currentRow()) return QString();
    switch (query_.state()) {
    case DatasetState::Insert: return QStringLiteral("*");
    case DatasetState::Edit: return QStringLiteral("I");
    default: return QStringLiteral("\u25B6");
    }
}

bool NameListModel::refresh() {
    const int rows = query_.displayRowCount();
    const int before = rows_;
    // Rows added or taken at the end rather than a reset: a reset makes every view
    // measure its headers again, once per record when a thousand are deleted.
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    if (rows_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, 0));
        emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
    }
    return rows_ != before;
}

NameGrid::NameGrid(PictureQuery& query, QWidget* parent) : QTableView(parent), query_(query), model_(query) {
    setVerticalHeader(new IndicatorHeader(this));
    setModel(&model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setFixedWidth(14);
    verticalHeader()->setSectionsClickable(false);
    setWordWrap(false);
}

void NameGrid::refresh() {
    // A changed row count starts from the top, as a fresh list would.
    if (model_.refresh()) verticalScrollBar()->setValue(0);
    const int row = query_.currentRow();
    // The first row with the list at its top is in view already; asking the view would
    // lay it out now, once per record when a file is emptied record by record.
    const bool firstInView = row == 0 && verticalScrollBar()->value() == 0;
    if (row >= 0 && row < model_.rowCount() && !firstInView) {
        scrollTo(model_.index(row, 0), QAbstractItemView::EnsureVisible);
    }
    viewport()->update();
}

int NameGrid::visibleRowCount() const {
    int rowHeight = verticalHeader()->defaultSectionSize();
    return std::max(1, viewport()->height() / std::max(1, rowHeight));
}

int NameGrid::topVisibleRow() const {
    int row = rowAt(0);
    return row < 0 ? 0 : row;
}

int NameGrid::bottomVisibleRow() const {
    int row = rowAt(viewport()->height() - 1);
    if (row < 0) row = model_.rowCount() - 1;
    return row;
}

void NameGrid::moveTo(int row) {
    int current = query_.currentRow();
    if (row < 0 || row == current) return;
    runGuarded([&] { query_.moveBy(row - current); });
}

void NameGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        int row = rowAt(static_cast<int>(event->position().y()));
        if (row >= 0 && query_.active()) moveTo(row);
    }
    event->accept();
}

void NameGrid::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }
void NameGrid::mouseMoveEvent(QMouseEvent* event) { event->accept(); }
void NameGrid::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

void NameGrid::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    auto move = [&](const std::function<void()>& action) {
        // A closed query shows no rows: there is nothing to move through.
        if (query_.active()) runGuarded(action);
        event->accept();
    };
    switch (event->key()) {
    case Qt::Key_Up:
        if (ctrl) return move([&] { moveTo(topVisibleRow()); });
        return move([&] { query_.prior(); });
    case Qt::Key_Down:
        if (ctrl) return move([&] { moveTo(bottomVisibleRow()); });
        return move([&] { query_.next(); });
    case Qt::Key_PageUp:
        if (ctrl) return move([&] { moveTo(topVisibleRow()); });
        return move([&] { query_.moveBy(-visibleRowCount()); });
    case Qt::Key_PageDown:
        if (ctrl) return move([&] { moveTo(bottomVisibleRow()); });
        return move([&] { query_.moveBy(visibleRowCount()); });
    case Qt::Key_Home: return move([&] { query_.first(); });
    case Qt::Key_End: return move([&] { query_.last(); });
    case Qt::Key_Insert:
    case Qt::Key_Delete: event->accept(); return;  // the list never inserts or deletes
    default: QTableView::keyPressEvent(event);
    }
}

void NameGrid::contextMenuEvent(QContextMenuEvent* event) {
    emit popupRequested(event->globalPos());
    event->accept();
}

}  // namespace velmora
