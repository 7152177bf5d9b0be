#include "platform/ListView.h"

#include "platform/ColumnFit.h"
#include "platform/PictureBox.h"
#include "platform/Twips.h"

#include <QAbstractItemDelegate>
#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QScrollBar>
#include <QStackedLayout>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace platform {

namespace {

constexpr int kDefaultColumnTwips = 1440;
constexpr int kSmallIcon = 16;
/// Where a row's picture for the large-icon view is kept in the model.
constexpr int kLargeIconRole = Qt::UserRole + 1;
/// How many of a column's longest texts are measured for its width: widths
/// follow lengths closely enough, and measuring every row of a big folder
/// would stall the window.
constexpr std::size_t kMeasuredCells = 16;
/// The least a name column shrinks to when the other columns take the room.
constexpr int kMinimumFlexibleWidth = 60;

QString cellText(const ListItem& row, int column) {
    if (column == 0)
        return row.text;
    return column - 1 < row.subItems.size() ? row.subItems[column - 1] : QString();
}

struct Column {
    QString header;
    Qt::Alignment alignment;
};

} // namespace

/// The rows of a ListView, kept as one vector so that a whole folder is put in
/// with a single reset.
class ListViewModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : std::max<int>(1, static_cast<int>(columns_.size()));
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const ListItem& row = rows_[static_cast<size_t>(index.row())];
        const int col = index.column();
        switch (role) {
        case Qt::DisplayRole:
            return cellText(row, col);
        case Qt::DecorationRole:
            return col == 0 ? QVariant(row.icon) : QVariant();
        case kLargeIconRole:
            return col == 0 ? QVariant(largeIcons_.value(row.text)) : QVariant();
        case Qt::TextAlignmentRole:
            return alignmentOf(col);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 ||
            section >= static_cast<int>(columns_.size()))
            return {};
        if (role == Qt::DisplayRole)
            return columns_[static_cast<size_t>(section)].header;
        if (role == Qt::TextAlignmentRole)
            return alignmentOf(section);
        // A first click on a header sorts up, as a file manager does.
        if (role == Qt::InitialSortOrderRole)
            return QVariant::fromValue(Qt::AscendingOrder);
        return {};
    }

    void addColumn(const QString& header, Qt::Alignment alignment) {
        // The model always reports at least one column, so the first real one
        // replaces that placeholder instead of being inserted.
        if (columns_.empty()) {
            columns_.push_back({header, alignment});
            emit headerDataChanged(Qt::Horizontal, 0, 0);
            return;
        }
        const int at = static_cast<int>(columns_.size());
        beginInsertColumns({}, at, at);
        columns_.push_back({header, alignment});
        endInsertColumns();
    }
    int realColumnCount() const { return static_cast<int>(columns_.size()); }
    QString header(int column) const {
        return column >= 0 && column < realColumnCount()
                   ? columns_[static_cast<size_t>(column)].header
                   : QString();
    }

    void setRows(std::vector<ListItem> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        largeIcons_.clear();
        rowOf_.clear();
        endResetModel();
    }
    void setLargeIcon(const QString& text, const QImage& image) {
        if (rowOf_.isEmpty()) {
            for (int r = 0; r < rowCount(); ++r)
                rowOf_.insert(rows_[static_cast<size_t>(r)].text, r);
        }
        const auto row = rowOf_.constFind(text);
        if (row == rowOf_.cend())
            return;
        if (image.isNull())
            largeIcons_.remove(text);
        else
            largeIcons_.insert(text, image);
        const QModelIndex at = index(*row, 0);
        emit dataChanged(at, at, {kLargeIconRole});
    }
    const ListItem& row(int r) const { return rows_[static_cast<size_t>(r)]; }
    const std::vector<ListItem>& rows() const { return rows_; }

    /// Reorders the rows in place; the selection and current row follow their
    /// rows through the views' persistent indexes.
    void sortRows(const RowLess& less) {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<int> order(rows_.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return less(rows_[static_cast<size_t>(a)], rows_[static_cast<size_t>(b)]);
        });
        std::vector<int> newRowOf(rows_.size());
        std::vector<ListItem> sorted;
        sorted.reserve(rows_.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            newRowOf[static_cast<size_t>(order[i])] = static_cast<int>(i);
            sorted.push_back(std::move(rows_[static_cast<size_t>(order[i])]));
        }
        rows_ = std::move(sorted);
        rowOf_.clear();
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& index : from)
            to.push_back(
                index.row() < static_cast<int>(newRowOf.size())
                    ? this->index(newRowOf[static_cast<size_t>(index.row())], index.column())
                    : QModelIndex());
        changePersistentIndexList(from, to);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

