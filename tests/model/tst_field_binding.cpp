// SPDX-License-Identifier: GPL-3.0-or-later
// The binding as the window drives it: values entered or only typed, and what controls and image show.
#include "model/field_codecs.h"
#include "model/field_table.h"

#include <QTest>

using namespace vireo;

namespace {

/** A unit model with its editor, showing a blank unit with block 0100..0105. */
struct Editor {
    UnitModel model;
    MemoryEditorControls controls;
    FieldBinding binding{model, controls};

    Editor()
    {
        binding.FillConfigLists();
        for (int w = word::SpeedDialFirst; w < word::SpeedDialFirst + 56; ++w)
            model.UnitImage[w] = 0xFFFF;
        for (int i = 1; i < GroupCodeCount; ++i)
            model.UnitImage[word::GroupCodeFirst + i] = word::EmptyGroupCode;
        model.UnitImage[word::LowerBlock] = 0x0001; // 0100
        model.UnitImage[word::UpperBlock] = 0x0001; // 0105
        model.UnitImage[word::UpperBlock + 1] = 0x0005;
        binding.NormalizeAndShow();
        model.MarkClean();
    }
    // The controls show exactly what the image holds.
    bool ShowsImage() const
    {
        FieldValues decoded;
        ImageToFields(model.UnitImage, decoded);
        return decoded == model.Fields;
    }
};

} // namespace

class TestFieldBinding : public QObject {
    Q_OBJECT

