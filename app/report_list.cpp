// app/report_list.cpp -- the list views of the main window and their rows.
#include "app/report_list.h"

#include <QEvent>
#include <QHeaderView>

#include <utility>

ReportListModel::ReportListModel(std::vector<ReportColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {}

int ReportListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(columns_[static_cast<std::size_t>(index.column())].alignment |
                                 Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  const ReportColumn& column = columns_[static_cast<std::size_t>(section)];
  if (role == Qt::DisplayRole) return column.caption;
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(column.alignment | Qt::AlignVCenter);
  }
  return {};
}

Qt::ItemFlags ReportListModel::flags(const QModelIndex& index) const {
  // Selectable but never editable: the lists show results, the user does not type into them.
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ReportListModel::Clear() {
  if (rows_.empty()) return;
  beginResetModel();
  rows_.clear();
  endResetModel();
}

int ReportListModel::InsertRow(int position, const QString& caption) {
  int count = rowCount();
  int at = (position < 0 || position >= count) ? count : position;
  beginInsertRows({}, at, at);
  std::vector<QString> row(columns_.size());
  if (!row.empty()) row[0] = caption;
  rows_.insert(rows_.begin() + at, std::move(row));
  endInsertRows();
  return at;
}

void ReportListModel::SetCell(int row, int column, const QString& text) {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return;
  rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = text;
  QModelIndex cell = index(row, column);
  emit dataChanged(cell, cell, {Qt::DisplayRole});
}

QString ReportListModel::Text(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return {};
  return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

ReportList::ReportList(std::vector<ReportColumn> columns, bool headerClickable, QWidget* parent)
    : QTableView(parent), model_(columns) {
  setModel(&model_);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setShowGrid(true);
  setGridStyle(Qt::SolidLine);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setTabKeyNavigation(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

  QPalette colours = palette();
  colours.setColor(QPalette::Text, Qt::black);
  colours.setColor(QPalette::Base, Qt::white);
  colours.setColor(QPalette::Window, Qt::white);
  setPalette(colours);

  // No row numbers at the left: column 0 carries the row's caption.
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(1);
  FitRowHeight();

  QHeaderView* header = horizontalHeader();
  header->setSectionsMovable(false);
  header->setSectionsClickable(headerClickable);
  header->setHighlightSections(false);
  header->setSortIndicatorShown(false);
  header->setStretchLastSection(false);
  header->setSectionResizeMode(QHeaderView::Interactive);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    header->resizeSection(static_cast<int>(i), columns[i].width);
  }
}

void ReportList::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() == QEvent::FontChange) FitRowHeight();
}

// Rows as tight as a desktop list view's: the text's height and a little air.
void ReportList::FitRowHeight() {
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
}
