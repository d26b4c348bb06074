// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli read and write against the simulated unit: files, backup, verify, statuses, signals.
#include "base/interrupt_watcher.h"
#include "cli_run.h"
#include "clone/clone_frames.h"
#include "clone_runner.h"
#include "model/settings_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>

using namespace vireo;
using namespace vireo::test;

class TestCliClone : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_memoryFile;           // the shipped settings with carried words changed
    QByteArray m_memory, m_shipped; // their text, as every save writes it: upper case, CR LF
    QString Path(const QString &name) const { return m_dir.filePath(name); }

  private slots:
    void initTestCase()
    {
        m_shipped = ReadFile(ShippedFile);
        QByteArrayList lines = m_shipped.split('\n');
        lines[21] = "1234\r"; // words the editor never shows survive every transfer
        lines[98] = "00FF\r";
        m_memory = lines.join('\n');
        m_memoryFile = Path("memory.st2");
        QVERIFY(WriteFile(m_memoryFile, m_memory));
    }

    // Complete runs, and failed ones ending with their status, the output file as it was.
    void runs_data()
    {
        QTest::addColumn<QString>("args"); // $R: read -o $OUT with a trace; $W: write the memory file
        QTest::addColumn<QString>("simArgs");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("read, result in the trace") << "$R" << "--memory $MEMORY" << 0 << "reading result: read complete, exit status 0";
        QTest::newRow("missing device") << "read -o $OUT --port /dev/vireo-none" << "" << 10 << "Reason: /dev/vireo-none";
        QTest::newRow("failed read leaves the old file") << "$R" << "--fault short-data=98" << 19 << "Error:\n\n- There is not enough data.\n";
        QTest::newRow("backup, write and verify") << "$W --backup $BACKUP --verify" << "" << 0 << "Verified";
        QTest::newRow("failed backup writes nothing") << "$W --backup $BACKUP/unit-7" << "--fault short-data=40" << 19 << "nothing was written";
        QTest::newRow("verify finds a word the unit did not keep") << "$W --verify" << "--fault stuck-bit=21" << 4 << "word 21: wrote 1234, unit has 1235\n";
        // clang-format on
    }
    void runs()
    {
        QFETCH(QString, args);
        QFETCH(QString, simArgs);
        QFETCH(int, status);
        QFETCH(QString, message);
        QDir(Path("backup")).removeRecursively();
        const QString out = Path("out.st2"), saved = Path("saved.st2"), trace = Path("trace");
        QFile::remove(saved);
        const QByteArray before = "left as it was\r\n";
        QVERIFY(WriteFile(out, before));
        const auto expand = [&](QString s) {
            return s.replace("$R", "read -o $OUT --trace " + trace)
                .replace("$W", "write $MEMORY")
                .replace("$MEMORY", m_memoryFile)
                .replace("$OUT", out)
                .replace("$BACKUP", Path("backup"))
                .split(u' ', Qt::SkipEmptyParts);
        };
        Sim sim(expand(simArgs) + QStringList{"--save", saved});
        const bool ownPort = args.contains("--port");
        const Run run = RunCli(expand(args) + (ownPort ? QStringList{} : sim.Port()));
        QVERIFY2(run.status == status, qPrintable(QString::number(run.status) + run.err));
        QVERIFY2((run.out + run.err + ReadFile(trace)).contains(message), qPrintable(run.out + run.err));
        const bool reads = args.startsWith("$R"), done = run.status == 0;
        QCOMPARE(ReadFile(out), reads && done ? m_memory : before);
        if (run.out.contains("Wrote ")) // the unit saves once the end frame has crossed the line
            QTRY_COMPARE_WITH_TIMEOUT(ReadFile(saved), m_memory, 10000);
        else
            QVERIFY(!QFile::exists(saved));
        const QStringList backups = QDir(Path("backup")).entryList({"*.st2"});
        QCOMPARE(QFileInfo::exists(Path("backup")),
                 args.contains("--backup") && done); // no empty folder left
        QCOMPARE(backups.size(), args.contains("--backup") && done ? 1 : 0);
        if (!backups.isEmpty())
            QCOMPARE(ReadFile(Path("backup/" + backups.first())), m_shipped);
        if (run.status >= 10) // a failed run names its device
            QVERIFY(run.err.contains(ownPort ? "/dev/vireo-none" : sim.Device()));
    }

    // Ctrl+C as the backup read ends (taken or still pending) stops the command before the write.
    void interruptBetweenRunsStopsBeforeTheWrite()
    {
        for (const bool takenDuringTheRun : {true, false}) {
            const QString trace = Path("interrupt.trace");
            Sim sim({});
            cli::OutputCapture capture;
            const auto runner = cli::CloneRunner::Prepare(
                {std::nullopt, sim.Device(), Sim::Baud.toInt(), DefaultAccessCode, trace, true});
            QVERIFY(runner);
            QCOMPARE(cli::BackupUnit(**runner, Path("interrupt-backup.st2")), 0);
            std::raise(SIGINT);
            if (takenDuringTheRun)
                QCoreApplication::processEvents();
            UnitModel image;
            QCOMPARE(LoadDataFile(m_memoryFile, image).value(), LoadStatus::Loaded);
            QCOMPARE(cli::WriteUnit(**runner, image, m_memoryFile), 130);
            QVERIFY2(capture.Err().contains("interrupted before the write started"),
                     qPrintable(capture.Err()));
            QVERIFY(capture.Err().contains("nothing was written"));
            QVERIFY(!ReadFile(trace).contains("clone Write"));
            QVERIFY(ReadFile(trace).contains(
                "writing not started: interrupted; result: interrupted, exit status 130"));
        }
    }

    // SIGTERM or SIGHUP during a run aborts the unit's run, ends with 130, and leaves no file.
    void interruptedRunAbortsAndLeavesNoFile()
    {
        for (const bool write : {false, true}) { // a read stopped by SIGTERM, a write by SIGHUP
            Sim sim({"--baud", "1200"});         // the slow line keeps the run going meanwhile
            const QString out = Path("interrupted.st2"), trace = Path("interrupted.trace");
            QProcess process;
            process.start(VIREO_BIN_DIR "/vireo-cli",
                          (write ? QStringList{"write", m_memoryFile} : QStringList{"read", "-o", out}) +
                              QStringList{"--trace", trace} + sim.Port());
            const QByteArray request = write ? WriteRequestFrame() : ReadRequestFrame();
            QTRY_VERIFY_WITH_TIMEOUT(ReadFile(trace).contains("TX " + SpacedHex(request)), 10000);
            QCOMPARE(::kill(pid_t(process.processId()), write ? SIGHUP : SIGTERM), 0);
            QVERIFY(process.waitForFinished(10000));
            QCOMPARE(process.exitStatus(), QProcess::NormalExit);
            QCOMPARE(process.exitCode(), 130);
            QTRY_VERIFY_WITH_TIMEOUT(sim.Log().contains("aborted by the program"), 10000);
            QVERIFY(!QFile::exists(out));
        }
    }

    // A trace that stops being written (a full disk) is reported; the completed read ends with 2.
    void traceWriteFailureIsReported()
    {
        Sim sim({});
        const QString out = Path("limited.st2"), trace = Path("limited.trace");
        std::optional<FileSizeLimit> limit(2048); // the settings file (594 bytes) fits, the trace not
        QVERIFY(limit->Active());
        const Run run = RunCli(QStringList{"read", "-q", "-o", out, "--trace", trace} + sim.Port());
        limit.reset();
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err,
                 "vireo-cli: cannot write the trace " + trace + " (File too large); it is incomplete\n");
        QCOMPARE(ReadFile(out), m_shipped);
    }

    // A held signal coming after a watcher has gone waits for the next one, not ending with 143.
    void heldInterruptOutlivesItsWatcher()
    {
        HoldInterrupts();
        std::make_unique<InterruptWatcher>().reset(); // one run's watcher, come and gone
        std::raise(SIGTERM);
        InterruptWatcher next;
        QVERIFY(next.Take());
    }
};

QTEST_GUILESS_MAIN(TestCliClone)
#include "tst_cli_clone.moc"
