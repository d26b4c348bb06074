// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli show and set, run as a technician runs them: the shipped initial
// file, field assignments, the output file, and the exit status of each failure.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Cli = QStringLiteral(VIREO_BIN_DIR "/vireo-cli");
const QString ShippedFile = QStringLiteral(VIREO_BIN_DIR "/VIREO.sts");

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

Run RunCli(const QStringList &args)
{
    QProcess process;
    process.start(Cli, args);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject ShowJson(const QString &path)
{
    const Run run = RunCli({QStringLiteral("show"), path, QStringLiteral("--json")});
    if (run.status != 0)
        return {};
    return QJsonDocument::fromJson(run.out).object();
}

QStringList Texts(const QJsonValue &array)
{
    QStringList texts;
    for (const QJsonValue &v : array.toArray())
        texts.append(v.toString());
    return texts;
}

QList<int> Numbers(const QJsonValue &array)
{
    QList<int> numbers;
    for (const QJsonValue &v : array.toArray())
        numbers.append(v.toInt(-1));
    return numbers;
}

} // namespace

class TestCliShowSet : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // A fresh copy of the shipped file to change.
    QString Copy(const QString &name)
    {
        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        return QFile::copy(ShippedFile, path) ? path : QString();
    }

private slots:
    void shippedFileFormat()
    {
        const QByteArray source = ReadFile(QStringLiteral(VIREO_SOURCE_DIR "/data/VIREO.sts"));
        QCOMPARE(source.size(), 594);
        const QList<QByteArray> lines = source.split('\n');
        QCOMPARE(lines.size(), 100); // 99 lines and nothing after the last line end
        QVERIFY(lines.last().isEmpty());
        static const QRegularExpression line(QStringLiteral("^[0-9A-F]{4}\r$"));
        for (int k = 0; k < 99; ++k)
            QVERIFY2(line.match(QString::fromLatin1(lines[k])).hasMatch(), lines[k].constData());
        QCOMPARE(ReadFile(ShippedFile), source);
    }

    void showShippedFileAsJson()
    {
        const QJsonObject root = ShowJson(ShippedFile);
        const QJsonObject fields = root.value(QStringLiteral("fields")).toObject();
        QCOMPARE(Texts(fields.value(QStringLiteral("SpeedDial"))), QStringList(14, QString()));
        QCOMPARE(Texts(fields.value(QStringLiteral("Config1"))),
                 (QStringList{"0000", "0000", "0000", "", "00000", "00"}));
        QCOMPARE(Numbers(fields.value(QStringLiteral("Config2"))), (QList<int>{0, 0}));
        QCOMPARE(Numbers(fields.value(QStringLiteral("Config3"))), (QList<int>{0, 0, 0, 0, 0}));
        QStringList groups(16, QString());
        groups[0] = QStringLiteral("0000");
        QCOMPARE(Texts(fields.value(QStringLiteral("GroupCode"))), groups);

        const QList<int> words = Numbers(root.value(QStringLiteral("words")));
        QCOMPARE(words.size(), 99);
        const QList<QByteArray> lines = ReadFile(ShippedFile).split('\n');
        for (int k = 0; k < 99; ++k)
            QCOMPARE(words[k], lines[k].trimmed().toInt(nullptr, 16));
    }

    void showListsEveryFieldWithCaption()
    {
        const Run run = RunCli({QStringLiteral("show"), ShippedFile});
        QCOMPARE(run.status, 0);
        const QStringList lines = QString::fromUtf8(run.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
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
        const QJsonObject fields = root.value(QStringLiteral("fields")).toObject();
        const QStringList config1 = Texts(fields.value(QStringLiteral("Config1")));
        QCOMPARE(config1.value(0), QStringLiteral("0012"));
        QCOMPARE(config1.value(2), QStringLiteral("0100"));
        QCOMPARE(config1.value(3), QStringLiteral("0100")); // 0150 lies outside 0100..0119
        QCOMPARE(Texts(fields.value(QStringLiteral("SpeedDial"))).value(0), QStringLiteral("1234"));
        QCOMPARE(Texts(fields.value(QStringLiteral("GroupCode"))).value(7), QStringLiteral("0042"));
        QCOMPARE(Numbers(fields.value(QStringLiteral("Config2"))), (QList<int>{3, 0}));
        QCOMPARE(Numbers(fields.value(QStringLiteral("Config3"))).value(1), 1);
        const QList<int> words = Numbers(root.value(QStringLiteral("words")));
        QCOMPARE(words.mid(42, 4), (QList<int>{0xFFFF, 0xFFFF, 0xFFFF, 0x1234}));
        QCOMPARE(words.mid(22, 2), (QList<int>{0x0001, 0x0000}));

        const QByteArray saved = ReadFile(path);
        QCOMPARE(saved.size(), 594);
        QCOMPARE(saved.mid(6 * 32, 6), QByteArray("0042\r\n"));
    }

    void setWithOutputLeavesFileUnchanged()
    {
        const QString path = Copy(QStringLiteral("in.st2"));
        const QString out = m_dir.filePath(QStringLiteral("out.st2"));
        const QByteArray before = ReadFile(path);
        const Run run = RunCli({QStringLiteral("set"), path, QStringLiteral("-o"), out, QStringLiteral("system-id=5")});
        QCOMPARE(run.status, 0);
        QCOMPARE(ReadFile(path), before);
        QCOMPARE(ReadFile(out).mid(6 * 12, 6), QByteArray("0005\r\n"));
    }

    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("path");

        const QString usage = QStringLiteral("usage:");
        QTest::newRow("no command") << QStringList{} << 1 << usage << QString();
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 1 << usage << QString();
        QTest::newRow("show without file") << QStringList{"show"} << 1 << usage << QString();
        QTest::newRow("show with an unknown option") << QStringList{"show", "$GOOD", "--xml"} << 1 << usage << QString();
        QTest::newRow("set without assignment") << QStringList{"set", "$GOOD"} << 1 << usage << QString();
        QTest::newRow("set of an unknown field") << QStringList{"set", "$GOOD", "Config9[0]=1"} << 1 << usage << QString();
        QTest::newRow("set of a list item the list lacks")
            << QStringList{"set", "$GOOD", "Config2[1]=2"} << 1 << usage << QString();
        QTest::newRow("set with -o lacking a name") << QStringList{"set", "$GOOD", "Config1[0]=1", "-o"} << 1 << usage
                                                    << QString();
        QTest::newRow("show of a missing file")
            << QStringList{"show", "$MISSING"} << 2 << "Cannot open file." << "$MISSING";
        QTest::newRow("show of an illegal file")
            << QStringList{"show", "$ILLEGAL"} << 2 << "Illegal data." << "$ILLEGAL";
        QTest::newRow("set of an illegal file")
            << QStringList{"set", "$ILLEGAL", "Config1[0]=1"} << 2 << "Illegal data." << "$ILLEGAL";
        QTest::newRow("set into a folder that refuses files")
            << QStringList{"set", "$GOOD", "Config1[0]=1", "-o", "/proc/vireo-none/out.st2"} << 2
            << "Cannot save file." << "/proc/vireo-none/out.st2";
    }
    void exitStatus()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QString, path);

        const QString good = Copy(QStringLiteral("good.st2"));
        const QString illegal = m_dir.filePath(QStringLiteral("illegal.st2"));
        {
            QFile file(illegal);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(ReadFile(ShippedFile).left(6 * 98));
        }
        const QString missing = m_dir.filePath(QStringLiteral("missing.st2"));
        auto expand = [&](QString s) {
            return s.replace(QLatin1String("$GOOD"), good)
                .replace(QLatin1String("$ILLEGAL"), illegal)
                .replace(QLatin1String("$MISSING"), missing);
        };
        for (QString &arg : args)
            arg = expand(arg);
        const QByteArray goodBefore = ReadFile(good);
        const QByteArray illegalBefore = ReadFile(illegal);

        const Run run = RunCli(args);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        if (!path.isEmpty())
            QVERIFY2(run.err.contains(expand(path)), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        // A failed run never replaces a file.
        QCOMPARE(ReadFile(good), goodBefore);
        QCOMPARE(ReadFile(illegal), illegalBefore);
        QVERIFY(!QFile::exists(missing));
    }
};

QTEST_GUILESS_MAIN(TestCliShowSet)
#include "tst_cli_show_set.moc"