private:
    QVariant alignmentOf(int column) const {
        if (column < 0 || column >= realColumnCount())
            return {};
        const Qt::Alignment a = columns_[static_cast<size_t>(column)].alignment;
        return QVariant::fromValue(a | Qt::AlignVCenter);
    }

    std::vector<Column> columns_;
    std::vector<ListItem> rows_;
    // Pictures share their pixels with whoever made them; only rows that
    // have one are here.
    QHash<QString, QImage> largeIcons_;
    QHash<QString, int> rowOf_; // built on the first setLargeIcon after setRows
};

/// Draws a row's picture instead of its type icon when the view shows large
/// icons; QIcon centres it in the square and never enlarges it.
class LargeIconDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->decorationSize.width() <= kSmallIcon)
            return;
        const QImage image = index.data(kLargeIconRole).value<QImage>();
        if (!image.isNull())
            option->icon = QIcon(QPixmap::fromImage(image));
    }
};

/// A view that sends its key presses through its ListView first.
template <class Base>
class KeyedView : public Base {
public:
    explicit KeyedView(ListView* owner) : Base(owner), owner_(owner) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        owner_->routeKey(event, [this, event] { Base::keyPressEvent(event); });
    }

private:
    ListView* owner_;
};

ListView::ListView(QWidget* parent)
    : QWidget(parent), model_(new ListViewModel(this)), report_(new KeyedView<QTreeView>(this)),
      icons_(new KeyedView<QListView>(this)), stack_(new QStackedLayout(this)) {
    stack_->setContentsMargins(0, 0, 0, 0);

    report_->setModel(model_);
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->setAllColumnsShowFocus(true);
    report_->setIconSize(QSize(kSmallIcon, kSmallIcon));
    report_->header()->setStretchLastSection(false);
    report_->header()->setSectionsMovable(false);
    report_->header()->setSectionsClickable(true);
    // Unsorted until a host or the user picks a column; the header takes
    // clicks only while it shows its arrow.
    report_->header()->setSortIndicator(-1, Qt::AscendingOrder);
    report_->header()->setSortIndicatorShown(true);
    connect(report_->header(), &QHeaderView::sortIndicatorChanged, this, &ListView::onHeaderSort);
    // A column the user widens by hand stays as wide as the user made it.
    connect(report_->header(), &QHeaderView::sectionResized, this, [this] {
        if (!fitting_)
            flexible_ = -1;
    });

    icons_->setModel(model_);
    icons_->setViewMode(QListView::IconMode);
    icons_->setMovement(QListView::Static);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setWordWrap(true);
    icons_->setUniformItemSizes(true);
    // Laying out thousands of icons in one go would stall the UI thread.
    icons_->setLayoutMode(QListView::Batched);
    icons_->setSelectionModel(report_->selectionModel());
    icons_->setItemDelegate(new LargeIconDelegate(icons_));

    for (QAbstractItemView* v :
         {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
        v->setSelectionMode(QAbstractItemView::SingleSelection);
        v->setSelectionBehavior(QAbstractItemView::SelectRows);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        connect(v, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
            if (index.isValid())
                emit itemClick(index.row());
        });
        connect(v, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            if (index.isValid())
                emit dblClick(index.row());
        });
    }
    for (QAbstractItemView* v :
         {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
        connect(v->verticalScrollBar(), &QScrollBar::valueChanged, this, &ListView::noteRowsInView);
        connect(v->horizontalScrollBar(), &QScrollBar::valueChanged, this,
                &ListView::noteRowsInView);
        v->viewport()->installEventFilter(this);
    }
    connect(model_, &QAbstractItemModel::modelReset, this, &ListView::noteRowsInView);
    connect(report_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { onCurrentRowChanged(current.row()); });

    stack_->addWidget(report_);
    stack_->addWidget(icons_);
    setView(Report);
}

ListView::~ListView() = default;

