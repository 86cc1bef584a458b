#include "gui/history/history_file.h"

#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>

#include "gui/history/history_model.h"
#include "model/record/record_merge.h"
#include "numerics/foundations/failure/failure_reporter.h"

namespace quorvel {

namespace {

// How many numbered names a damaged copy may try before it replaces the last.
constexpr int kMaxDamagedCopies = 100;
// How long a save waits for another program to finish its own; a save takes milliseconds.
constexpr int kLockWaitMs = 5000;

void show(FailureReporter& reporter, const QString& message) {
    reporter.show(message.toStdString());
}

// A program writes its identity into its lock file the moment it creates it, so a lock file that
// is still empty a second later was left by a program killed in between. Qt cannot tell whose it
// is and would wait for it to age (30 s); it is removed instead.
constexpr qint64 kUnfinishedLockAgeMs = 1000;

bool isUnfinishedLockFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.size() == 0 &&
           info.lastModified().msecsTo(QDateTime::currentDateTime()) > kUnfinishedLockAgeMs;
}

// Takes the lock within `waitMs`, removing a lock file a killed program left unfinished, whether
// it is found so at once or only after the wait.
bool takeLock(QLockFile& lock, int waitMs) {
    if (isUnfinishedLockFile(lock.fileName())) {
        QFile::remove(lock.fileName());
    }
    if (lock.tryLock(waitMs)) {
        return true;
    }
    if (!isUnfinishedLockFile(lock.fileName())) {
        return false;
    }
    QFile::remove(lock.fileName());
    return lock.tryLock(0);
}

std::string_view bytesOf(const QByteArray& data) {
    return std::string_view(data.constData(), static_cast<std::size_t>(data.size()));
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
    const QString temporary = path_ + QString::fromLatin1(kTemporarySuffix);
    const QString lockPath = path_ + QString::fromLatin1(kLockSuffix);
    if (QFile::exists(temporary) || QFile::exists(lockPath)) {
        // Left by a crash during a save; without the lock another program may be writing it.
        // Taking the lock also takes over a lock file whose program has ended, and releasing it
        // removes the file, so a crash leaves nothing behind after the next start.
        QLockFile lock(lockPath);
        if (takeLock(lock, kLockWaitMs)) {
            QFile::remove(temporary);
        }
    }
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            // Never overwrite what could not be read: this run's computations are not kept.
            show(reporter_, tr("The record of computations %1 cannot be read: %2. It is left as "
                               "it is, and the computations of this session will not be kept.")
                                .arg(QDir::toNativeSeparators(path_), file.errorString()));
            return kept;
        }
        synced_ = file.readAll();
        file.close();
        const RecordReadReport report = model_.read(bytesOf(synced_));
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
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QLockFile lock(path_ + QString::fromLatin1(kLockSuffix));
    if (!takeLock(lock, kLockWaitMs)) {
        showSaveFailure(tr("another running program holds its lock file %1")
                            .arg(QDir::toNativeSeparators(lock.fileName())));
        return false;
    }
    mergeFromDisk();
    QString problem;
    if (!writeWhole(problem)) {
        showSaveFailure(problem);
        return false;
    }
    saveFailureShown_ = false;
    return true;
}

// Under the lock: what another program wrote since this one last read or wrote the file joins
// the model, and what it removed leaves it.
void HistoryFile::mergeFromDisk() {
    QFile file(path_);
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray disk = file.readAll();
    file.close();
    if (disk == synced_) {
        return;
    }
    const std::size_t capacity = model_.record().capacity();
    ComputationRecord onDisk(capacity);
    ComputationRecord base(capacity);
    const RecordReadReport report = onDisk.read(bytesOf(disk));
    base.read(bytesOf(synced_));
    if (!report.whole()) {
        keepDamagedCopy();
    }
    model_.replaceEntries(mergedEntries(model_.record(), base, onDisk, report.whole()));
}

// The record into the temporary, flushed to the disk, then renamed over the file; the temporary
// never outlives a failure.
bool HistoryFile::writeWhole(QString& problem) {
    std::ostringstream text;
    model_.record().write(text);
    const std::string bytes = text.str();
    const QString temporary = path_ + QString::fromLatin1(kTemporarySuffix);
    QFile file(temporary);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                       static_cast<qint64>(bytes.size()) &&
                   file.flush() && ::fsync(file.handle()) == 0;
    problem = file.errorString();
    file.close();
    if (written) {
        std::error_code error;
        std::filesystem::rename(temporary.toStdString(), path_.toStdString(), error);
        written = !error;
        problem = QString::fromStdString(error.message());
    }
    if (!written) {
        QFile::remove(temporary);
        return false;
    }
    synced_ = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return true;
}

void HistoryFile::showSaveFailure(const QString& problem) {
    if (saveFailureShown_) {
        return;
    }
    saveFailureShown_ = true;
    show(reporter_, tr("The record of computations cannot be saved to %1: %2. It is kept "
                       "while the program runs.")
                        .arg(QDir::toNativeSeparators(path_), problem));
}

}  // namespace quorvel
