// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli read and write against the simulated unit over a pseudo-terminal
// (the program's real serial port): complete runs, backup and verify, an
// interrupted run, every unit fault with its exit status and no output file
// left behind, and a device that does not exist.
#include "cli_process.h"
#include "clone/clone_frames.h"
#include "clone/clone_trace.h"
#include "model/settings_file.h"
#include "model/unit_model.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vireo;
using namespace vireo::test;

namespace {

QString Hex4(unsigned value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
}

UnitWords ShippedWords()
{
    UnitModel model;
    LoadDataFile(ShippedFile, model);
    return model.UnitImage;
}

} // namespace

class TestCliClone : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_dir;
    QString m_memoryFile; // the unit's memory: the shipped settings, carried words changed
    UnitWords m_memory{};

    QString Path(const QString &name) const { return m_dir.filePath(name); }

  private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(SimProgram), "vireo-unit-sim is not built");
        m_memory = ShippedWords();
        // Words the editor never shows must survive every transfer.
        m_memory[21] = 0x1234;
        m_memory[41] = 0xBEEF;
        m_memory[98] = 0x00FF;
        m_memoryFile = Path(QStringLiteral("memory.st2"));
        QVERIFY(WriteFile(m_memoryFile, SettingsFileText(m_memory)));
    }

    void readSavesTheUnitsWordsAndTrace()
    {
        Sim sim({QStringLiteral("--memory"), m_memoryFile});
        QVERIFY(!sim.Device().isEmpty());
        const QString out = Path(QStringLiteral("read.st2"));
        const QString trace = Path(QStringLiteral("read.trace"));
        const Run run = RunCli(
            QStringList{QStringLiteral("read"), QStringLiteral("--trace"), trace, QStringLiteral("-o"), out} +
            sim.Port());
        QCOMPARE(run.status, 0);
        QCOMPARE(ReadFile(out), SettingsFileText(m_memory));
        // The trace holds the inquiry frame, what came back, and the end of the run.
        const QByteArray traced = ReadFile(trace);
        QVERIFY(traced.contains("TX FE FE FE FE FE FE FE FE FE FE FE FE EE EF E8 20 24 00 00 00 FD"));
        QVERIFY(traced.contains(" RX FE"));
        QVERIFY(traced.contains("end, result 10"));
        // A pseudo-terminal has no modem lines: noted, and no failure.
        QVERIFY(traced.contains("DTR not supported"));
    }

    void writeThenReadBackGivesTheSameWords()
    {
        const QString saved = Path(QStringLiteral("saved.st2"));
        QFile::remove(saved);
        Sim sim({QStringLiteral("--save"), saved});
        const QStringList port = sim.Port();

        const Run write = RunCli(QStringList{QStringLiteral("write"), m_memoryFile} + port);
        QCOMPARE(write.status, 0);
        // The unit saves once the end frame has crossed the line, which may be
        // just after vireo-cli has handed it over and exited.
        QTRY_COMPARE_WITH_TIMEOUT(ReadFile(saved), SettingsFileText(m_memory), HangGuardMs);

        const QString back = Path(QStringLiteral("back.st2"));
        const Run read = RunCli(QStringList{QStringLiteral("read"), QStringLiteral("-o"), back} + port);
        QCOMPARE(read.status, 0);
        QCOMPARE(ReadFile(back), SettingsFileText(m_memory));
    }

    void writeWithBackupAndVerify()
    {
        // The unit holds the shipped settings; the backup must be those, and the
        // verify read finds the new words in place.
        const QString shipped = Path(QStringLiteral("shipped.st2"));
        QVERIFY(WriteFile(shipped, ReadFile(ShippedFile)));
        Sim sim({QStringLiteral("--memory"), shipped});
        const QString backups = Path(QStringLiteral("backups"));
        const Run run = RunCli(QStringList{QStringLiteral("write"), m_memoryFile, QStringLiteral("--backup"),
                                           backups, QStringLiteral("--verify")} +
                               sim.Port());
        QCOMPARE(run.status, 0);
        const QStringList files = QDir(backups).entryList({QStringLiteral("*.st2")}, QDir::Files);
        QCOMPARE(files.size(), 1);
        QCOMPARE(ReadFile(QDir(backups).filePath(files.first())), SettingsFileText(ShippedWords()));
    }

    void failedBackupWritesNothing()
    {
        const QString saved = Path(QStringLiteral("not-written.st2"));
        const QString backups = Path(QStringLiteral("backups-failed/unit-7"));
        Sim sim(
            {QStringLiteral("--save"), saved, QStringLiteral("--fault"), QStringLiteral("short-data=40")});
        const Run run =
            RunCli(QStringList{QStringLiteral("write"), m_memoryFile, QStringLiteral("--backup"), backups} +
                   sim.Port());
        QCOMPARE(run.status, 19);
        QVERIFY(run.err.contains(QStringLiteral("nothing was written")));
        QVERIFY(!QFile::exists(saved));
        QVERIFY(!QFileInfo::exists(Path(QStringLiteral("backups-failed")))); // no empty folders left
    }

    void verifyFindsAWordTheUnitDidNotKeep()
    {
        Sim sim({QStringLiteral("--fault"), QStringLiteral("stuck-bit=21")});
        const Run run = RunCli(
            QStringList{QStringLiteral("write"), m_memoryFile, QStringLiteral("--verify")} + sim.Port());
        QCOMPARE(run.status, 4);
        const QString expected = QStringLiteral("word 21: wrote %1, unit has %2")
                                     .arg(Hex4(m_memory[21]), Hex4(m_memory[21] | 0x0001));
        QVERIFY2(run.err.contains(expected), qPrintable(run.err));
        QCOMPARE(run.err.count(QStringLiteral("word ")), 1);
    }

    // Stopping a run tells the unit to leave cloning, and a read stopped
    // half-way leaves no file. The slow line keeps the read going meanwhile.
    void interruptedRunAbortsAndLeavesNoFile()
    {
        Sim sim({QStringLiteral("--baud"), QStringLiteral("1200")});
        const QString out = Path(QStringLiteral("interrupted.st2"));
        const QString trace = Path(QStringLiteral("interrupted.trace"));
        QProcess process;
        process.start(Cli, QStringList{QStringLiteral("read"), QStringLiteral("--trace"), trace,
                                       QStringLiteral("-o"), out} +
                               sim.Port());
        QTRY_VERIFY_WITH_TIMEOUT(ReadFile(trace).contains("TX " + SpacedHex(ReadRequestFrame())),
                                 HangGuardMs);
        process.terminate();
        QTRY_VERIFY_WITH_TIMEOUT(process.state() == QProcess::NotRunning, HangGuardMs);
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 130);
        QTRY_VERIFY_WITH_TIMEOUT(sim.Log().contains(QLatin1String("aborted by the program")), HangGuardMs);
        QVERIFY(!QFile::exists(out));
    }

    // Each fault of the unit ends the run with its exit status, leaves the
    // output file as it was (or absent) and the unit's saved memory unwritten.
    void faults_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QStringList>("simArgs"); // empty: no unit at all
        QTest::addColumn<QStringList>("cliArgs");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("outputExists"); // read: a file is there before the run

        const auto fault = [](const char *kind) {
            return QStringList{QStringLiteral("--fault"), QString::fromLatin1(kind)};
        };
        const QStringList none;
        const QStringList missing{QStringLiteral("--port"), QStringLiteral("/dev/vireo-no-such-device")};

        QTest::newRow("missing device, read") << "read" << none << missing << 10 << false;
        QTest::newRow("no unit fitted") << "read" << fault("no-unit") << none << 15 << false;
        QTest::newRow("wrong identity") << "write" << fault("wrong-identity") << none << 16 << false;
        QTest::newRow("wrong access code")
            << "read" << none << QStringList{QStringLiteral("--code"), QStringLiteral("12345")} << 17 << true;
        QTest::newRow("block of three bytes") << "read" << fault("bad-block=7") << none << 14 << true;
        QTest::newRow("hundredth block") << "read" << fault("extra-blocks") << none << 18 << false;
        QTest::newRow("data ends early") << "read" << fault("short-data=98") << none << 19 << true;
        QTest::newRow("silent from the start") << "read" << fault("silent-after=0") << none << 13 << false;
        QTest::newRow("silent after the access code")
            << "write" << fault("silent-after=1") << none << 17 << false;
        QTest::newRow("silent mid-write") << "write" << fault("silent-after=30") << none << 13 << false;
        QTest::newRow("endless bytes") << "read" << fault("babble") << none << 11 << false;
        QTest::newRow("reversed line ends") << "read" << fault("crlf-reversed") << none << 17 << false;
        QTest::newRow("unplugged mid-read") << "read" << fault("unplug-after=20") << none << 12 << true;
        QTest::newRow("noise between frames is harmless")
            << "read" << fault("noise=0.3") << none << 0 << true;
        QTest::newRow("write over an echoing cable, with noise")
            << "write" << fault("noise=0.3") + QStringList{QStringLiteral("--echo")} << none << 0 << false;
    }

    void faults()
    {
        QFETCH(QString, mode);
        QFETCH(QStringList, simArgs);
        QFETCH(QStringList, cliArgs);
        QFETCH(int, status);
        QFETCH(bool, outputExists);

        const QString out = Path(QStringLiteral("fault-out.st2"));
        const QString saved = Path(QStringLiteral("fault-saved.st2"));
        QFile::remove(out);
        QFile::remove(saved);
        const QByteArray before = "left as it was\r\n";
        if (outputExists)
            QVERIFY(WriteFile(out, before));

        std::unique_ptr<Sim> sim;
        QStringList args{mode};
        if (mode == QLatin1String("write"))
            args << m_memoryFile;
        else
            args << QStringLiteral("-o") << out;
        if (!cliArgs.contains(QStringLiteral("--port"))) {
            sim = std::make_unique<Sim>(QStringList{QStringLiteral("--save"), saved} + simArgs);
            QVERIFY(!sim->Device().isEmpty());
            args << sim->Port();
        }
        const Run run = RunCli(args + cliArgs);
        QVERIFY2(
            run.status == status,
            qPrintable(QStringLiteral("exit %1, expected %2\n%3").arg(run.status).arg(status).arg(run.err)));

        if (status == 0) {
            if (mode == QLatin1String("write")) // the unit saves once it has seen the end of the run
                QTRY_COMPARE_WITH_TIMEOUT(ReadFile(saved), SettingsFileText(m_memory), HangGuardMs);
            else
                QCOMPARE(ReadFile(out), SettingsFileText(ShippedWords()));
            return;
        }
        // The reason is told with the device it concerns.
        QVERIFY(run.err.contains(sim ? sim->Device() : cliArgs.last()));
        if (outputExists)
            QCOMPARE(ReadFile(out), before);
        else
            QVERIFY(!QFile::exists(out));
        QVERIFY(!QFile::exists(saved));
        QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral("fault-out.st2.*")}).isEmpty());
    }

    // Wrong calls and unusable files are refused before any port is opened
    // (the port named here does not exist, which would give 10).
    void refusedBeforeTheRun_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        const QString port = QStringLiteral("--port=/dev/vireo-no-such-device");
        QTest::newRow("read without output") << QStringList{"read", port} << 1;
        QTest::newRow("output folder missing") << QStringList{"read", port, "-o", "/nonexistent/x.st2"} << 2;
        QTest::newRow("file to write missing") << QStringList{"write", "/nonexistent/x.st2", port} << 2;
        QTest::newRow("named profile missing")
            << QStringList{"read", "--port=COM1", "--profile", "/nonexistent/VIREO.ini", "-o", "x.st2"} << 2;
        QTest::newRow("COM5 is no port") << QStringList{"read", "--port", "COM5", "-o", "x.st2"} << 1;
        QTest::newRow("two output files") << QStringList{"read", port, "-o", "x.st2", "-o", "y.st2"} << 1;
        const QString utf16Profile = Path(QStringLiteral("utf16.ini"));
        QVERIFY(WriteFile(utf16Profile, QByteArray("\xFF\xFE[\0O\0]\0", 8)));
        QTest::newRow("profile unreadable and no --port")
            << QStringList{"read", "--profile", utf16Profile, "-o", "x.st2"} << 2;
        const QString link = Path(QStringLiteral("to-nowhere.st2"));
        QFile::link(QStringLiteral("/nonexistent/x.st2"), link);
        QTest::newRow("output links into a missing folder") << QStringList{"read", port, "-o", link} << 2;
        QTest::newRow("backup folder cannot be made (under a file)")
            << QStringList{"write", ShippedFile, port, "--backup", ShippedFile + "/backups"} << 2;
        QTest::newRow("trace cannot be written")
            << QStringList{"read", port, "--trace", "/nonexistent/t", "-o", "x.st2"} << 2;
    }

    void refusedBeforeTheRun()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QCOMPARE(RunCli(args).status, status);
    }
};

QTEST_GUILESS_MAIN(TestCliClone)
#include "tst_cli_clone.moc"
