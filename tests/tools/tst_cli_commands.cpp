// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli in-process, without a unit: help, wrong calls and file errors
// with their exit statuses (refused before any port is opened, leaving every
// file as it was), and what show, set, diff, config and ports print.
#include "cli_run.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace vireo;
using namespace vireo::test;

class TestCliCommands : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString Path(const QString &name) const { return m_dir.filePath(name); }
    QJsonObject Json(const QStringList &args)
    {
        return QJsonDocument::fromJson(RunCli(args).out.toUtf8()).object();
    }

  private slots:
    void help_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("vireo-cli --help") << QStringList{"--help"};
        for (const auto &command : cli::AllCommands())
            QTest::newRow(qPrintable(command->Name() + " --help")) << QStringList{command->Name(), "-h"};
    }
    // Help goes to standard output with status 0, and lists every option its usage line names.
    void help()
    {
        QFETCH(QStringList, args);
        const Run run = RunCli(args);
        QCOMPARE(run.status, 0);
        QVERIFY(run.err.isEmpty());
        QVERIFY(run.out.startsWith(QStringLiteral("usage: vireo-cli ") + (args.size() > 1 ? args[0] : "")));
        const QString usage = run.out.section(u'\n', 0, 0), rest = run.out.section(u'\n', 1);
        for (const auto &m : QRegularExpression(QStringLiteral(" (-[-\\w]+)")).globalMatch(usage))
            QVERIFY2(rest.contains(m.captured(1) + u' ') || rest.contains(m.captured(1) + u','),
                     qPrintable(m.captured(1)));
        if (args.size() == 1)
            QCOMPARE(RunCli({"--version"}).out, QStringLiteral("vireo-cli " VIREO_VERSION "\n"));
    }

    // Each is refused before a port is opened ($P does not exist: a run would give 10).
    void refused_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("no command") << "" << 1 << "no command given";
        QTest::newRow("unknown command") << "frob" << 1 << "unknown command 'frob'";
        QTest::newRow("unknown option") << "show $GOOD --jsn" << 1 << "Unknown option 'jsn'";
        QTest::newRow("missing value") << "read -o $X --port" << 1 << "Missing value after '--port'";
        QTest::newRow("empty value") << "read --port= -o $X" << 1 << "--port needs a value";
        QTest::newRow("repeated -o") << "read $P -o $X -o $X" << 1 << "-o is given more than once";
        QTest::newRow("too many files") << "show $GOOD $GOOD" << 1 << "unexpected argument '$GOOD'";
        QTest::newRow("COM5 is no port") << "read --port COM5 -o $X" << 1 << "COM1 to COM4";
        QTest::newRow("six-digit code") << "read $P --code 123456 -o $X" << 1 << "--code takes";
        QTest::newRow("code with a sign") << "read $P --code=-0 -o $X" << 1 << "--code takes";
        QTest::newRow("version with more") << "--version x" << 1 << "--help or --version, alone";
        QTest::newRow("set of an unknown field lists the names") << "set $GOOD Config9[0]=1" << 1 << "where NAME is SpeedDial[0..13], Config1[0..5], Config2[0..1], Config3[0..4], GroupCode[0..15], or speed-dial.0..speed-dial.D, primary-code,";
        QTest::newRow("set of a missing list item") << "set $GOOD Config2[1]=2" << 1 << "cannot take the value";
        QTest::newRow("diff of one file is trouble") << "diff $GOOD" << 2 << "two settings files";
        QTest::newRow("trace over the output") << "read $P --trace $X -o $X" << 1 << "same file";
        QTest::newRow("trace over the file to write") << "write $GOOD $P --trace $GOOD" << 1 << "--trace names";
        QTest::newRow("show of a missing file") << "show $MISSING" << 2 << "Cannot open file. $MISSING";
        QTest::newRow("set of an illegal file says why") << "set $ILLEGAL Config1[0]=1" << 2 << "Illegal data. $ILLEGAL (The file ends after 98 lines; a settings file has 99.)";
        QTest::newRow("compare of an illegal file: no port opened") << "compare $ILLEGAL $P" << 2 << "Illegal data. $ILLEGAL";
        QTest::newRow("compare without a file") << "compare $P" << 2 << "no settings file given";
        QTest::newRow("compare on a port that is no device") << "compare $GOOD --port $GOOD" << 10 << "$GOOD is not a serial device";
        QTest::newRow("set into a folder without files") << "set $GOOD system-id=5 -o /proc/o" << 2 << "save file. /proc/o";
        QTest::newRow("read into a missing folder") << "read $P -o /none/x.st2" << 2 << "Cannot save file. /none";
        QTest::newRow("named profile missing") << "read $P --profile /none/V.ini -o $X" << 2 << "cannot use profile";
        QTest::newRow("profile unreadable, no --port") << "read --profile $UTF16 -o $X" << 2 << "give --port";
        QTest::newRow("backup folder under a file") << "write $GOOD $P --backup $GOOD/b" << 2 << "save file. $GOOD/b";
        QTest::newRow("trace cannot be written") << "read $P --trace /none/t -o $X" << 2 << "cannot write the trace";
        QTest::newRow("trace is a FIFO, never waited on") << "read $P --trace $FIFO -o $X" << 2 << "trace $FIFO (not a regular file)";
        QTest::newRow("trace over the output through a linked folder") << "read $P --trace $LINKED/x -o $X" << 1 << "same file";
        QTest::newRow("port is a regular file") << "read --port $GOOD -o $X" << 10 << "$GOOD is not a serial device";
        // clang-format on
    }
    void refused()
    {
        QFETCH(QString, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QMap<QString, QString> names{{"$GOOD", Path("good.st2")},
                                           {"$ILLEGAL", Path("illegal.st2")},
                                           {"$UTF16", Path("utf16.ini")},
                                           {"$MISSING", Path("missing.st2")},
                                           {"$X", Path("x")},
                                           {"$FIFO", NotRegularFile(m_dir.path())},
                                           {"$LINKED", Path("linked")},
                                           {"$P", "--port=/dev/vireo-none"}};
        QVERIFY(!names["$FIFO"].isEmpty());
        if (args.contains("$LINKED"))
            VIREO_SKIP_ON_WINDOWS("a linked folder is made with privileges only");
        QVERIFY(QFileInfo(names["$LINKED"]).isSymLink() || QFile::link(m_dir.path(), names["$LINKED"]));
        const QByteArray shipped = ReadFile(ShippedFile), illegal = shipped.left(6 * 98);
        QVERIFY(WriteFile(names["$GOOD"], shipped) && WriteFile(names["$ILLEGAL"], illegal));
        QVERIFY(WriteFile(names["$UTF16"], QByteArray("\xFF\xFE[\0O\0]\0", 8)));
        const auto expand = [&](QString s) {
            for (auto it = names.cbegin(); it != names.cend(); ++it)
                s.replace(it.key(), it.value());
            return s;
        };
        const Run run = RunCli(expand(args).split(u' ', Qt::SkipEmptyParts));
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(expand(message)), qPrintable(run.err));
        if (status == 1) // a wrong call: one message and the usage line
            QVERIFY(run.err.contains(QLatin1String("usage: vireo-cli")));
        QVERIFY(run.out.isEmpty());
        // Nothing is created or replaced.
        QCOMPARE(ReadFile(names["$GOOD"]), shipped);
        QCOMPARE(ReadFile(names["$ILLEGAL"]), illegal);
        QVERIFY(!QFile::exists(names["$X"]) && !QFile::exists(names["$MISSING"]));
    }

    // A name that is not UTF-8 (Latin-1 from an old archive) would reach another file: refused.
    void undecodableName()
    {
        VIREO_SKIP_ON_WINDOWS("arguments come as UTF-16 text");
        const char *const latin1[] = {"vireo-cli", "show", "caf\xE9.st2"};
        cli::OutputCapture capture;
        QCOMPARE(cli::RefuseUndecodableArguments(3, latin1), 2);
        QVERIFY(capture.Err().startsWith("vireo-cli: caf%E9.st2 is not UTF-8 text"));
    }

    // show --json gives the words the window would save and the fields as the editor shows them.
    void showAndSet()
    {
        const QString path = Path("in.st2"), out = Path("out.st2");
        QVERIFY(WriteFile(path, ReadFile(ShippedFile)));
        QJsonArray words;
        for (const QByteArray &line : ReadFile(ShippedFile).split('\n').mid(0, 99))
            words.append(line.trimmed().toInt(nullptr, 16));
        QCOMPARE(Json({"show", path, "--json"}).value("words").toArray(), words);
        const QStringList lines = RunCli({"show", path}).out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 43);
        QVERIFY(lines.contains("Config2[0]    System Tone: 0:100.0Hz"));

        // Assignments act as typing and Enter, in order: 0150 lies outside 0100..0119, the upper bound
        // stays at the lower. What each field takes is the field binding's business.
        const Run set =
            RunCli({"set", path, "Config1[2]=0100", "-o", out, "Config1[3]=0150", "speed-dial.0=12*34#"});
        QCOMPARE(set.status, 0);
        QVERIFY(set.err.isEmpty() && set.out.isEmpty());
        QCOMPARE(ReadFile(path), ReadFile(ShippedFile));
        const QJsonObject fields = Json({"show", out, "--json"}).value("fields").toObject();
        QCOMPARE(fields.value("Config1").toArray(),
                 (QJsonArray{"0000", "0000", "0100", "0100", "00000", "00"}));
        QCOMPARE(fields.value("SpeedDial").toArray().at(0).toString(), "1234");
    }

    void diff_data()
    {
        QTest::addColumn<QStringList>("changes"); // words of B that differ from the shipped A
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("lines"); // the whole report
        QTest::newRow("same settings") << QStringList{} << 0 << QStringList{};
        QTest::newRow("a field by caption, its word not repeated")
            << QStringList{"2=0003"} << 1 << QStringList{"Config2[0]    System Tone: 0:100.0Hz -> 3:123.0Hz"};
        QTest::newRow("carried words") << QStringList{"21=1234", "98=00FF"} << 1
                                       << QStringList{"word 21       carried word: 0000 -> 1234",
                                                      "word 98       carried word: 0000 -> 00FF"};
        QTest::newRow("a speed dial shown once for its words")
            << QStringList{"42=1234", "43=5FFF"} << 1 << QStringList{"SpeedDial[0]  Speed Dial 0:  -> 12345"};
        QTest::newRow("a difference normalising removes") << QStringList{"16=0005"} << 0 << QStringList{};
    }
    void diff()
    {
        QFETCH(QStringList, changes);
        QFETCH(int, status);
        QFETCH(QStringList, lines);
        QList<QByteArray> words = ReadFile(ShippedFile).split('\n');
        for (const QString &change : changes)
            words[change.section(u'=', 0, 0).toInt()] = change.section(u'=', 1).toLatin1() + '\r';
        const QString b = Path("b.st2");
        QVERIFY(WriteFile(b, words.join('\n')));
        const Run run = RunCli({"diff", ShippedFile, b});
        QCOMPARE(run.status, status);
        QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts), lines);
        QCOMPARE(RunCli({"diff", b, ShippedFile}).out.count(u'\n'), lines.size()); // the same, sides swapped
    }

    // config --json names each option as the profile does; ports marks the profile's Port and speed.
    void configAndPorts()
    {
        const QString profile = Path("VIREO.ini");
        QVERIFY(WriteFile(profile,
                          "[OPTION]\nPort=2\nSpeed=19200\nToolBar=0\n[Status]\nWindowPosition(Top)=-120\n"
                          "WindowPosition(Left)=7\n[RecentFiles]\nFileName(1)=/a.st2\n"
                          "[PORTS]\nCOM2=/dev/vireo-test-port\n"));
        const QJsonObject json = Json({"config", "--profile", profile, "--json"});
        QCOMPARE(json.value("Ports").toArray().at(1).toString(), "/dev/vireo-test-port");
        QCOMPARE(json, (QJsonObject{{"profile", QDir::toNativeSeparators(profile)},
                                    {"Port", 2},
                                    {"Speed", 19200},
                                    {"ToolBar", false},
                                    {"WindowTop", -120},
                                    {"WindowLeft", 7},
                                    {"Ports", json.value("Ports")},
                                    {"RecentFiles", QJsonArray{"/a.st2", "", "", ""}}}));
        const Run ports = RunCli({"ports", "--profile", profile});
        QCOMPARE(ports.status, 0);
        QVERIFY2(ports.out.contains("COM2  /dev/vireo-test-port (no such device) <- Port"),
                 qPrintable(ports.out));
        QVERIFY(ports.out.contains("Speed 19200 bit/s"));

        // A profile the program never saves over is reported, its options still shown.
        QVERIFY(WriteFile(profile, QByteArray("\xFF\xFE[\0", 4)));
        const Run odd = RunCli({"config", "--profile", profile});
        QCOMPARE(odd.status, 0);
        QVERIFY2(odd.err.contains("UTF-16") && odd.err.contains("never saved"), qPrintable(odd.err));
        QVERIFY(odd.out.contains("Profile:"));
    }
};

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_cli_commands.moc"
