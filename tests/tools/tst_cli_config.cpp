// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli config: a profile edited by hand is reported as the program loads
// it, after its corrections, with the device behind each COM number.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Cli = QStringLiteral(VIREO_BIN_DIR "/vireo-cli");

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

QString S(const char *text)
{
    return QString::fromUtf8(text);
}

// Lower-case names, LF line ends, a comment, out-of-range port and speed, a
// "False" toolbar (any text but "0" shows it), a gap in the recent files.
const QByteArray HandEdited = "; copied from the workshop PC\n"
                              "[option]\nport=7\nSPEED=38400\ntoolbar=False\n\n"
                              "[Status]\nWindowPosition(Top)=-120\nwindowposition(left)=2400\n\n"
                              "[RecentFiles]\nFileName(1)=C:\\Vireo\\fleet.st2\nFileName(2)=\n"
                              "FileName(3)=/home/tech/spare.st2\n\n"
                              "[PORTS]\nCOM2=/dev/serial/by-id/usb-FTDI_FT232R-if00-port0\n";

} // namespace

class TestCliConfig : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    void jsonReportsCorrectedOptions()
    {
        const QString profile = m_dir.filePath(S("VIREO.ini"));
        QFile file(profile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(HandEdited);
        file.close();

        const Run run = RunCli({S("config"), S("--profile"), profile, S("--json")});
        QCOMPARE(run.status, 0);
        QJsonParseError error{};
        const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(json.value(S("profile")).toString(), profile);
        QCOMPARE(json.value(S("Port")).toInt(), 1);
        QCOMPARE(json.value(S("Speed")).toInt(), 9600);
        QCOMPARE(json.value(S("ToolBar")).toBool(), true);
        QCOMPARE(json.value(S("WindowTop")).toInt(), -120);
        QCOMPARE(json.value(S("WindowLeft")).toInt(), 2400);
        QCOMPARE(json.value(S("RecentFiles")).toArray(),
                 (QJsonArray{S("C:\\Vireo\\fleet.st2"), S(""), S("/home/tech/spare.st2"), S("")}));
        const QJsonArray ports = json.value(S("Ports")).toArray();
        QCOMPARE(ports.size(), 4);
        QCOMPARE(ports.at(1).toString(), S("/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"));
#ifndef Q_OS_WIN
        for (int i : {0, 2, 3})
            QVERIFY(ports.at(i).toString().startsWith(S("/dev/tty")));
#endif
        QVERIFY(run.err.isEmpty());

        // Reading the profile never writes it.
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), HandEdited);
    }

    void textFormAndOptionForms()
    {
        const QString profile = m_dir.filePath(S("absent.ini"));
        const Run run = RunCli({S("config"), S("--profile=") + profile});
        QCOMPARE(run.status, 0);
        const QString out = QString::fromUtf8(run.out);
        QVERIFY2(out.contains(profile), qPrintable(out));
        QVERIFY(out.contains(S("COM1")));
        QVERIFY(out.contains(S("9600")));
        QVERIFY(!QFile::exists(profile));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("--profile without a file") << QStringList{S("config"), S("--profile")};
        QTest::newRow("unknown argument") << QStringList{S("config"), S("--jsn")};
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        const Run run = RunCli(args);
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.contains(S("usage: vireo-cli config")));
    }
};

QTEST_GUILESS_MAIN(TestCliConfig)
#include "tst_cli_config.moc"
