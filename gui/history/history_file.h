#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace quorvel {

class FailureReporter;
class HistoryModel;

// Keeps the record of computations between runs: a CSV file in the user's data folder
// (QStandardPaths::AppDataLocation), rewritten whole after every change into a temporary file
// beside it that is then renamed into place, so that the file on disk is always either the old
// record or the new one, never a part of one. A temporary that a failed save leaves is removed
// at once; one that a crash leaves is removed at the next start.
//
// Several running programs may share the file: every save takes a lock file beside it
// (QLockFile; a lock left by a crashed program is taken over), reads the file again and merges
// what the others added or removed since this program last read or wrote it before the
// rewrite, so that each keeps every row of the others.
//
// load() reads it at start. A file that cannot be read whole is not discarded: its readable
// rows are loaded, the file as it was is kept beside it with ".bad" appended to its name, the
// good rows are written back, and one message says so. A file that cannot be written shows one
// message until a later write succeeds. Messages go through the reporter (message boxes in the
// program).
class HistoryFile : public QObject {
    Q_OBJECT

  public:
    // The file's name in the data folder.
    static constexpr const char* kFileName = "history.csv";
    // Appended to the file's name: the lock file, and the temporary a save writes.
    static constexpr const char* kLockSuffix = ".lock";
    static constexpr const char* kTemporarySuffix = ".saving";

    HistoryFile(HistoryModel& model, FailureReporter& reporter, QString path = defaultPath(),
                QObject* parent = nullptr);

    // AppDataLocation/history.csv.
    static QString defaultPath();
    const QString& path() const { return path_; }

    // Reads the file into the model (a missing file is an empty record) and from then on saves
    // the model on every change. Returns where a damaged file was kept, empty when it was whole.
    QString load();
    // Merges what other programs wrote since, then writes the whole record now; false (after
    // the message) when it cannot.
    bool save();

  private:
    QString keepDamagedCopy();
    void mergeFromDisk();
    bool writeWhole(QString& problem);
    void showSaveFailure(const QString& problem);

    HistoryModel& model_;
    FailureReporter& reporter_;
    QString path_;
    // The file's bytes as this program last read or wrote them: the base of a merge.
    QByteArray synced_;
    bool saving_ = false;
    bool saveFailureShown_ = false;
};

}  // namespace quorvel
