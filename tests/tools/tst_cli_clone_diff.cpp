// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli diff and ports, the companions of the clone commands: what diff
// reports for changed fields, carried words and differences that normalising
// removes, its exit statuses; and the COM port mapping that ports shows.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Cli = QStringLiteral(VIREO_BIN_DIR "/vireo-cli");
const QString ShippedFile = QStringLiteral(VIREO_BIN_DIR "/VIREO.sts");

struct Run {
    int status = -1;
    QString out;
};

Run RunCli(const QStringList &args)
{
    QProcess process;
    process.start(Cli, args);
    Run run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    return run;
}

QStringList ShippedLines()
{
    QFile file(ShippedFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

bool WriteText(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.toLatin1()) == text.size();
}

} // namespace

class TestCliCloneDiff : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir m_dir;

    // The shipped file with the given words replaced ("index=HHHH").
    QString Variant(const QString &name, const QStringList &changes)
    {
        QStringList lines = ShippedLines();
        for (const QString &change : changes) {
            const int index = change.section(QLatin1Char('='), 0, 0).toInt();
            lines[index] = change.section(QLatin1Char('='), 1);
        }
        const QString path = m_dir.filePath(name);
        return WriteText(path, lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")) ? path
                                                                                            : QString();
    }

  private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCOMPARE(ShippedLines().size(), 99);
    }

    void diff_data()
    {
        QTest::addColumn<QStringList>("changes"); // words of B that differ from the shipped A
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("lines");  // lines the report must hold
        QTest::addColumn<QStringList>("absent"); // and must not

        QTest::newRow("same settings")
            << QStringList{} << 0 << QStringList{} << QStringList{QStringLiteral("->")};
        QTest::newRow("a field, by caption, its words not repeated")
            << QStringList{QStringLiteral("2=0003")} << 1
            << QStringList{QStringLiteral("System Tone: 0:100.0Hz -> 3:123.0Hz")}
            << QStringList{QStringLiteral("word 2")};
        QTest::newRow("carried words")
            << QStringList{QStringLiteral("21=1234"), QStringLiteral("98=00FF")} << 1
            << QStringList{QStringLiteral("word 21       carried word: 0000 -> 1234"),
                           QStringLiteral("word 98       carried word: 0000 -> 00FF")}
            << QStringList{};
        QTest::newRow("a speed-dial entry shown once for its four words")
            << QStringList{QStringLiteral("42=1234"), QStringLiteral("43=5FFF")} << 1
            << QStringList{QStringLiteral("SpeedDial[0]")}
            << QStringList{QStringLiteral("word 42"), QStringLiteral("word 43")};
        QTest::newRow("a difference that normalising removes")
            << QStringList{QStringLiteral("16=0005")} << 0 << QStringList{}
            << QStringList{QStringLiteral("->")};
    }

    void diff()
    {
        QFETCH(QStringList, changes);
        QFETCH(int, status);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, absent);
        const QString b = Variant(QStringLiteral("b.st2"), changes);
        QVERIFY(!b.isEmpty());
        const Run run = RunCli({QStringLiteral("diff"), ShippedFile, b});
        QCOMPARE(run.status, status);
        for (const QString &line : lines)
            QVERIFY2(run.out.contains(line), qPrintable(run.out));
        for (const QString &text : absent)
            QVERIFY2(!run.out.contains(text), qPrintable(run.out));
        // Swapping the files swaps the sides but finds the same differences.
        const Run swapped = RunCli({QStringLiteral("diff"), b, ShippedFile});
        QCOMPARE(swapped.status, status);
        QCOMPARE(swapped.out.count(QLatin1Char('\n')), run.out.count(QLatin1Char('\n')));
    }

    // Trouble is 2, never 1, so that a script cannot take it for "different".
    void diffTrouble_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("missing file") << QStringList{ShippedFile, QStringLiteral("/nonexistent/b.st2")};
        QTest::newRow("one file only") << QStringList{ShippedFile};
        QTest::newRow("unknown option") << QStringList{ShippedFile, ShippedFile, QStringLiteral("--brief")};
    }

    void diffTrouble()
    {
        QFETCH(QStringList, args);
        QCOMPARE(RunCli(QStringList{QStringLiteral("diff")} + args).status, 2);
        const QString illegal = m_dir.filePath(QStringLiteral("illegal.st2"));
        QVERIFY(WriteText(illegal, QStringLiteral("not a settings file\r\n")));
        QCOMPARE(RunCli({QStringLiteral("diff"), ShippedFile, illegal}).status, 2);
    }

    void portsShowsTheProfilesMapping()
    {
        const QString profile = m_dir.filePath(QStringLiteral("VIREO.ini"));
        QVERIFY(WriteText(profile, QStringLiteral("[OPTION]\r\nPort=3\r\nSpeed=19200\r\n"
                                                  "[PORTS]\r\nCOM2=/dev/vireo-test-port\r\n")));
        const Run run = RunCli({QStringLiteral("ports"), QStringLiteral("--profile"), profile});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains(QStringLiteral("COM2  /dev/vireo-test-port (no such device)")),
                 qPrintable(run.out));
        const QString com3 = run.out.section(QStringLiteral("COM3  "), 1).section(QLatin1Char('\n'), 0, 0);
        QVERIFY2(com3.contains(QStringLiteral("<- Port")), qPrintable(run.out));
        QVERIFY(!run.out.section(QStringLiteral("COM2  "), 1)
                     .section(QLatin1Char('\n'), 0, 0)
                     .contains(QStringLiteral("<- Port")));
        QVERIFY(run.out.contains(QStringLiteral("Speed 19200 bit/s")));
    }
};

QTEST_GUILESS_MAIN(TestCliCloneDiff)
#include "tst_cli_clone_diff.moc"
