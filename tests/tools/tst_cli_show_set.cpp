// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli show and set, run as a technician runs them: the shipped initial
// file, field assignments, the output file, and the exit status of each failure.
#include "cli_process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace vireo::test;

namespace {

QJsonObject ShowJson(const QString &path)
{
    const Run run = RunCli({QStringLiteral("show"), path, QStringLiteral("--json")});
    return run.status == 0 ? QJsonDocument::fromJson(run.out.toUtf8()).object() : QJsonObject();
}

// A field list of the JSON report as texts ("3" for numbers).
QStringList Field(const QJsonObject &root, const char *name)
{
    QStringList texts;
    for (const QJsonValue &v :
         root.value(QStringLiteral("fields")).toObject().value(QLatin1String(name)).toArray())
        texts.append(v.isDouble() ? QString::number(v.toInt()) : v.toString());
    return texts;
}

QList<int> Words(const QJsonObject &root)
{
    QList<int> words;
    for (const QJsonValue &v : root.value(QStringLiteral("words")).toArray())
        words.append(v.toInt(-1));
    return words;
}

} // namespace

class TestCliShowSet : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // A fresh copy of the shipped file to change.
    QString Copy(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        return QFile::copy(ShippedFile, path) ? path : QString();
    }

  private slots:
    void showShippedFileAsJson()
    {
        QCOMPARE(ReadFile(ShippedFile), ReadFile(QStringLiteral(VIREO_SOURCE_DIR "/data/VIREO.sts")));
        const QJsonObject root = ShowJson(ShippedFile);
        QCOMPARE(Field(root, "SpeedDial"), QStringList(14, QString()));
        QCOMPARE(Field(root, "Config1"), (QStringList{"0000", "0000", "0000", "", "00000", "00"}));
        QStringList groups(16, QString());
        groups[0] = QStringLiteral("0000");
        QCOMPARE(Field(root, "GroupCode"), groups);
        const QList<QByteArray> lines = ReadFile(ShippedFile).split('\n');
        QList<int> words;
        for (int k = 0; k < 99; ++k)
            words.append(lines[k].trimmed().toInt(nullptr, 16));
        QCOMPARE(Words(root), words);
    }

    void showListsEveryFieldWithCaption()
    {
        const Run run = RunCli({QStringLiteral("show"), ShippedFile});
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 43);
        QVERIFY(lines.contains(QStringLiteral("Config1[0]    Primary Code: 0000")));
        QVERIFY(lines.contains(QStringLiteral("Config2[0]    System Tone: 0:100.0Hz")));
    }

    // Assignments behave as typing and Enter in the window, rules included.
    void setAppliesAssignments()
    {
        const QString path = Copy(QStringLiteral("set.st2"));
        const Run run = RunCli({QStringLiteral("set"), path, QStringLiteral("Config1[2]=0100"),
                                QStringLiteral("SpeedDial[0]=12*34#"), QStringLiteral("group-code.7=42"),
                                QStringLiteral("primary-code=12"), QStringLiteral("Config1[3]=0150"),
                                QStringLiteral("Config2[0]=3"), QStringLiteral("Config3[1]=1")});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));

        const QJsonObject root = ShowJson(path);
        // 0150 lies outside 0100..0119: the upper bound stays at the lower.
        QCOMPARE(Field(root, "Config1"), (QStringList{"0012", "0000", "0100", "0100", "00000", "00"}));
        QCOMPARE(Field(root, "SpeedDial").value(0), QStringLiteral("1234"));
        QCOMPARE(Field(root, "GroupCode").value(7), QStringLiteral("0042"));
        QCOMPARE(Field(root, "Config2"), (QStringList{"3", "0"}));
        QCOMPARE(Field(root, "Config3").value(1), QStringLiteral("1"));
        QCOMPARE(ReadFile(path).mid(6 * 42, 24), QByteArray("FFFF\r\nFFFF\r\nFFFF\r\n1234\r\n"));
    }

    void setWithOutputLeavesFileUnchanged()
    {
        const QString path = Copy(QStringLiteral("in.st2"));
        const QString out = m_dir.filePath(QStringLiteral("out.st2"));
        const Run run =
            RunCli({QStringLiteral("set"), path, QStringLiteral("-o"), out, QStringLiteral("system-id=5")});
        QCOMPARE(run.status, 0);
        QCOMPARE(ReadFile(path), ReadFile(ShippedFile));
        QCOMPARE(ReadFile(out).mid(6 * 12, 6), QByteArray("0005\r\n"));
    }

    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message"); // the reason and the file it concerns
        const QString usage = QStringLiteral("usage:");
        QTest::newRow("no command") << QStringList{} << 1 << usage;
        QTest::newRow("set of an unknown field") << QStringList{"set", "$GOOD", "Config9[0]=1"} << 1 << usage;
        QTest::newRow("set of a list item the list lacks")
            << QStringList{"set", "$GOOD", "Config2[1]=2"} << 1 << usage;
        QTest::newRow("show of a missing file")
            << QStringList{"show", "$MISSING"} << 2 << "Cannot open file. $MISSING";
        QTest::newRow("set of an illegal file")
            << QStringList{"set", "$ILLEGAL", "Config1[0]=1"} << 2 << "Illegal data. $ILLEGAL";
        QTest::newRow("set into a folder that refuses files")
            << QStringList{"set", "$GOOD", "Config1[0]=1", "-o", "/proc/vireo-none/out.st2"} << 2
            << "Cannot save file. /proc/vireo-none/out.st2";
    }
    void exitStatus()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QString good = Copy(QStringLiteral("good.st2"));
        const QString illegal = m_dir.filePath(QStringLiteral("illegal.st2"));
        const QString missing = m_dir.filePath(QStringLiteral("missing.st2"));
        QVERIFY(WriteFile(illegal, ReadFile(ShippedFile).left(6 * 98)));
        const auto expand = [&](QString s) {
            return s.replace(QLatin1String("$GOOD"), good)
                .replace(QLatin1String("$ILLEGAL"), illegal)
                .replace(QLatin1String("$MISSING"), missing);
        };
        for (QString &arg : args)
            arg = expand(arg);

        const Run run = RunCli(args);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(expand(message)), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        // A failed run never replaces a file.
        QCOMPARE(ReadFile(good), ReadFile(ShippedFile));
        QCOMPARE(ReadFile(illegal), ReadFile(ShippedFile).left(6 * 98));
        QVERIFY(!QFile::exists(missing));
    }
};

QTEST_GUILESS_MAIN(TestCliShowSet)
#include "tst_cli_show_set.moc"
