// app/report_list.h -- a report-style list view: header row, grid lines, whole-row selection.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QTableView>

#include <vector>

struct ReportColumn {
  QString caption;
  int width = 0;
  Qt::Alignment alignment = Qt::AlignLeft;  // of the column's cells and its header
};

// The rows of one list. Column 0 holds the row's caption, the others its cells.
class ReportListModel final : public QAbstractTableModel {
 public:
  explicit ReportListModel(std::vector<ReportColumn> columns, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  void Clear();
  // Inserts at position; a position past the end or a negative one appends. Returns the
  // row's index.
  int InsertRow(int position, const QString& caption);
  // A row or column that does not exist changes nothing.
  void SetCell(int row, int column, const QString& text);
  QString Text(int row, int column) const;

 private:
  std::vector<ReportColumn> columns_;
  std::vector<std::vector<QString>> rows_;  // each row as wide as columns_
};

class ReportList final : public QTableView {
 public:
  // Header items are clickable only when headerClickable; a click then still does nothing.
  ReportList(std::vector<ReportColumn> columns, bool headerClickable, QWidget* parent);

  ReportListModel& Rows() { return model_; }
  const ReportListModel& Rows() const { return model_; }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void FitRowHeight();

  ReportListModel model_;
};