  private slots:
    // A value entered: what the field shows and its stored words; a refusal (no words) changes neither.
    void assign_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QList<int>>("stored");
        using L = QList<int>;
        const auto row = [](const char *name, const char *field, const QString &text, const char *shown,
                            const L &stored) {
            QTest::newRow(name) << QString::fromLatin1(field) << text << QString::fromLatin1(shown) << stored;
        };
        const L refused;
        // clang-format off
        row("check box on in any case", "priority-subscriber", "ON", "on", L{1});
        row("check box by 0", "fleet-dispatch", "0", "off", L{0});
        row("check box refuses 2", "priority-subscriber", "2", "off", refused);
        row("tone by its item text", "system-tone", "3:123.0hz", "3:123.0Hz", L{3});
        row("tone by its number alone", "system-tone", "151.4", "6:151.4Hz", L{6});
        row("tone by item number", "system-tone", "3", "3:123.0Hz", L{3});
        row("tone refuses a number past the list", "system-tone", "7", "0:100.0Hz", refused);
        row("tone refuses a tone it lacks", "system-tone", "123.5", "0:100.0Hz", refused);
        row("list text in any case", "busy-channel-detect", "system tone", "System Tone", L{1});
        row("list refuses another text", "busy-channel-detect", "none", "Carrier", refused);
        row("code 12 padded", "primary-code", "12", "0012", L{0x0000, 0x0102});
        row("code keeps first four digits", "primary-code", "987654", "9876", L{0x0908, 0x0706});
        row("non-ASCII digits dropped", "secondary-code", QString::fromUtf8("1\u0663\uFF12 4"), "0014", L{0, 0x0104});
        row("empty upper block is the marker", "upper-block-decode", "", "", L{0, 0x000F});
        row("access code first digit alone", "unit-access-code", "12345", "12345", L{0x0001, 0x0203, 0x0405});
        row("system id 5 shown 05", "system-id", "5", "05", L{5});
        row("empty system id is 0", "system-id", "", "00", L{0});
        row("speed dial right-aligned", "SpeedDial[0]", "123", "123", L{0xFFFF, 0xFFFF, 0xFFFF, 0xF123});
        row("speed dial keeps sixteen of twenty digits", "speed-dial.0", "12345678901234567890", "1234567890123456", L{0x1234, 0x5678, 0x9012, 0x3456});
        row("empty group code 7 is the marker", "GroupCode[7]", "", "", L{0x000F});
        row("group code 7 of 42", "group-code.7", "42", "0042", L{0x0042});
        row("empty group code 0 is 0000", "GroupCode[0]", "", "0000", L{0});
        row("group code without digits is 0000", "GroupCode[7]", "x", "0000", L{0});
        // clang-format on
    }
    void assign()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(QList<int>, stored);
        Editor e;
        const FieldEntry entry = *FindField(field);
        const QString before = ShownValue(entry, e.model);
        const Result<> assigned = AssignField(e.binding, e.controls, entry, text);
        QCOMPARE(assigned.ok(), !stored.isEmpty());
        QCOMPARE(ShownValue(entry, e.model), shown);
        QList<int> words;
        for (int w : entry.words)
            words.append(e.model.UnitImage[w]);
        if (assigned)
            QCOMPARE(words, stored);
        else // the refusal names what the field takes
            QVERIFY2(assigned.error().contains(entry.array == ControlArray::ConfigOption ? "on, off, 1, 0"
                                                                                         : "0 to"),
                     qPrintable(assigned.error()));
        QCOMPARE(e.model.DataEdited, shown != before);
        QVERIFY(e.ShowsImage());
        // Empty code fields are painted in the menu colour so they stand out.
        const auto textArray =
            entry.array == ControlArray::ConfigText ? TextArray::ConfigText : TextArray::GroupCode;
        if (entry.array == ControlArray::ConfigText || entry.array == ControlArray::GroupCode)
            QCOMPARE(e.controls.BackColour(textArray, entry.index),
                     shown.isEmpty() ? SystemColour::Menu : SystemColour::Window);
    }

    // The block rules, on entering a block field and on ReadAllFields after only typing.
    void blockRule_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        const int lo = LowerBlockDecode, up = UpperBlockDecode;
        const auto row = [](const char *name, int field, const char *typed, const char *lower,
                            const char *upper) {
            QTest::newRow(name) << field << QString::fromLatin1(typed) << QString::fromLatin1(lower)
                                << QString::fromLatin1(upper);
        };
        row("short lower padded before it moves upper", lo, "300", "0300", "0300");
        row("lower 0000 empties upper", lo, "0", "0000", "");
        row("same lower typed short keeps upper", lo, "100", "0100", "0105");
        row("upper 119 accepted as 0119", up, "119", "0100", "0119");
        row("upper 120 reverts to previous upper", up, "120", "0100", "0105");
        row("upper 99 reverts to previous upper", up, "99", "0100", "0105");
        row("emptied upper stays empty", up, "", "0100", "");
        row("upper equal to lower accepted", up, "100", "0100", "0100");
    }

    void blockRule()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        for (const bool enter : {true, false}) {
            Editor e;
            if (enter) {
                QVERIFY(AssignField(e.binding, e.controls,
                                    *FindField(QStringLiteral("Config1[%1]").arg(field)), typed)
                            .ok());
            } else {
                e.binding.ConfigTextFocusGained(field);
                e.controls.SetText(TextArray::ConfigText, field, typed);
                e.binding.ReadAllFields();
            }
            QCOMPARE(e.controls.Text(TextArray::ConfigText, LowerBlockDecode), lower);
            QCOMPARE(e.controls.Text(TextArray::ConfigText, UpperBlockDecode), upper);
            QVERIFY(e.ShowsImage());
        }
    }

    // An arrived image is normalised without an edit, noticed at the next commit; a ticked box
    // reaches the image only through ReadAllFields.
    void commitsTakeWhatIsShown()
    {
        Editor e;
        e.model.UnitImage[word::AlwaysZero] = 0x1234;
        e.model.MarkClean(); // the loaded image is the saved state
        e.binding.NormalizeAndShow();
        QCOMPARE(e.model.UnitImage[word::AlwaysZero], std::uint16_t(0));
        QVERIFY(!e.model.DataEdited);
        QVERIFY(e.ShowsImage());
        e.binding.CommitConfigText(PrimaryCode);
        QVERIFY(e.model.DataEdited);

        e.model.MarkClean();
        e.controls.SetCheckState(1, 1);
        QCOMPARE(e.model.UnitImage[word::FleetDispatch], std::uint16_t(0));
        QVERIFY(!e.model.DataEdited);
        e.binding.ReadAllFields();
        QCOMPARE(e.model.UnitImage[word::FleetDispatch], std::uint16_t(1));
        QVERIFY(e.model.DataEdited);
    }
};

QTEST_GUILESS_MAIN(TestFieldBinding)
#include "tst_field_binding.moc"
