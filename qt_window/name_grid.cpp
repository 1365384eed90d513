#include "qt_window/name_grid.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QScrollBar>

#include "browser/name_list_keys.h"
#include "browser/row_markers.h"
#include "browser/window_layout.h"

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

NameListModel::NameListModel(BrowserCore& browser, QObject* parent)
    : QAbstractTableModel(parent), browser_(browser) {}

int NameListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int NameListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

QVariant NameListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return {};
    bool current = index.row() == browser_.currentRow();
    switch (role) {
    case Qt::DisplayRole: {
        auto name = browser_.rowName(index.row());
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
    if (orientation == Qt::Horizontal) return QString::fromUtf8(texts().nameListColumn);
    return QString::fromUtf8(rowMarkerText(browser_.rowMarker(section)));
}

bool NameListModel::refresh() {
    const int rows = browser_.rowCount();
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

NameGrid::NameGrid(BrowserCore& browser, QWidget* parent)
    : QTableView(parent), browser_(browser), model_(browser) {
    setVerticalHeader(new IndicatorHeader(this));
    setModel(&model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setTabKeyNavigation(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(18);
    verticalHeader()->setFixedWidth(kRowIndicatorWidth);
    verticalHeader()->setSectionsClickable(false);
    setWordWrap(false);
}

void NameGrid::refresh() {
    // A changed row count starts from the top, as a fresh list would.
    if (model_.refresh()) verticalScrollBar()->setValue(0);
    const int row = browser_.currentRow();
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

void NameGrid::moveTo(int row) { browser_.moveToRow(row); }

void NameGrid::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        int row = rowAt(static_cast<int>(event->position().y()));
        if (row >= 0) moveTo(row);
    }
    event->accept();
}

void NameGrid::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }
void NameGrid::mouseMoveEvent(QMouseEvent* event) { event->accept(); }
void NameGrid::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }

void NameGrid::keyPressEvent(QKeyEvent* event) {
    static constexpr std::pair<int, NameListKey> kKeys[] = {
        {Qt::Key_Up, NameListKey::Up},         {Qt::Key_Down, NameListKey::Down}, {Qt::Key_PageUp, NameListKey::PageUp},
        {Qt::Key_PageDown, NameListKey::PageDown}, {Qt::Key_Home, NameListKey::Home}, {Qt::Key_End, NameListKey::End},
        {Qt::Key_Insert, NameListKey::Insert}, {Qt::Key_Delete, NameListKey::Delete},
    };
    for (const auto& [qtKey, key] : kKeys) {
        if (event->key() != qtKey) continue;
        pressNameListKey(browser_, key, event->modifiers() & Qt::ControlModifier,
                         {topVisibleRow(), bottomVisibleRow(), visibleRowCount()});
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void NameGrid::contextMenuEvent(QContextMenuEvent* event) {
    emit popupRequested(event->globalPos());
    event->accept();
}

}  // namespace velmora
