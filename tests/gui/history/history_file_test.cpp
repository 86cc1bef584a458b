#include "gui/history/history_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "gui/history/history_model.h"
#include "model/computation.h"
#include "numerics/calculators.h"
#include "tests/support/recording_reporter.h"

using namespace quorvel;
using quorvel::testing::RecordingReporter;

namespace {

constexpr const char* kWriterOption = "--write-forever";
constexpr const char* kCountedWriterOption = "--write-rows";

ComputeRequest request(int i) {
    return {DistributionKind::F, QuantityKind::CumP, 1.0 + i, 0.25, 0.0, 3, 10 + i, 0.95};
}

// Appends computations to the model (each one saves the file).
void computeInto(HistoryModel& model, int count, int first = 0) {
    RecordingReporter reporter;
    Calculators calculators(reporter);
    for (int i = first; i < first + count; ++i) {
        model.quantityComputed(request(i), computeQuantity(calculators, request(i)));
    }
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void overwrite(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// The program as the killed-writer test runs it: computes and saves until it is killed, or
// for half a minute at most should nobody kill it.
int writeForever(const QString& path) {
    constexpr qint64 kLongestRunMs = 30000;
    RecordingReporter reporter;
    HistoryModel model;
    HistoryFile file(model, reporter, path);
    file.load();
    QElapsedTimer running;
    running.start();
    for (int i = 0; !running.hasExpired(kLongestRunMs); ++i) {
        computeInto(model, 1, i % 1000);
    }
    return 0;
}

// The program as the two-writer test runs it: `count` computations from `first` on, each saved.
int writeRows(const QString& path, int first, int count) {
    RecordingReporter reporter;
    HistoryModel model;
    HistoryFile file(model, reporter, path);
    file.load();
    computeInto(model, count, first);
    return reporter.messages.empty() ? 0 : 1;
}

QStringList filesBeside(const QString& path) {
    return QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden);
}

// The values of the rows kept, as the record has them.
QStringList valuesIn(const HistoryModel& model) {
    QStringList values;
    for (int row = 0; row < model.rowCount(); ++row) {
        values.append(model.index(row, 3).data().toString());
    }
    values.sort();
    return values;
}

}  // namespace

class HistoryFileTest : public QObject {
    Q_OBJECT

  private slots:
    void init();

    void aMissingFileIsAnEmptyRecordAndChangesAreSaved();
    void theRecordSurvivesARestart();
    void aDamagedFileLoadsItsGoodRowsKeepsABadCopyAndSaysSoOnce_data();
    void aDamagedFileLoadsItsGoodRowsKeepsABadCopyAndSaysSoOnce();
    void anEarlierBadCopyIsNotOverwritten();
    void aHalfWrittenTemporaryFileIsNeverReadAndGoesAtTheNextStart();
    void twoWindowsOnOneFileKeepEachOthersRowsAndClears();
    void twoProgramsSavingAtOnceKeepEveryRow();
    void killingTheProgramWhileItWritesNeverLeavesAFileThatFailsToLoad();
    void aFileThatCannotBeWrittenSaysSoOnce();

  private:
    std::unique_ptr<QTemporaryDir> folder_;
    QString path_;
};

void HistoryFileTest::init() {
    folder_ = std::make_unique<QTemporaryDir>();
    path_ = folder_->filePath(QStringLiteral("data/history.csv"));
}

void HistoryFileTest::aMissingFileIsAnEmptyRecordAndChangesAreSaved() {
    RecordingReporter reporter;
    HistoryModel model;
    HistoryFile file(model, reporter, path_);
    QCOMPARE(file.load(), QString());
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!QFile::exists(path_));
    computeInto(model, 2);
    QVERIFY(QFile::exists(path_));
    QCOMPARE(contents(path_).count('\n'), 3);
    model.clear();
    QCOMPARE(contents(path_).count('\n'), 1);  // the header alone
    QVERIFY(reporter.messages.empty());
}

void HistoryFileTest::theRecordSurvivesARestart() {
    {
        RecordingReporter reporter;
        HistoryModel model;
        HistoryFile file(model, reporter, path_);
        file.load();
        computeInto(model, 3);
    }
    RecordingReporter reporter;
    HistoryModel model;
    HistoryFile file(model, reporter, path_);
    QCOMPARE(file.load(), QString());
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.index(0, 3).data().toString(), QStringLiteral("3"));  // the newest value
    QVERIFY(reporter.messages.empty());
    QVERIFY(QDir(QFileInfo(path_).absolutePath()).entryList(QDir::Files).size() == 1);
}

