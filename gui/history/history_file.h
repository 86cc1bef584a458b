#pragma once

#include <QObject>
#include <QString>

namespace quorvel {

class FailureReporter;
class HistoryModel;

// Keeps the record of computations between runs: a CSV file in the user's data folder
// (QStandardPaths::AppDataLocation), rewritten whole after every change through QSaveFile, so
// that the file on disk is always either the old record or the new one, never a part of one.
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

    HistoryFile(HistoryModel& model, FailureReporter& reporter, QString path = defaultPath(),
                QObject* parent = nullptr);

    // AppDataLocation/history.csv.
    static QString defaultPath();
    const QString& path() const { return path_; }

    // Reads the file into the model (a missing file is an empty record) and from then on saves
    // the model on every change. Returns where a damaged file was kept, empty when it was whole.
    QString load();
    // Writes the whole record now; false (after the message) when it cannot.
    bool save();

  private:
    QString keepDamagedCopy();

    HistoryModel& model_;
    FailureReporter& reporter_;
    QString path_;
    bool saving_ = false;
    bool saveFailureShown_ = false;
};

}  // namespace quorvel
