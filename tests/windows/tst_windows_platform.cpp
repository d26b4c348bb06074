// SPDX-License-Identifier: GPL-3.0-or-later
// Windows seams: profile place, one window per user, Ctrl+C, same file and port names.
#include "app/single_instance.h"
#include "base/atomic_file.h"
#include "base/interrupt_watcher.h"
#include "path_checks.h"
#include "profile/profile_location.h"
#include "test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vireo;
using namespace vireo::test;

class TestWindowsPlatform : public QObject {
    Q_OBJECT
  private slots:
    // Beside the program when writable, else %APPDATA%\Vireo; finding out leaves nothing.
    void profilePlace()
    {
        QCOMPARE(UserProfileFolder(), QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA")) + "/Vireo");
        const QString program = QCoreApplication::applicationDirPath();
        QCOMPARE(OpenProfile().FilePath(), QDir::toNativeSeparators(program + "/VIREO.ini"));
        QTemporaryDir dir;
        QVERIFY(CanCreateFilesIn(dir.path()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), {});
        QVERIFY(!CanCreateFilesIn(dir.filePath("missing")));
        QVERIFY(!CanCreateFilesIn(ShippedFile));
    }

    void singleInstance()
    {
        const Result<QString> lock = InstanceLockPath();
        QVERIFY(lock && lock->endsWith(qEnvironmentVariable("USERNAME")));
        // A name of this test's own: a window test running beside it may hold the user's lock.
        const QString own = *lock + QStringLiteral("-test-%1").arg(QCoreApplication::applicationPid());
        auto first = std::make_unique<SingleInstance>(own);
        QCOMPARE(first->Acquire().value(), InstanceState::First);
        SingleInstance second(own);
        QCOMPARE(second.Acquire().value(), InstanceState::AlreadyRunning);
        first.reset(); // its process ended
        QCOMPARE(second.Acquire().value(), InstanceState::First);
    }

    // Ctrl+C reaches the watcher; one while no watcher lives is kept for the next, never ending it.
    void controlC()
    {
        QVERIFY(FreeConsole() && AllocConsole()); // a console of this process's own to send it in
        HoldInterrupts();
        int calls = 0;
        {
            InterruptWatcher watcher;
            QObject context;
            watcher.Notify(&context, [&calls] { ++calls; });
            QVERIFY(watcher.IsValid() && !watcher.Take());
            QVERIFY(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
            QTRY_COMPARE(calls, 1);
            QVERIFY(watcher.Interrupted());
        }
        QVERIFY(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
        InterruptWatcher next;
        QTRY_VERIFY(next.Take());
    }

    void sameFileAndPorts()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("Unit.st2"), link = dir.filePath("other.st2");
        QVERIFY(WriteFile(file, "x"));
        QVERIFY(CreateHardLinkW(QDir::toNativeSeparators(link).toStdWString().c_str(),
                                QDir::toNativeSeparators(file).toStdWString().c_str(), nullptr));
        QVERIFY(tool::SameFile(file, dir.filePath("UNIT.ST2"))); // names without regard to case
        QVERIFY(tool::SameFile(file, link));
        QVERIFY(tool::SameFile(dir.filePath("new.st2"), dir.filePath("NEW.st2"))); // not there yet
        QVERIFY(!tool::SameFile(file, dir.filePath("new.st2")));
        QVERIFY(tool::IsNoDevice(file));
        for (const QString port : {"COM3", "com10", "\\\\.\\COM12", "CNCA0", "NUL"})
            QVERIFY2(!tool::IsNoDevice(port), qPrintable(port));
    }
};

QTEST_GUILESS_MAIN(TestWindowsPlatform)
#include "tst_windows_platform.moc"