void ListView::addColumn(const QString& header, int widthTwips, Qt::Alignment alignment) {
    model_->addColumn(header, alignment);
    const int twips = widthTwips < 0 ? kDefaultColumnTwips : widthTwips;
    setColumnWidth(model_->realColumnCount() - 1, TwipsToPixels(twips));
}

int ListView::columnCount() const {
    return model_->realColumnCount();
}

QString ListView::columnHeader(int column) const {
    return model_->header(column);
}

int ListView::columnWidth(int column) const {
    if (column < 0 || column >= columnCount())
        return -1;
    return report_->columnWidth(column);
}

void ListView::setColumnWidth(int column, int widthPixels) {
    if (column >= 0 && column < columnCount())
        report_->setColumnWidth(column, std::max(0, widthPixels));
}

bool ListView::autoSizeColumn(int column) {
    if (column < 0 || column >= columnCount())
        return false;
    report_->resizeColumnToContents(column);
    return true;
}

int ListView::contentWidth(int column) const {
    if (column < 0 || column >= columnCount())
        return -1;
    const std::vector<ListItem>& rows = model_->rows();
    // Lengths first: the sort below then compares plain numbers.
    std::vector<std::pair<qsizetype, int>> longest;
    longest.reserve(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ListItem& row = rows[r];
        const qsizetype length = column == 0 ? row.text.size()
                                 : column - 1 < row.subItems.size()
                                     ? row.subItems[column - 1].size()
                                     : 0;
        longest.emplace_back(length, static_cast<int>(r));
    }
    const std::size_t n = std::min(kMeasuredCells, longest.size());
    std::partial_sort(longest.begin(), longest.begin() + static_cast<std::ptrdiff_t>(n),
                      longest.end(), std::greater<>());
    int width = report_->header()->sectionSizeHint(column);
    QStyleOptionViewItem option;
    option.initFrom(report_);
    option.font = report_->font();
    option.fontMetrics = QFontMetrics(option.font);
    option.decorationSize = report_->iconSize();
    option.features = QStyleOptionViewItem::HasDisplay;
    for (std::size_t i = 0; i < n; ++i) {
        const QModelIndex index = model_->index(longest[i].second, column);
        width =
            std::max(width, report_->itemDelegateForIndex(index)->sizeHint(option, index).width());
    }
    return width;
}

void ListView::fitColumns(int flexible) {
    wantedWidths_.clear();
    for (int c = 0; c < columnCount(); ++c)
        wantedWidths_.push_back(contentWidth(c));
    flexible_ = flexible;
    applyFit();
}

void ListView::applyFit() {
    if (flexible_ < 0 || wantedWidths_.size() != static_cast<size_t>(columnCount()))
        return;
    const std::vector<int> widths =
        FitColumns(wantedWidths_, report_->viewport()->width(), flexible_, kMinimumFlexibleWidth);
    fitting_ = true;
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, widths[static_cast<size_t>(c)]);
    fitting_ = false;
}

void ListView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyFit();
}

void ListView::setColumnOrder(int column, RowLess ascending) {
    if (column < 0)
        return;
    if (columnOrders_.size() <= static_cast<size_t>(column))
        columnOrders_.resize(static_cast<size_t>(column) + 1);
    columnOrders_[static_cast<size_t>(column)] = std::move(ascending);
}

RowLess ListView::currentOrder() const {
    if (sortColumn_ < 0)
        return {};
    const int column = sortColumn_;
    RowLess up = static_cast<size_t>(column) < columnOrders_.size()
                     ? columnOrders_[static_cast<size_t>(column)]
                     : RowLess();
    if (!up) {
        up = [column](const ListItem& a, const ListItem& b) {
            const int c = cellText(a, column).compare(cellText(b, column));
            return c != 0 ? c < 0 : a.text < b.text;
        };
    }
    if (sortOrder_ == Qt::AscendingOrder)
        return up;
    return [up](const ListItem& a, const ListItem& b) { return up(b, a); };
}

void ListView::sortBy(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount())
        return;
    sortColumn_ = column;
    sortOrder_ = order;
    {
        const QSignalBlocker quiet(report_->header());
        report_->header()->setSortIndicator(column, order);
    }
    model_->sortRows(currentOrder());
    const int row = selectedRow();
    if (row >= 0)
        ensureVisible(row);
}

void ListView::onHeaderSort(int column, Qt::SortOrder order) {
    sortBy(column, order);
    emit sortChanged(column, order);
}