void HistoryFileTest::aDamagedFileLoadsItsGoodRowsKeepsABadCopyAndSaysSoOnce_data() {
    QTest::addColumn<int>("cutFromEnd");
    QTest::addColumn<QByteArray>("appended");
    QTest::addColumn<int>("kept");
    QTest::newRow("truncated in the middle of a row") << 40 << QByteArray() << 3;
    QTest::newRow("garbage appended")
        << 0 << QByteArray("\x7f\x45LF\x02\x01,,\"\n\x00\xff", 10) << 4;
    QTest::newRow("a line of other columns appended") << 0 << QByteArray("a,b\n") << 4;
    QTest::newRow("truncated, then garbage") << 15 << QByteArray("\n\n####\n") << 3;
}

void HistoryFileTest::aDamagedFileLoadsItsGoodRowsKeepsABadCopyAndSaysSoOnce() {
    QFETCH(int, cutFromEnd);
    QFETCH(QByteArray, appended);
    QFETCH(int, kept);
    {
        RecordingReporter reporter;
        HistoryModel model;
        HistoryFile file(model, reporter, path_);
        file.load();
        computeInto(model, 4);
    }
    QByteArray damaged = contents(path_);
    damaged.chop(cutFromEnd);
    damaged += appended;
    overwrite(path_, damaged);

    RecordingReporter reporter;
    HistoryModel model;
    HistoryFile file(model, reporter, path_);
    const QString bad = file.load();
    QCOMPARE(bad, path_ + QStringLiteral(".bad"));
    QCOMPARE(contents(bad), damaged);
    QCOMPARE(model.rowCount(), kept);
    QCOMPARE(reporter.messages.size(), std::size_t{1});
    const QString message = QString::fromStdString(reporter.messages[0]);
    QVERIFY2(message.contains(QStringLiteral("damaged")) && message.contains(bad),
             qPrintable(message));

    // The good rows were written back: the next start reads the file whole, without a word.
    RecordingReporter next;
    HistoryModel again;
    HistoryFile nextFile(again, next, path_);
    QCOMPARE(nextFile.load(), QString());
    QCOMPARE(again.rowCount(), kept);
    QVERIFY(next.messages.empty());
}

void HistoryFileTest::anEarlierBadCopyIsNotOverwritten() {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    overwrite(path_, "first damage");
    overwrite(path_ + QStringLiteral(".bad"), "kept before");
    RecordingReporter reporter;
    HistoryModel model;
    HistoryFile file(model, reporter, path_);
    QCOMPARE(file.load(), path_ + QStringLiteral(".2.bad"));
    QCOMPARE(contents(path_ + QStringLiteral(".bad")), QByteArray("kept before"));
    QCOMPARE(contents(path_ + QStringLiteral(".2.bad")), QByteArray("first damage"));
    QCOMPARE(model.rowCount(), 0);
}

// A crash during a save leaves the temporary half written beside the record: the record is read
// untouched, and the next start removes the temporary.
void HistoryFileTest::aHalfWrittenTemporaryFileIsNeverReadAndGoesAtTheNextStart() {
    {
        RecordingReporter reporter;
        HistoryModel model;
        HistoryFile file(model, reporter, path_);
        file.load();
        computeInto(model, 2);
    }
    const QByteArray before = contents(path_);
    const QString temporary = path_ + QString::fromLatin1(HistoryFile::kTemporarySuffix);
    overwrite(temporary, before.left(before.size() / 2));
    RecordingReporter reporter;
    HistoryModel model;
    HistoryFile file(model, reporter, path_);
    QCOMPARE(file.load(), QString());
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(contents(path_), before);
    QCOMPARE(filesBeside(path_), QStringList{QFileInfo(path_).fileName()});
    QVERIFY(reporter.messages.empty());
}

