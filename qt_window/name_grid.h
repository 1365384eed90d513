#pragma once
// `nameList`: a read-only list of the result set's names with an indicator on the
// current row. It reads names from the browser only for the rows it shows, and turns
// clicks and keys into the browser's ordinary moves of the record cursor.

#include <QAbstractTableModel>
#include <QTableView>

#include "browser/browser_core.h"

namespace velmora {

class NameListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit NameListModel(BrowserCore& browser, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Follows the browser's rows after a change; true when the number of rows changed.
    bool refresh();

private:
    BrowserCore& browser_;
    int rows_ = 0;
};

class NameGrid : public QTableView {
    Q_OBJECT

public:
    explicit NameGrid(BrowserCore& browser, QWidget* parent = nullptr);

    void refresh();
    // Rows that fit the visible area, at least one.
    int visibleRowCount() const;

signals:
    void popupRequested(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void moveTo(int row);
    int topVisibleRow() const;
    int bottomVisibleRow() const;

    BrowserCore& browser_;
    NameListModel model_;
};

}  // namespace velmora
