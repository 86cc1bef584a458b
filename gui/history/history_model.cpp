#include "gui/history/history_model.h"

#include <QLocale>
#include <iterator>
#include <charconv>
#include <cmath>

namespace quorvel {

namespace {

constexpr const char* kColumnTitles[] = {
    QT_TRANSLATE_NOOP("HistoryModel", "Time"),
    QT_TRANSLATE_NOOP("HistoryModel", "Distribution"),
    QT_TRANSLATE_NOOP("HistoryModel", "Quantity"),
    QT_TRANSLATE_NOOP("HistoryModel", "Value"),
    QT_TRANSLATE_NOOP("HistoryModel", "Df1"),
    QT_TRANSLATE_NOOP("HistoryModel", "Df2"),
    QT_TRANSLATE_NOOP("HistoryModel", "Noncentrality"),
    QT_TRANSLATE_NOOP("HistoryModel", "Cum. P"),
    QT_TRANSLATE_NOOP("HistoryModel", "Lower-tail P"),
    QT_TRANSLATE_NOOP("HistoryModel", "Upper-tail P"),
    QT_TRANSLATE_NOOP("HistoryModel", "Confidence"),
    QT_TRANSLATE_NOOP("HistoryModel", "N"),
    QT_TRANSLATE_NOOP("HistoryModel", "N1"),
    QT_TRANSLATE_NOOP("HistoryModel", "N2"),
    QT_TRANSLATE_NOOP("HistoryModel", "Alpha"),
    QT_TRANSLATE_NOOP("HistoryModel", "Power"),
    QT_TRANSLATE_NOOP("HistoryModel", "Sides"),
    QT_TRANSLATE_NOOP("HistoryModel", "Design"),
    QT_TRANSLATE_NOOP("HistoryModel", "Effect"),
    QT_TRANSLATE_NOOP("HistoryModel", "Rows"),
    QT_TRANSLATE_NOOP("HistoryModel", "Cols"),
    QT_TRANSLATE_NOOP("HistoryModel", "Alternative"),
    QT_TRANSLATE_NOOP("HistoryModel", "Result"),
    QT_TRANSLATE_NOOP("HistoryModel", "Lower"),
    QT_TRANSLATE_NOOP("HistoryModel", "Upper"),
    QT_TRANSLATE_NOOP("HistoryModel", "Status"),
    QT_TRANSLATE_NOOP("HistoryModel", "Messages"),
    QT_TRANSLATE_NOOP("HistoryModel", "Achieved power"),
};
static_assert(std::size(kColumnTitles) == kRecordColumnCount, "a title for every record column");

QString qString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A number cell's sort key; nothing for an empty cell or NaN, which sort below every number.
QVariant numberKey(const std::string& text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || std::isnan(value)) {
        return {};
    }
    return value;
}

}  // namespace

HistoryModel::HistoryModel(std::size_t capacity, QObject* parent)
    : QAbstractTableModel(parent), record_(capacity), clock_(localTimeNow) {}

const RecordEntry& HistoryModel::entryAt(int row) const {
    return record_.at(positionOf(row));
}

std::size_t HistoryModel::positionOf(int row) const {
    return record_.size() - 1 - static_cast<std::size_t>(row);
}

void HistoryModel::append(RecordEntry entry) {
    while (!record_.empty() && record_.size() >= record_.capacity()) {
        const int oldest = rowCount() - 1;
        beginRemoveRows(QModelIndex(), oldest, oldest);
        record_.removeOldest();
        endRemoveRows();
    }
    beginInsertRows(QModelIndex(), 0, 0);
    record_.append(std::move(entry));
    endInsertRows();
    emit recordChanged();
}

void HistoryModel::clear() {
    beginResetModel();
    record_.clear();
    endResetModel();
    emit recordChanged();
}

RecordReadReport HistoryModel::read(std::string_view file) {
    beginResetModel();
    const RecordReadReport report = record_.read(file);
    endResetModel();
    return report;
}

void HistoryModel::replaceEntries(const std::vector<RecordEntry>& entries) {
    beginResetModel();
    record_.clear();
    for (const RecordEntry& entry : entries) {
        record_.append(entry);
    }
    endResetModel();
}

void HistoryModel::quantityComputed(const ComputeRequest& request, const ComputeOutcome& outcome) {
    append(recordEntry(clock_(), request, outcome));
}

void HistoryModel::effectComputed(const EffectRequest& request, const EffectOutcome& outcome) {
    append(recordEntry(clock_(), request, outcome));
}

int HistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(record_.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kRecordColumnCount);
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    const RecordEntry& entry = entryAt(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: {
            const std::string& text = recordCell(entry, column);
            if (role == Qt::ToolTipRole && text.empty()) {
                return {};
            }
            return qString(text);
        }
        case Qt::TextAlignmentRole:
            return isNumberColumn(column) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                          : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case kSortRole:
            if (column == kTimeColumn) {
                return QVariant::fromValue<qulonglong>(entry.sequence);
            }
            if (isNumberColumn(column)) {
                return numberKey(recordCell(entry, column));
            }
            return qString(recordCell(entry, column));
        default:
            return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return columnTitle(section);
}

QString HistoryModel::columnTitle(int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= std::size(kColumnTitles)) {
        return {};
    }
    return tr(kColumnTitles[static_cast<std::size_t>(column)]);
}

QString HistoryModel::computationCount(std::size_t count) {
    return count == 1
               ? tr("1 computation")
               : tr("%1 computations").arg(QLocale().toString(static_cast<qulonglong>(count)));
}

bool HistorySortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const QVariant a = left.data(HistoryModel::kSortRole);
    const QVariant b = right.data(HistoryModel::kSortRole);
    if (!a.isValid() || !b.isValid()) {
        return !a.isValid() && b.isValid();
    }
    switch (a.typeId()) {
        case QMetaType::QString:
            return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive) < 0;
        case QMetaType::ULongLong:
            return a.toULongLong() < b.toULongLong();
        default:
            return a.toDouble() < b.toDouble();
    }
}

}  // namespace quorvel
