#include "platform/ListView.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QScrollBar>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <cmath>

namespace platform {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kDefaultColumnTwips = 1440;
constexpr int kSmallIcon = 16;
/// Where a row's picture for the large-icon view is kept in the model.
constexpr int kLargeIconRole = Qt::UserRole + 1;

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
            if (col == 0)
                return row.text;
            return col - 1 < row.subItems.size() ? row.subItems[col - 1] : QString();
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
    setColumnWidth(model_->realColumnCount() - 1,
                   static_cast<int>(std::lround(double(twips) / kTwipsPerPixel)));
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

void ListView::setItems(std::vector<ListItem> items) {
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
        emit keyPress(key == Qt::Key_Escape ? 27 : 13);
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
