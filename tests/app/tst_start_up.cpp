// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up without a window: the initial settings file missing, illegal or
// good, the access code's start value, and the single-instance lock.
#include "app/program_state.h"
#include "app/scripted_dialogs.h"
#include "app/single_instance.h"
#include "test_files.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace vireo;

class TestStartUp : public QObject {
    Q_OBJECT
  private slots:
    void initialFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QString>("message"); // shown above the file's path
        QTest::addColumn<int>("word0");
        QTest::newRow("missing: message, then the end")
            << QByteArray() << false << "Cannot open initial file." << 0;
        QTest::newRow("98 lines: illegal, all zero")
            << QByteArray("1234\r\n").repeated(98) << true << "Illegal initial." << 0;
        QTest::newRow("99 good lines: loaded, no message")
            << QByteArray("00AB\r\n").repeated(99) << true << QString() << 0xAB;
    }
    void initialFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, goesOn);
        QFETCH(QString, message);
        QFETCH(int, word0);
        QTemporaryDir dir;
        const QString initial = dir.filePath(QStringLiteral("VIREO.sts"));
        if (!content.isNull())
            QVERIFY(test::WriteFile(initial, content));
        ProfileFile profile;
        profile.SetFullPath(dir.filePath(QStringLiteral("VIREO.ini")));
        ProgramState state(profile);
        state.AccessCode = state.options.ComPortNumber = 3; // both set anew by start-up
        test::ScriptedDialogs dialogs;

        QCOMPARE(StartUp(state, initial, dialogs), goesOn);
        QCOMPARE(dialogs.texts,
                 message.isEmpty() ? QStringList() : QStringList{message + "\r\n\r\n" + initial});
        QCOMPARE(state.options.ComPortNumber, qint16(1));
        if (!goesOn)
            return;
        QCOMPARE(state.model.UnitImage[0], std::uint16_t(word0));
        QCOMPARE(state.AccessCode, DefaultAccessCode);
        QCOMPARE(state.document.UpdateCaption(), QStringLiteral("Untitled - Vireo"));
        QVERIFY(!state.document.HasFileName && !state.document.DataEdited());
    }

    // One holder at a time; a lock left by a process that has ended is taken over.
    void singleInstance()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("vireo.lock"));
        {
            SingleInstance first(path);
            QVERIFY(first.IsFirst() && !SingleInstance(path).IsFirst());
        }
        QVERIFY(SingleInstance(path).IsFirst()); // released with its holder

        QProcess ended;
        ended.start(QStringLiteral("sleep"), {QStringLiteral("0.05")});
        QVERIFY(ended.waitForStarted());
        const qint64 pid = ended.processId();
        QVERIFY(ended.waitForFinished());
        QVERIFY(test::WriteFile(path, QByteArray::number(pid) + "\nvireo\n" +
                                          QSysInfo::machineHostName().toUtf8() + "\n"));
        QVERIFY(SingleInstance(path).IsFirst());
    }
};

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_start_up.moc"
