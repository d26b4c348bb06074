// SPDX-License-Identifier: GPL-3.0-or-later
// The binding driven as the window drives it: values typed into controls,
// Enter or loss of focus, ReadAllFields before a command, and what every
// control and the image show afterwards.
#include "model/editor_controls.h"
#include "model/field_binding.h"
#include "model/field_codecs.h"

#include <QTest>

using namespace vireo;

Q_DECLARE_METATYPE(vireo::TextArray)
Q_DECLARE_METATYPE(vireo::SystemColour)

namespace {

/** A unit model with its editor, showing a blank unit with block 0100..0105. */
struct Editor {
    UnitModel model;
    MemoryEditorControls controls;
    FieldBinding binding{model, controls};

    Editor()
    {
        binding.FillConfig2Lists();
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

    void Type(TextArray array, int index, const QString &text)
    {
        if (array == TextArray::Config1)
            binding.Config1FocusGained(index);
        controls.SetText(array, index, text);
    }
    void TypeEnter(TextArray array, int index, const QString &text)
    {
        Type(array, index, text);
        const ControlArray a = array == TextArray::SpeedDial ? ControlArray::SpeedDial
                               : array == TextArray::Config1 ? ControlArray::Config1
                                                             : ControlArray::GroupCode;
        binding.Commit(a, index);
    }
    // Lower and upper bound as shown, then the upper bound as the image holds it.
    QStringList Blocks() const
    {
        FieldValues f;
        ImageToFields(model.UnitImage, f);
        return {controls.Text(TextArray::Config1, LowerBlockDecode),
                controls.Text(TextArray::Config1, UpperBlockDecode), f.Config1Text[UpperBlockDecode]};
    }
};

} // namespace

class TestFieldBinding : public QObject {
    Q_OBJECT

  private slots:
    void typedAndEntered_data()
    {
        QTest::addColumn<TextArray>("array");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<SystemColour>("colour");

        const auto C1 = TextArray::Config1;
        const auto GC = TextArray::GroupCode;
        QTest::newRow("emptied upper block stays empty in menu colour") << C1 << 3 << ""
                                                                        << "" << SystemColour::Menu;
        QTest::newRow("emptied group code 7 in menu colour") << GC << 7 << ""
                                                             << "" << SystemColour::Menu;
        QTest::newRow("group code 7 of 42 in window colour") << GC << 7 << "42"
                                                             << "0042" << SystemColour::Window;
    }
    void typedAndEntered()
    {
        QFETCH(TextArray, array);
        QFETCH(int, index);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(SystemColour, colour);

        Editor e;
        e.TypeEnter(array, index, typed);
        QCOMPARE(e.controls.Text(array, index), shown);
        QCOMPARE(e.controls.BackColour(array, index), colour);
        // The control shows exactly what the image holds.
        FieldValues decoded;
        ImageToFields(e.model.UnitImage, decoded);
        QCOMPARE(decoded, e.model.Fields);
    }

    // A clicked check box reaches the image only through ReadAllFields (or a commit).
    void checkBoxReachesImageOnlyOnCommit()
    {
        Editor e;
        e.controls.SetCheckState(1, 1);
        QCOMPARE(e.model.UnitImage[word::FleetDispatch], std::uint16_t(0));
        QVERIFY(!e.model.DataEdited);
        e.binding.ReadAllFields();
        QCOMPARE(e.model.UnitImage[word::FleetDispatch], std::uint16_t(1));
        QVERIFY(e.model.DataEdited);
    }

    // The block rules, applied when a block field is entered with Enter and
    // when a command runs ReadAllFields after the value was only typed.
    void blockRule_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        const int lo = LowerBlockDecode, up = UpperBlockDecode;
        QTest::newRow("short lower padded before it moves upper") << lo << "300"
                                                                  << "0300"
                                                                  << "0300";
        QTest::newRow("lower 0000 empties upper") << lo << "0"
                                                  << "0000"
                                                  << "";
        QTest::newRow("same lower typed short keeps upper") << lo << "100"
                                                            << "0100"
                                                            << "0105";
        QTest::newRow("upper 119 accepted as 0119") << up << "119"
                                                    << "0100"
                                                    << "0119";
        QTest::newRow("upper 120 reverts to previous upper") << up << "120"
                                                             << "0100"
                                                             << "0105";
        QTest::newRow("upper 99 reverts to previous upper") << up << "99"
                                                            << "0100"
                                                            << "0105";
        QTest::newRow("emptied upper stays empty") << up << ""
                                                   << "0100"
                                                   << "";
        QTest::newRow("upper equal to lower accepted") << up << "100"
                                                       << "0100"
                                                       << "0100";
    }
    void blockRule()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        Editor entered;
        entered.TypeEnter(TextArray::Config1, field, typed);
        QCOMPARE(entered.Blocks(), (QStringList{lower, upper, upper}));

        Editor readAll;
        readAll.Type(TextArray::Config1, field, typed);
        readAll.binding.ReadAllFields();
        QCOMPARE(readAll.Blocks(), (QStringList{lower, upper, upper}));
    }

    // A freshly arrived image is normalised without counting as an edit.
    void normalizeAndShow_data()
    {
        QTest::addColumn<int>("wordIndex");
        QTest::addColumn<int>("arrived");
        QTest::addColumn<int>("normalised");
        QTest::newRow("word 16 zeroed") << 16 << 0x1234 << 0;
        QTest::newRow("carried word untouched") << 41 << 0xBEEF << 0xBEEF;
    }
    void normalizeAndShow()
    {
        QFETCH(int, wordIndex);
        QFETCH(int, arrived);
        QFETCH(int, normalised);
        Editor e;
        e.model.UnitImage[wordIndex] = static_cast<std::uint16_t>(arrived);
        e.model.MarkClean(); // the loaded image is the saved state
        e.binding.NormalizeAndShow();
        QCOMPARE(int(e.model.UnitImage[wordIndex]), normalised);
        QVERIFY(!e.model.DataEdited);
        FieldValues decoded;
        ImageToFields(e.model.UnitImage, decoded);
        QCOMPARE(decoded, e.model.Fields);

        // The normalisation is noticed at the next commit, even of an unchanged field.
        e.binding.CommitConfig1(PrimaryCode);
        QCOMPARE(e.model.DataEdited, arrived != normalised);
    }
};

QTEST_GUILESS_MAIN(TestFieldBinding)
#include "tst_field_binding.moc"
