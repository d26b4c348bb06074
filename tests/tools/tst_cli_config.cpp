// SPDX-License-Identifier: GPL-3.0-or-later
// vireo-cli config: a profile edited by hand is reported as the program loads
// it, after its corrections, with the device behind each COM number.
#include "cli_process.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace vireo::test;

class TestCliConfig : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

  private slots:
    void jsonReportsCorrectedOptions()
    {
        // Out-of-range port and speed, a "False" toolbar (any text but "0"
        // shows it), a gap in the recent files, a mapped COM2.
        const QByteArray handEdited = "; copied from the workshop PC\n"
                                      "[option]\nport=7\nSPEED=38400\ntoolbar=False\n\n"
                                      "[Status]\nWindowPosition(Top)=-120\nwindowposition(left)=2400\n\n"
                                      "[RecentFiles]\nFileName(1)=C:\\Vireo\\fleet.st2\nFileName(2)=\n"
                                      "FileName(3)=/home/tech/spare.st2\n\n"
                                      "[PORTS]\nCOM2=/dev/serial/by-id/usb-Acme_USB_Serial-if00-port0\n";
        const QString profile = m_dir.filePath(QStringLiteral("VIREO.ini"));
        QVERIFY(WriteFile(profile, handEdited));

        const Run run = RunCli(
            {QStringLiteral("config"), QStringLiteral("--profile"), profile, QStringLiteral("--json")});
        QCOMPARE(run.status, 0);
        const QJsonObject json = QJsonDocument::fromJson(run.out.toUtf8()).object();
        QCOMPARE(json.value(QLatin1String("profile")).toString(), profile);
        QCOMPARE(json.value(QLatin1String("Port")).toInt(), 1);
        QCOMPARE(json.value(QLatin1String("Speed")).toInt(), 9600);
        QCOMPARE(json.value(QLatin1String("ToolBar")).toBool(), true);
        QCOMPARE(json.value(QLatin1String("WindowTop")).toInt(), -120);
        QCOMPARE(json.value(QLatin1String("WindowLeft")).toInt(), 2400);
        QCOMPARE(json.value(QLatin1String("RecentFiles")).toArray(),
                 (QJsonArray{"C:\\Vireo\\fleet.st2", "", "/home/tech/spare.st2", ""}));
        const QJsonArray ports = json.value(QLatin1String("Ports")).toArray();
        QCOMPARE(ports.size(), 4);
        QCOMPARE(ports.at(1).toString(), QStringLiteral("/dev/serial/by-id/usb-Acme_USB_Serial-if00-port0"));
        QVERIFY(ports.at(0).toString().startsWith(QLatin1String("/dev/tty")));
        QCOMPARE(ReadFile(profile), handEdited); // reading the profile never writes it
    }

    // A profile the program never saves over is reported, its options still shown.
    void profileNotReadWholeIsReported_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("note");
        QTest::newRow("larger than the read limit")
            << QByteArray("[OPTION]\nPort=3\n" + QByteArray(2 << 20, ';') + "\n") << QStringLiteral("larger than");
        QTest::newRow("UTF-16 text") << QByteArray("\xFF\xFE[\0", 4) << QStringLiteral("UTF-16");
    }
    void profileNotReadWholeIsReported()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, note);
        const QString profile = m_dir.filePath(QStringLiteral("odd.ini"));
        QVERIFY(WriteFile(profile, content));
        const Run run = RunCli({QStringLiteral("config"), QStringLiteral("--profile"), profile});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains(note) && run.err.contains(QLatin1String("never saved")), qPrintable(run.err));
        QVERIFY(run.out.contains(QLatin1String("Profile:")));
    }

    void usageErrors()
    {
        for (const QString &bad : {QStringLiteral("--profile"), QStringLiteral("--jsn")}) {
            const Run run = RunCli({QStringLiteral("config"), bad});
            QCOMPARE(run.status, 1);
            QVERIFY(run.err.contains(QLatin1String("usage: vireo-cli config")));
        }
    }
};

QTEST_GUILESS_MAIN(TestCliConfig)
#include "tst_cli_config.moc"
