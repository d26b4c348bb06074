// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli diff and ports, the companions of the clone commands: what diff
// reports for changed fields, carried words and differences that normalising
// removes, its exit statuses; and the COM port mapping that ports shows.
#include "cli_process.h"

#include <QTemporaryDir>
#include <QTest>

using namespace vireo::test;

class TestCliCloneDiff : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // The shipped file with the given words replaced ("index=HHHH").
    QString Variant(const QStringList &changes)
    {
        QList<QByteArray> lines = ReadFile(ShippedFile).split('\n');
        for (const QString &change : changes)
            lines[change.section(QLatin1Char('='), 0, 0).toInt()] =
                change.section(QLatin1Char('='), 1).toLatin1() + '\r';
        const QString path = m_dir.filePath(QStringLiteral("b.st2"));
        return WriteFile(path, lines.join('\n')) ? path : QString();
    }

  private slots:
    void diff_data()
    {
        QTest::addColumn<QStringList>("changes"); // words of B that differ from the shipped A
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("lines");  // lines the report must hold
        QTest::addColumn<QStringList>("absent"); // and must not
        QTest::newRow("same settings") << QStringList{} << 0 << QStringList{} << QStringList{"->"};
        QTest::newRow("a field, by caption, its words not repeated")
            << QStringList{"2=0003"} << 1 << QStringList{"System Tone: 0:100.0Hz -> 3:123.0Hz"}
            << QStringList{"word 2"};
        QTest::newRow("carried words") << QStringList{"21=1234", "98=00FF"} << 1
                                       << QStringList{"word 21       carried word: 0000 -> 1234",
                                                      "word 98       carried word: 0000 -> 00FF"}
                                       << QStringList{};
        QTest::newRow("a speed-dial entry shown once for its four words")
            << QStringList{"42=1234", "43=5FFF"} << 1 << QStringList{"SpeedDial[0]"}
            << QStringList{"word 42", "word 43"};
        QTest::newRow("a difference that normalising removes")
            << QStringList{"16=0005"} << 0 << QStringList{} << QStringList{"->"};
    }
    void diff()
    {
        QFETCH(QStringList, changes);
        QFETCH(int, status);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, absent);
        const QString b = Variant(changes);
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
        QTest::newRow("missing file") << QStringList{ShippedFile, "/nonexistent/b.st2"};
        QTest::newRow("illegal file") << QStringList{ShippedFile, VIREO_SOURCE_DIR "/CMakeLists.txt"};
        QTest::newRow("unknown option") << QStringList{ShippedFile, ShippedFile, "--brief"};
    }
    void diffTrouble()
    {
        QFETCH(QStringList, args);
        QCOMPARE(RunCli(QStringList{QStringLiteral("diff")} + args).status, 2);
    }

    void portsShowsTheProfilesMapping()
    {
        const QString profile = m_dir.filePath(QStringLiteral("VIREO.ini"));
        QVERIFY(WriteFile(profile,
                          "[OPTION]\r\nPort=3\r\nSpeed=19200\r\n[PORTS]\r\nCOM2=/dev/vireo-test-port\r\n"));
        const Run run = RunCli({QStringLiteral("ports"), QStringLiteral("--profile"), profile});
        QCOMPARE(run.status, 0);
        const auto line = [&](const char *com) {
            return run.out.section(QLatin1String(com), 1).section('\n', 0, 0);
        };
        QVERIFY2(line("COM2  ").startsWith(QLatin1String("/dev/vireo-test-port (no such device)")),
                 qPrintable(run.out));
        QVERIFY(!line("COM2  ").contains(QLatin1String("<- Port")));
        QVERIFY2(line("COM3  ").contains(QLatin1String("<- Port")), qPrintable(run.out));
        QVERIFY(run.out.contains(QLatin1String("Speed 19200 bit/s")));
    }
};

QTEST_GUILESS_MAIN(TestCliCloneDiff)
#include "tst_cli_clone_diff.moc"