void ListView::setItems(std::vector<ListItem> items, bool sorted) {
    if (!sorted) {
        if (const RowLess less = currentOrder())
            std::stable_sort(items.begin(), items.end(), less);
    }
    model_->setRows(std::move(items));
}

void ListView::clear() {
    model_->setRows({});
}

int ListView::count() const {
    return model_->rowCount();
}

const ListItem& ListView::item(int row) const {
    return model_->row(row);
}

int ListView::View() const {
    return view_;
}

void ListView::setView(int style) {
    switch (style) {
    case Report:
        stack_->setCurrentWidget(report_);
        break;
    case LargeIcon:
    case SmallIcon:
        icons_->setViewMode(QListView::IconMode);
        icons_->setFlow(QListView::LeftToRight);
        icons_->setWrapping(true);
        icons_->setIconSize(style == LargeIcon ? QSize(largeIcon_, largeIcon_)
                                               : QSize(kSmallIcon, kSmallIcon));
        stack_->setCurrentWidget(icons_);
        break;
    case List:
        icons_->setViewMode(QListView::ListMode);
        icons_->setFlow(QListView::TopToBottom);
        icons_->setWrapping(true);
        icons_->setIconSize(QSize(kSmallIcon, kSmallIcon));
        stack_->setCurrentWidget(icons_);
        break;
    default:
        return;
    }
    view_ = style;
    const int row = selectedRow();
    if (row >= 0)
        currentView()->scrollTo(model_->index(row, 0));
    noteRowsInView();
}

void ListView::setLargeIconSize(int pixels) {
    largeIcon_ = std::max(kSmallIcon, pixels);
    if (view_ == LargeIcon)
        setView(LargeIcon);
}

void ListView::setLargeIcon(const QString& text, const QImage& image) {
    model_->setLargeIcon(text, image);
}

QImage ListView::largeIcon(int row) const {
    return model_->index(row, 0).data(kLargeIconRole).value<QImage>();
}

std::vector<int> ListView::rowsInView() const {
    std::vector<int> rows;
    const QAbstractItemView* view = currentView();
    const QRect shown = view->viewport()->rect();
    if (!view->isVisible() || shown.isEmpty())
        return rows;
    for (int r = 0; r < count(); ++r) {
        if (view->visualRect(model_->index(r, 0)).intersects(shown))
            rows.push_back(r);
    }
    return rows;
}

void ListView::noteRowsInView() {
    if (rowsInViewPending_)
        return;
    rowsInViewPending_ = true;
    // Layout settles later in the same turn; the rows are asked for after it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            rowsInViewPending_ = false;
            emit rowsInViewChanged();
        },
        Qt::QueuedConnection);
}

bool ListView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
        noteRowsInView();
    return QWidget::eventFilter(watched, event);
}

QAbstractItemView* ListView::currentView() const {
    if (view_ == Report)
        return report_;
    return icons_;
}

int ListView::selectedRow() const {
    const QModelIndexList rows = report_->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString ListView::selectedText() const {
    const int row = selectedRow();
    return row < 0 ? QString() : model_->row(row).text;
}

void ListView::selectRow(int row) {
    QItemSelectionModel* sel = report_->selectionModel();
    if (row < 0 || row >= count()) {
        sel->clear();
        return;
    }
    sel->setCurrentIndex(model_->index(row, 0),
                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::ensureVisible(int row) {
    if (row >= 0 && row < count())
        currentView()->scrollTo(model_->index(row, 0), QAbstractItemView::EnsureVisible);
}

void ListView::refresh() {
    report_->viewport()->update();
    icons_->viewport()->update();
}

void ListView::routeKey(QKeyEvent* event, const std::function<void()>& viewDefault) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->accept();
        emit keyPress(key == Qt::Key_Escape ? KeyAsciiEscape : KeyAsciiReturn);
        return;
    }
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).unicode() < 128)
        emit keyPress(text.at(0).unicode());
    userKey_ = true;
    viewDefault();
    userKey_ = false;
}

void ListView::onCurrentRowChanged(int row) {
    // Only a selection the user moved with the keyboard counts as a click;
    // mouse clicks arrive through clicked(), programmatic ones raise nothing.
    if (userKey_ && row >= 0)
        emit itemClick(row);
}

} // namespace platform
