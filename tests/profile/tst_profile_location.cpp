// SPDX-License-Identifier: GPL-3.0-or-later
// Where the profile lives (beside the program or per user) and the serial
// device behind each COM number ([PORTS] or the platform default).
#include "profile/profile_location.h"
#include "profile/serial_devices.h"
#include "profile_fixture.h"

#include <QCoreApplication>
#include <QDir>

using namespace vireo;
using namespace vireo::test;

class TestProfileLocation : public QObject {
    Q_OBJECT

  private slots:
    void perUserForAnInstalledProgram()
    {
        QTemporaryDir program;
        const ProfileLocation none = ChooseProfileLocation(program.path(), false, S("/home/u/.config/vireo"));
        QCOMPARE(none.path, S("/home/u/.config/vireo/VIREO.ini"));
        QVERIFY(none.perUser);
        QVERIFY(none.readFallback.isEmpty());

        // A file shipped beside the program is read until the user has one.
        QVERIFY(WriteFile(QDir(program.path()).filePath(S("VIREO.ini")), "[OPTION]\nPort=2\n"));
        const ProfileLocation seeded =
            ChooseProfileLocation(program.path(), false, S("/home/u/.config/vireo"));
        QCOMPARE(seeded.readFallback, QDir(program.path()).filePath(S("VIREO.ini")));
    }

    void openProfileAsStartUpDoes()
    {
        const ProfileFile beside = OpenProfile();
        QCOMPARE(beside.Section(), S("VIREO"));
        QCOMPARE(beside.Name(), S("VIREO.ini"));
        // The test's own folder is writable: the profile is beside the program.
        QCOMPARE(QDir::fromNativeSeparators(beside.GetMyProfile()),
                 QCoreApplication::applicationDirPath() + S("/VIREO.ini"));
    }

    void defaultDevices()
    {
#ifdef Q_OS_WIN
        QCOMPARE(DefaultSerialDevice(3), S("COM3"));
#else
        const auto usb1 = [](const QString &path) { return path == S("/dev/ttyUSB1"); };
        QCOMPARE(DefaultSerialDevice(2, usb1), S("/dev/ttyUSB1"));
        QCOMPARE(DefaultSerialDevice(4, usb1), S("/dev/ttyS3"));
#endif
    }

    void portsSectionMapsComNumbers()
    {
        QTemporaryDir dir;
        ProfileFile profile;
        profile.SetFullPath(dir.filePath(S("VIREO.ini")));
        const QByteArray content(
            "[ports]\r\ncom1=/dev/serial/by-id/usb-Acme_A\r\nCOM3=\r\nCOM4=/dev/ttyACM0\r\n");
        QVERIFY(WriteFile(profile.GetMyProfile(), content));
        profile.SetSection(S("OPTION"));
        const auto none = [](const QString &) { return false; };
        const auto devices = SerialDevicePaths(profile, none);
#ifndef Q_OS_WIN
        QCOMPARE(devices[0], S("/dev/serial/by-id/usb-Acme_A"));
        QCOMPARE(devices[1], S("/dev/ttyS1")); // missing key: the default
        QCOMPARE(devices[2], S("/dev/ttyS2")); // empty value: the default
        QCOMPARE(devices[3], S("/dev/ttyACM0"));
#endif
        QCOMPARE(profile.Section(), S("OPTION")); // the caller's section stays
    }
};

QTEST_GUILESS_MAIN(TestProfileLocation)
#include "tst_profile_location.moc"