// Two windows on one file, as two programs started one after the other: each save merges what
// the other wrote, and a clear in one is not undone by the other.
void HistoryFileTest::twoWindowsOnOneFileKeepEachOthersRowsAndClears() {
    RecordingReporter reporter;
    HistoryModel first;
    HistoryFile firstFile(first, reporter, path_);
    firstFile.load();
    HistoryModel second;
    HistoryFile secondFile(second, reporter, path_);
    secondFile.load();
    computeInto(first, 1, 0);
    computeInto(second, 1, 1);
    computeInto(first, 1, 2);
    const QStringList three{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    QCOMPARE(valuesIn(first), three);
    {
        HistoryModel restarted;
        HistoryFile restartedFile(restarted, reporter, path_);
        restartedFile.load();
        QCOMPARE(valuesIn(restarted), three);
    }
    // The second window has not seen the third row yet; clearing removes what it showed.
    second.clear();
    QCOMPARE(valuesIn(second), QStringList{QStringLiteral("3")});
    computeInto(first, 1, 3);
    QCOMPARE(valuesIn(first), (QStringList{QStringLiteral("3"), QStringLiteral("4")}));
    HistoryModel restarted;
    HistoryFile restartedFile(restarted, reporter, path_);
    restartedFile.load();
    QCOMPARE(valuesIn(restarted), valuesIn(first));
    QVERIFY(reporter.messages.empty());
    QCOMPARE(filesBeside(path_), QStringList{QFileInfo(path_).fileName()});
}

// Two processes compute and save at full speed at the same time: every row of both is kept.
void HistoryFileTest::twoProgramsSavingAtOnceKeepEveryRow() {
    constexpr int kRowsEach = 40;
    QProcess writers[2];
    for (int i = 0; i < 2; ++i) {
        writers[i].start(QCoreApplication::applicationFilePath(),
                         {QString::fromLatin1(kCountedWriterOption), path_,
                          QString::number(1000 * i), QString::number(kRowsEach)});
    }
    for (QProcess& writer : writers) {
        QVERIFY(writer.waitForFinished(60000));
        QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer.exitCode(), 0);
    }
    RecordingReporter reporter;
    HistoryModel model;
    HistoryFile file(model, reporter, path_);
    QCOMPARE(file.load(), QString());
    QCOMPARE(model.rowCount(), 2 * kRowsEach);
    QCOMPARE(valuesIn(model).removeDuplicates(), 0);
    QCOMPARE(filesBeside(path_), QStringList{QFileInfo(path_).fileName()});
}

// A second process computes and saves without pause; it is killed (SIGKILL, no clean-up) at
// random moments. Every time the file loads whole, and it never loses what it had.
void HistoryFileTest::killingTheProgramWhileItWritesNeverLeavesAFileThatFailsToLoad() {
    constexpr int kKills = 12;
    int rowsBefore = 0;
    int grew = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(),
                     {QString::fromLatin1(kWriterOption), path_});
        QVERIFY(writer.waitForStarted());
        QTest::qWait(100 + static_cast<int>(QRandomGenerator::global()->bounded(300)));
        writer.kill();
        QVERIFY(writer.waitForFinished());

        RecordingReporter reporter;
        HistoryModel model;
        HistoryFile file(model, reporter, path_);
        QCOMPARE(file.load(), QString());
        QVERIFY2(reporter.messages.empty(),
                 reporter.messages.empty() ? "" : reporter.messages.front().c_str());
        QVERIFY(model.rowCount() >= rowsBefore);
        grew += model.rowCount() > rowsBefore ? 1 : 0;
        rowsBefore = model.rowCount();
    }
    QVERIFY2(grew > 0, "the writer never got to write");
    // No damaged copy, no lock and no temporary left after the last start.
    const QStringList left = filesBeside(path_);
    QVERIFY2(left == QStringList{QFileInfo(path_).fileName()},
             qPrintable(left.join(QLatin1Char(' '))));
}

void HistoryFileTest::aFileThatCannotBeWrittenSaysSoOnce() {
    RecordingReporter reporter;
    HistoryModel model;
    HistoryFile file(model, reporter, path_);
    file.load();
    // A folder where the file should be: the new file can never be put in place.
    QVERIFY(QDir().mkpath(path_));
    computeInto(model, 3);
    QCOMPARE(reporter.messages.size(), std::size_t{1});
    QVERIFY(
        QString::fromStdString(reporter.messages[0]).contains(QStringLiteral("cannot be saved")));
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(!QFile::exists(path_ + QString::fromLatin1(HistoryFile::kTemporarySuffix)));
    QVERIFY(!QFile::exists(path_ + QString::fromLatin1(HistoryFile::kLockSuffix)));
}

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kWriterOption) == 0) {
        QCoreApplication app(argc, argv);
        return writeForever(QString::fromLocal8Bit(argv[2]));
    }
    if (argc == 5 && std::strcmp(argv[1], kCountedWriterOption) == 0) {
        QCoreApplication app(argc, argv);
        return writeRows(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    }
    QApplication app(argc, argv);
    HistoryFileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "history_file_test.moc"
