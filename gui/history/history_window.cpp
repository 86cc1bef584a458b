#include "gui/history/history_window.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <algorithm>
#include <array>
#include <cstdint>
#include <sstream>
#include <variant>

#include "gui/help/help_window.h"
#include "gui/help/program_resources.h"
#include "gui/history/history_model.h"
#include "gui/widgets/message_box_reporter.h"
#include "numerics/foundations/failure/failure_reporter.h"

namespace quorvel {

namespace {

// Context-help identifiers of the window's parts, whose texts are in the popup file.
constexpr std::uint32_t kTableHelpId = 0x80671001;
constexpr std::uint32_t kCopyHelpId = 0x80671002;
constexpr std::uint32_t kExportHelpId = 0x80671003;
constexpr std::uint32_t kClearHelpId = 0x80671004;
constexpr std::uint32_t kHelpHelpId = 0x80671005;
constexpr std::uint32_t kCloseHelpId = 0x80671006;

constexpr QSize kInitialSize{960, 480};

// Columns shown even while no row uses them.
constexpr std::array<std::size_t, 5> kAlwaysShown{
    kTimeColumn, kFirstInputColumn + static_cast<std::size_t>(batch::InputColumn::Distribution),
    kFirstInputColumn + static_cast<std::size_t>(batch::InputColumn::Quantity),
    kFirstOutputColumn + static_cast<std::size_t>(batch::OutputColumn::Result),
    kFirstOutputColumn + static_cast<std::size_t>(batch::OutputColumn::Status)};

// A cell as one field of tab-separated text: tabs and line ends become blanks.
QString tabField(QString text) {
    for (QChar& c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

}  // namespace

HistoryWindow::HistoryWindow(HistoryModel& model, HelpWindow& helpWindow, FailureReporter& reporter,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(model),
      helpWindow_(helpWindow),
      reporter_(reporter),
      sorter_(new HistorySortModel(this)),
      table_(new QTableView),
      countLabel_(new QLabel) {
    setWindowTitle(tr("Quorvel History"));
    setWindowIcon(programIcon());
    setWindowFlag(Qt::WindowContextHelpButtonHint);

    sorter_->setSourceModel(&model_);
    table_->setModel(sorter_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setSectionsMovable(true);
    table_->horizontalHeader()->setHighlightSections(false);
    // Newest first: the time column, descending, sorts by the order of the computations.
    table_->horizontalHeader()->setSortIndicator(static_cast<int>(kTimeColumn),
                                                 Qt::DescendingOrder);
    table_->setSortingEnabled(true);
    table_->installEventFilter(this);
    // The time is as wide in every row: a few rows measure it.
    constexpr int kRowsMeasured = 20;
    table_->horizontalHeader()->setResizeContentsPrecision(kRowsMeasured);
    table_->horizontalHeader()->setSectionResizeMode(static_cast<int>(kTimeColumn),
                                                     QHeaderView::ResizeToContents);
    connect(table_, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { restoreRow(index.row()); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(countLabel_);
    layout->addWidget(table_, 1);
    buildButtons();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copyButton_);
    buttons->addWidget(exportButton_);
    buttons->addWidget(clearButton_);
    buttons->addStretch(1);
    buttons->addWidget(helpButton_);
    buttons->addWidget(closeButton_);
    layout->addLayout(buttons);
    attachWhatsThis();
    resize(kInitialSize);

    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(&model_, signal, this, [this] {
            updateCount();
            updateColumns();
        });
    }
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        updateCount();
        updateColumns();
        updateExportCaption();
    });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &HistoryWindow::updateExportCaption);
    updateCount();
    updateColumns();
    updateExportCaption();
}

// The button says which rows Export writes: every row, or the selected ones.
void HistoryWindow::updateExportCaption() {
    const std::size_t selected = selectedPositions().size();
    exportButton_->setText(selected == 0
                               ? tr("&Export All as CSV...")
                               : tr("&Export %1 Selected as CSV...")
                                     .arg(QLocale().toString(static_cast<qulonglong>(selected))));
}

void HistoryWindow::buildButtons() {
    copyButton_ = new QPushButton(tr("&Copy"));
    exportButton_ = new QPushButton;
    clearButton_ = new QPushButton(tr("C&lear..."));
    helpButton_ = new QPushButton(tr("&Help"));
    closeButton_ = new QPushButton(tr("Cl&ose"));
    for (QPushButton* button :
         {copyButton_, exportButton_, clearButton_, helpButton_, closeButton_}) {
        button->setAutoDefault(false);
    }
    connect(copyButton_, &QAbstractButton::clicked, this, [this] { copySelection(); });
    connect(exportButton_, &QAbstractButton::clicked, this, &HistoryWindow::exportWithChooser);
    connect(clearButton_, &QAbstractButton::clicked, this, [this] { clearRecord(); });
    connect(helpButton_, &QAbstractButton::clicked, this,
            [this] { helpWindow_.showPage(QString::fromUtf8(kHelpPage)); });
    connect(closeButton_, &QAbstractButton::clicked, this, &QWidget::close);

    auto* copy = new QShortcut(QKeySequence::Copy, this);
    connect(copy, &QShortcut::activated, this, [this] { copySelection(); });
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this,
            [this] { helpWindow_.showPage(QString::fromUtf8(kHelpPage)); });
    auto* whatsThis = new QShortcut(QKeySequence::WhatsThis, this);
    connect(whatsThis, &QShortcut::activated, this, [] { QWhatsThis::enterWhatsThisMode(); });
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
}

void HistoryWindow::attachWhatsThis() {
    const std::pair<QWidget*, std::uint32_t> parts[] = {
        {table_, kTableHelpId},       {copyButton_, kCopyHelpId}, {exportButton_, kExportHelpId},
        {clearButton_, kClearHelpId}, {helpButton_, kHelpHelpId}, {closeButton_, kCloseHelpId},
    };
    for (const auto& [widget, helpId] : parts) {
        const auto found = popupTexts().find(helpId);
        if (found != popupTexts().end()) {
            widget->setWhatsThis(QString::fromStdString(found->second));
        }
    }
}

void HistoryWindow::showWindow() {
    show();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void HistoryWindow::updateCount() {
    const QLocale locale;
    countLabel_->setText(
        tr("%1 kept, newest first; the record keeps the newest %2.")
            .arg(HistoryModel::computationCount(model_.record().size()),
                 locale.toString(static_cast<qulonglong>(model_.record().capacity()))));
}

void HistoryWindow::updateColumns() {
    const ComputationRecord& record = model_.record();
    for (std::size_t column = 0; column < kRecordColumnCount; ++column) {
        bool used =
            std::find(kAlwaysShown.begin(), kAlwaysShown.end(), column) != kAlwaysShown.end();
        for (std::size_t i = 0; i < record.size() && !used; ++i) {
            used = !recordCell(record.at(i), column).empty();
        }
        table_->setColumnHidden(static_cast<int>(column), !used);
    }
}

std::vector<std::size_t> HistoryWindow::selectedPositions() const {
    QModelIndexList rows = table_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::size_t> positions;
    positions.reserve(static_cast<std::size_t>(rows.size()));
    for (const QModelIndex& row : rows) {
        positions.push_back(model_.positionOf(sorter_->mapToSource(row).row()));
    }
    return positions;
}

QString HistoryWindow::copySelection() {
    const std::vector<std::size_t> positions = selectedPositions();
    if (positions.empty()) {
        return {};
    }
    QHeaderView* header = table_->horizontalHeader();
    std::vector<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (!header->isSectionHidden(logical)) {
            columns.push_back(logical);
        }
    }
    QStringList lines;
    QStringList fields;
    for (int column : columns) {
        fields << tabField(HistoryModel::columnTitle(column));
    }
    lines << fields.join(QLatin1Char('\t'));
    for (std::size_t position : positions) {
        fields.clear();
        for (int column : columns) {
            const std::string& cell =
                recordCell(model_.record().at(position), static_cast<std::size_t>(column));
            fields << tabField(QString::fromStdString(cell));
        }
        lines << fields.join(QLatin1Char('\t'));
    }
    const QString text = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    QGuiApplication::clipboard()->setText(text);
    return text;
}

bool HistoryWindow::exportTo(const QString& path) {
    std::vector<std::size_t> positions = selectedPositions();
    if (positions.empty()) {
        positions.resize(model_.record().size());
        for (std::size_t i = 0; i < positions.size(); ++i) {
            positions[i] = i;
        }
    }
    std::sort(positions.begin(), positions.end());
    std::ostringstream text;
    model_.record().exportBatch(text, positions);
    const std::string bytes = text.str();
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                             static_cast<qint64>(bytes.size()) &&
                         file.commit();
    if (!written) {
        reporter_.show(tr("Cannot write %1: %2.")
                           .arg(QDir::toNativeSeparators(path), file.errorString())
                           .toStdString());
    }
    return written;
}

void HistoryWindow::exportWithChooser() {
    const QString path = chooseFile_ ? chooseFile_() : defaultChooser();
    if (!path.isEmpty()) {
        exportTo(path);
    }
}

QString HistoryWindow::defaultChooser() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const std::size_t selected = selectedPositions().size();
    const QString which = selected == 0
                              ? tr("Export CSV: every row (%1)")
                                    .arg(HistoryModel::computationCount(model_.record().size()))
                              : tr("Export CSV: the selected rows only (%1)")
                                    .arg(HistoryModel::computationCount(selected));
    return QFileDialog::getSaveFileName(
        this, which, QDir(folder).filePath(QStringLiteral("quorvel-history.csv")),
        tr("CSV files (*.csv);;All files (*)"));
}

bool HistoryWindow::clearRecord() {
    if (model_.record().empty()) {
        return false;
    }
    const QMessageBox::StandardButton answer =
        QMessageBox::question(this, QString::fromLatin1(kProgramDisplayName),
                              tr("Clear the record of %1? This cannot be undone.")
                                  .arg(HistoryModel::computationCount(model_.record().size())),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
        return false;
    }
    model_.clear();
    return true;
}

void HistoryWindow::restoreRow(int viewRow) {
    const QModelIndex row = sorter_->mapToSource(sorter_->index(viewRow, 0));
    if (!row.isValid()) {
        return;
    }
    const RecordEntry& entry = model_.entryAt(row.row());
    if (const auto* request = std::get_if<ComputeRequest>(&entry.request)) {
        emit restoreRequested(*request);
    } else {
        emit effectRestoreRequested(std::get<EffectRequest>(entry.request));
    }
}

bool HistoryWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && table_->currentIndex().isValid()) {
            restoreRow(table_->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quorvel
