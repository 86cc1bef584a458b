#include "gui/history/history_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>
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
    void aHalfWrittenTemporaryFileIsNeverRead();
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

// A write cut off before QSaveFile renames its new file into place leaves the new file under a
// name of its own, and the record untouched.
void HistoryFileTest::aHalfWrittenTemporaryFileIsNeverRead() {
    {
        RecordingReporter reporter;
        HistoryModel model;
        HistoryFile file(model, reporter, path_);
        file.load();
        computeInto(model, 2);
    }
    const QByteArray before = contents(path_);
    {
        QSaveFile interrupted(path_);
        QVERIFY(interrupted.open(QIODevice::WriteOnly));
        interrupted.write(before.left(before.size() / 2));
        // Destroyed without commit(), as a program that stops here.
    }
    QCOMPARE(contents(path_), before);
    RecordingReporter reporter;
    HistoryModel model;
    HistoryFile file(model, reporter, path_);
    QCOMPARE(file.load(), QString());
    QCOMPARE(model.rowCount(), 2);
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
    const QStringList left = QDir(QFileInfo(path_).absolutePath()).entryList(QDir::Files);
    QVERIFY2(!left.contains(QFileInfo(path_).fileName() + QStringLiteral(".bad")),
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
}

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kWriterOption) == 0) {
        QCoreApplication app(argc, argv);
        return writeForever(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    HistoryFileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "history_file_test.moc"
