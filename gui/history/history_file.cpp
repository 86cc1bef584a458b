#include "gui/history/history_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <sstream>
#include <string>

#include "gui/history/history_model.h"
#include "numerics/foundations/failure/failure_reporter.h"

namespace quorvel {

namespace {

// How many numbered names a damaged copy may try before it replaces the last.
constexpr int kMaxDamagedCopies = 100;

void show(FailureReporter& reporter, const QString& message) {
    reporter.show(message.toStdString());
}

}  // namespace

HistoryFile::HistoryFile(HistoryModel& model, FailureReporter& reporter, QString path,
                         QObject* parent)
    : QObject(parent), model_(model), reporter_(reporter), path_(std::move(path)) {}

QString HistoryFile::defaultPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QString::fromUtf8(kFileName));
}

QString HistoryFile::load() {
    QFile file(path_);
    QString kept;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            // Never overwrite what could not be read: this run's computations are not kept.
            show(reporter_, tr("The record of computations %1 cannot be read: %2. It is left as "
                               "it is, and the computations of this session will not be kept.")
                                .arg(QDir::toNativeSeparators(path_), file.errorString()));
            return kept;
        }
        const QByteArray data = file.readAll();
        file.close();
        const RecordReadReport report =
            model_.read(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
        if (!report.whole()) {
            kept = keepDamagedCopy();
            if (kept.isEmpty()) {
                show(reporter_,
                     tr("The record of computations %1 is damaged: %2 could be read. A copy of "
                        "the file could not be kept, so it is left as it is, and the "
                        "computations of this session will not be kept.")
                         .arg(QDir::toNativeSeparators(path_),
                              HistoryModel::computationCount(report.kept)));
                return kept;
            }
            show(reporter_,
                 tr("The record of computations %1 is damaged. What could be read is kept (%2); "
                    "the file as it was is kept as %3.")
                     .arg(QDir::toNativeSeparators(path_),
                          HistoryModel::computationCount(report.kept),
                          QDir::toNativeSeparators(kept)));
        }
    }
    saving_ = true;
    connect(&model_, &HistoryModel::recordChanged, this, &HistoryFile::save, Qt::UniqueConnection);
    if (!kept.isEmpty()) {
        save();
    }
    return kept;
}

QString HistoryFile::keepDamagedCopy() {
    QString copy = path_ + QStringLiteral(".bad");
    for (int number = 2; QFile::exists(copy) && number <= kMaxDamagedCopies; ++number) {
        copy = path_ + QStringLiteral(".%1.bad").arg(number);
    }
    QFile::remove(copy);
    return QFile::copy(path_, copy) ? copy : QString();
}

bool HistoryFile::save() {
    if (!saving_) {
        return false;
    }
    std::ostringstream text;
    model_.record().write(text);
    const std::string bytes = text.str();

    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                             static_cast<qint64>(bytes.size()) &&
                         file.commit();
    if (!written) {
        if (!saveFailureShown_) {
            saveFailureShown_ = true;
            show(reporter_, tr("The record of computations cannot be saved to %1: %2. It is kept "
                               "while the program runs.")
                                .arg(QDir::toNativeSeparators(path_), file.errorString()));
        }
        return false;
    }
    saveFailureShown_ = false;
    return true;
}

}  // namespace quorvel
