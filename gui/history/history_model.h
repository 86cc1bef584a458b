#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <functional>
#include <string>
#include <vector>

#include "model/computation_listener.h"
#include "model/record/computation_record.h"

namespace quorvel {

// The record of computations as a table for the History window: one row per entry, newest
// first; the columns of the record file (time, the batch's input and output columns). It
// listens to computations: each one that ends becomes a row stamped with the local time. The
// record it shows belongs to it; every change is announced by recordChanged (the record file
// saves on it).
class HistoryModel : public QAbstractTableModel, public ComputationListener {
    Q_OBJECT

  public:
    // The sort key of a cell: the entry's number for the time, the number for a number column
    // (an empty cell below every number), the text otherwise.
    static constexpr int kSortRole = Qt::UserRole;

    explicit HistoryModel(std::size_t capacity = ComputationRecord::kDefaultCapacity,
                          QObject* parent = nullptr);

    const ComputationRecord& record() const { return record_; }
    // The entry shown in a row (0 is the newest).
    const RecordEntry& entryAt(int row) const;
    // The record position (oldest first) of a row.
    std::size_t positionOf(int row) const;

    // Appends an entry; when the record is full its oldest row goes first.
    void append(RecordEntry entry);
    void clear();
    // Replaces the record with the readable rows of a record file's text.
    RecordReadReport read(std::string_view file);
    // Replaces the record with these entries, oldest first (renumbered; beyond the capacity the
    // oldest go). Like read, it does not announce recordChanged: the record file calls both.
    void replaceEntries(const std::vector<RecordEntry>& entries);

    // Where the time of a new entry comes from (the local time by default); for tests.
    void setClock(std::function<std::string()> clock) { clock_ = std::move(clock); }

    void quantityComputed(const ComputeRequest& request, const ComputeOutcome& outcome) override;
    void effectComputed(const EffectRequest& request, const EffectOutcome& outcome) override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The column titles shown above the table ("Time", "Distribution", ..., "Achieved power").
    static QString columnTitle(int column);
    // "1 computation", "12 computations" (in the user's number format).
    static QString computationCount(std::size_t count);

  signals:
    void recordChanged();

  private:
    ComputationRecord record_;
    std::function<std::string()> clock_;
};

// Sorts the rows of a HistoryModel by kSortRole: numbers as numbers, texts without regard to
// case. Unsorted it shows the model's order, newest first.
class HistorySortModel : public QSortFilterProxyModel {
    Q_OBJECT

  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

}  // namespace quorvel
