#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

class QAbstractItemView;
class QKeyEvent;
class QListView;
class QStackedLayout;
class QTreeView;

namespace platform {

class ListViewModel;

/// One row of a ListView: the item text (first column), the sub-item texts of
/// the further columns (index 0 is column 1) and the item's icon. The icon is
/// drawn small in report view and large in the icon views.
struct ListItem {
    QString text;
    QStringList subItems;
    QIcon icon;
    /// The host's own bytes for the row (the file list keeps each file's name
    /// as the file system holds it); never shown.
    QByteArray data;
    /// Numbers a host's column order can use (the file list: bytes, seconds).
    std::array<qint64, 2> keys{};
};

/// A strict weak order of rows, for one column's sort.
using RowLess = std::function<bool(const ListItem& a, const ListItem& b)>;

/// A list of files shown either as a report (a table with column headers) or as
/// large icons. Both views show the same rows and share one selection, so
/// switching the view keeps the selected row.
///
/// Rows are handed over in one batch (setItems) so that a folder of many
/// thousand files costs one model reset, not one insertion per row.
///
/// Signals are raised for user actions only: selectRow() and setItems() never
/// raise itemClick, so a host can select a row without triggering its preview.
class ListView : public QWidget {
    Q_OBJECT
public:
    /// View styles, numbered as hosts store and exchange them.
    enum ViewStyle { LargeIcon = 0, SmallIcon = 1, List = 2, Report = 3 };

    explicit ListView(QWidget* parent = nullptr);
    ~ListView() override;

    /// Appends a column. `widthTwips` < 0 keeps the default width (1440 twips);
    /// the width is converted at 15 twips per pixel. `alignment` applies to the
    /// header and the cells of that column.
    void addColumn(const QString& header, int widthTwips = -1,
                   Qt::Alignment alignment = Qt::AlignLeft);
    int columnCount() const;
    QString columnHeader(int column) const;
    /// Width of a column of the report view in pixels; -1 for a bad index.
    int columnWidth(int column) const;
    void setColumnWidth(int column, int widthPixels);
    /// Makes a column as wide as the wider of its longest cell and its header.
    /// Returns false for a bad index.
    bool autoSizeColumn(int column);

    /// Widens each column to what its content wants: every column as wide as
    /// the wider of its longest cell and its header, except `flexible`, which
    /// takes no more than the room the others leave (see FitColumns). Later
    /// resizes of the list fit the columns again, until the next call or a
    /// drag of a column's edge.
    void fitColumns(int flexible);
    /// The width column `column` wants: its header or its widest cell, whichever
    /// is wider (cells measured among the longest texts). -1 for a bad index.
    int contentWidth(int column) const;

    /// Gives `column` its order: `ascending` is the order of a first click on
    /// its header; without one a column sorts by its text. The order must be
    /// total (break ties), so that reversing it reverses the list.
    void setColumnOrder(int column, RowLess ascending);
    /// The column the rows are sorted by and the direction; -1 while unsorted.
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    /// Sorts the rows (both views share the order) and shows the header's
    /// arrow; the selection stays on its row. A bad column leaves rows as they
    /// are. Raises no sortChanged.
    void sortBy(int column, Qt::SortOrder order);
    /// The current order as one comparison, for sorting rows before handing
    /// them over (also on another thread: the orders must not touch widgets).
    /// Null while unsorted.
    RowLess currentOrder() const;

    /// Replaces every row at once; clears the selection. Raises no itemClick.
    /// Rows are put in the current order unless `sorted` says they are.
    void setItems(std::vector<ListItem> items, bool sorted = false);
    /// Removes every row; clears the selection.
    void clear();
    int count() const;
    /// The row at `row` (0-based). Precondition: 0 <= row < count().
    const ListItem& item(int row) const;

    /// Current view style (ViewStyle); Report after construction.
    int View() const;
    /// Switches the view; values outside 0..3 are ignored.
    void setView(int style);

    /// Selected row (0-based), or -1 when nothing is selected.
    int selectedRow() const;
    /// Text of the selected item; empty when nothing is selected.
    QString selectedText() const;
    /// Selects `row` (no itemClick); a bad index clears the selection.
    void selectRow(int row);
    /// Scrolls the shown view so that `row` is visible; bad indexes are ignored.
    void ensureVisible(int row);
    /// Repaints both views.
    void refresh();

    /// Side of the square each picture fills in the large-icon view, in
    /// pixels (32 unless set).
    void setLargeIconSize(int pixels);
    int largeIconSize() const { return largeIcon_; }
    /// Shows `image` (fitted in the large-icon square and centred; its device
    /// pixel ratio is respected) in place of the type icon of the row whose
    /// text is `text`, in the large-icon view only; the report view keeps the
    /// type icon. A null image brings the type icon back. Unknown texts are
    /// ignored; setItems and clear drop every such picture.
    void setLargeIcon(const QString& text, const QImage& image);
    /// The picture set for a row by setLargeIcon; null when none.
    QImage largeIcon(int row) const;
    /// The rows the shown view has on screen now, in order.
    std::vector<int> rowsInView() const;

    /// The two views, for hosts and tests that need the widgets themselves. The
    /// ListView owns them.
    QTreeView* reportView() const { return report_; }
    QListView* iconView() const { return icons_; }
    /// The view that is shown for the current style.
    QAbstractItemView* currentView() const;

signals:
    /// The user clicked an item, or moved the selection to it with the keyboard.
    void itemClick(int row);
    /// The user double-clicked an item.
    void dblClick(int row);
    /// Other rows may have come on screen: the view scrolled or changed size,
    /// the style changed, or new rows were set. Raised once per event-loop
    /// turn at most.
    void rowsInViewChanged();
    /// A key that produces a character was pressed in the list. Enter (13) and
    /// Esc (27) are consumed by the list (they neither edit nor activate an
    /// item); other keys still move the selection as usual.
    void keyPress(int keyAscii);
    /// The user chose a sort by clicking a column's header.
    void sortChanged(int column, Qt::SortOrder order);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <class Base>
    friend class KeyedView;
    /// Handles a key press of either view: Enter and Esc are consumed here,
    /// other keys run `viewDefault` (the view's own handling) with the flag set
    /// that marks selection changes as the user's.
    void routeKey(QKeyEvent* event, const std::function<void()>& viewDefault);
    void onCurrentRowChanged(int row);
    void onHeaderSort(int column, Qt::SortOrder order);
    void applyFit();

    ListViewModel* model_;
    QTreeView* report_;
    QListView* icons_;
    QStackedLayout* stack_;
    void noteRowsInView();

    int view_ = Report;
    int largeIcon_ = 32;
    bool userKey_ = false;
    bool rowsInViewPending_ = false;
    std::vector<RowLess> columnOrders_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::vector<int> wantedWidths_;
    int flexible_ = -1;
    bool fitting_ = false;
};

} // namespace platform
