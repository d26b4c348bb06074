// SPDX-License-Identifier: GPL-3.0-or-later
// Field codecs: how each editor field is stored in the unit image, how image
// words are shown, and the silent corrections on the way in both directions.
#include "model/field_binding.h"
#include "model/field_codecs.h"

#include <QRandomGenerator>
#include <QTest>

using namespace vireo;

Q_DECLARE_METATYPE(vireo::ControlArray)

namespace {

constexpr auto SD = ControlArray::SpeedDial;
constexpr auto C1 = ControlArray::Config1;
constexpr auto GC = ControlArray::GroupCode;

QString &TextOf(FieldValues &f, ControlArray array, int index)
{
    return array == SD ? f.SpeedDialText[index] : array == C1 ? f.Config1Text[index] : f.GroupCodeText[index];
}

QList<int> Words(const UnitWords &image, int first, qsizetype count)
{
    QList<int> words;
    for (int w = first; w < first + count; ++w)
        words.append(image[w]);
    return words;
}

// A blank unit: empty speed dials, empty group codes and upper bound, zero codes.
UnitWords BlankImage()
{
    UnitWords image{};
    for (int w = word::SpeedDialFirst; w < word::SpeedDialFirst + 56; ++w)
        image[w] = 0xFFFF;
    for (int i = 1; i < GroupCodeCount; ++i)
        image[word::GroupCodeFirst + i] = word::EmptyGroupCode;
    image[word::UpperBlock + 1] = 0x000F;
    return image;
}

} // namespace

class TestFieldCodecs : public QObject {
    Q_OBJECT

  private slots:
    // What the user enters, the words it is stored as, and what the field
    // shows after the image is decoded again.
    void enteredField_data()
    {
        QTest::addColumn<ControlArray>("array");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("entered");
        QTest::addColumn<int>("firstWord");
        QTest::addColumn<QList<int>>("stored");
        QTest::addColumn<QString>("shown");
        using L = QList<int>;
        QTest::newRow("primary code 12 padded") << C1 << 0 << "12" << 6 << L{0x0000, 0x0102} << "0012";
        QTest::newRow("primary code keeps first four digits")
            << C1 << 0 << "987654" << 6 << L{0x0908, 0x0706} << "9876";
        QTest::newRow("primary code keeps only digits")
            << C1 << 0 << "1a2-3" << 6 << L{0x0001, 0x0203} << "0123";
        QTest::newRow("non-ASCII digits dropped")
            << C1 << 1 << QString::fromUtf8("1\u0663\uFF12 4") << 8 << L{0, 0x0104} << "0014";
        QTest::newRow("empty upper block is the marker") << C1 << 3 << "" << 22 << L{0x0000, 0x000F} << "";
        QTest::newRow("upper block of blanks holds zeros") << C1 << 3 << " " << 22 << L{0, 0} << "0000";
        QTest::newRow("access code first digit alone")
            << C1 << 4 << "12345" << 17 << L{0x0001, 0x0203, 0x0405} << "12345";
        QTest::newRow("system id 5 shown 05") << C1 << 5 << "5" << 12 << L{5} << "05";
        QTest::newRow("system id keeps first two digits") << C1 << 5 << "123" << 12 << L{12} << "12";
        QTest::newRow("empty system id is 0") << C1 << 5 << "" << 12 << L{0} << "00";
        QTest::newRow("speed dial right-aligned")
            << SD << 0 << "123" << 42 << L{0xFFFF, 0xFFFF, 0xFFFF, 0xF123} << "123";
        QTest::newRow("speed dial keeps first sixteen of twenty digits")
            << SD << 0 << "12345678901234567890" << 42 << L{0x1234, 0x5678, 0x9012, 0x3456}
            << "1234567890123456";
        QTest::newRow("speed dial of non-digits only is empty")
            << SD << 0 << "*#" << 42 << L{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF} << "";
        QTest::newRow("last turbo speed dial")
            << SD << 13 << "9" << 94 << L{0xFFFF, 0xFFFF, 0xFFFF, 0xFFF9} << "9";
        QTest::newRow("group code 7 entered as 42") << GC << 7 << "42" << 32 << L{0x0042} << "0042";
        QTest::newRow("empty group code 7 is the marker") << GC << 7 << "" << 32 << L{0x000F} << "";
        QTest::newRow("empty group code 0 is 0000") << GC << 0 << "" << 25 << L{0x0000} << "0000";
        QTest::newRow("group code without digits is 0000") << GC << 7 << "x" << 32 << L{0x0000} << "0000";
    }
    void enteredField()
    {
        QFETCH(ControlArray, array);
        QFETCH(int, index);
        QFETCH(QString, entered);
        QFETCH(int, firstWord);
        QFETCH(QList<int>, stored);
        QFETCH(QString, shown);

        UnitWords image = BlankImage();
        FieldValues fields;
        ImageToFields(image, fields);
        TextOf(fields, array, index) = entered;
        FieldsToImage(fields, image);
        QCOMPARE(Words(image, firstWord, stored.size()), stored);
        FieldValues decoded;
        ImageToFields(image, decoded);
        QCOMPARE(TextOf(decoded, array, index), shown);
    }

    // Words as they arrive from a file or a unit, what the field shows, and
    // what the next rebuild of the image stores.
    void arrivedWords_data()
    {
        QTest::addColumn<ControlArray>("array");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("firstWord");
        QTest::addColumn<QList<int>>("arrived");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QList<int>>("restored");
        using L = QList<int>;
        QTest::newRow("letter digit shown, then dropped")
            << C1 << 0 << 6 << L{0x0102, 0x030A} << "123A" << L{0x0001, 0x0203};
        QTest::newRow("high nibbles of each byte ignored")
            << C1 << 0 << 6 << L{0x1122, 0x3344} << "1234" << L{0x0102, 0x0304};
        QTest::newRow("upper block marker read through high nibbles")
            << C1 << 3 << 22 << L{0xF000, 0x00FF} << "" << L{0x0000, 0x000F};
        QTest::newRow("other upper block content shows four characters")
            << C1 << 3 << 22 << L{0x0000, 0x0F00} << "00F0" << L{0, 0};
        QTest::newRow("access code first word reads only its low nibble")
            << C1 << 4 << 17 << L{0x0A31, 0x0203, 0x0405} << "12345" << L{0x0001, 0x0203, 0x0405};
        QTest::newRow("system id 123 from a unit shows 23") << C1 << 5 << 12 << L{123} << "23" << L{23};
        QTest::newRow("negative system id loses its sign") << C1 << 5 << 12 << L{0xFFFB} << "-5" << L{5};
        QTest::newRow("speed dial letters vanish, digits shift right")
            << SD << 0 << 42 << L{0xFFFF, 0xFFFF, 0xFFFF, 0x1A2B} << "12"
            << L{0xFFFF, 0xFFFF, 0xFFFF, 0xFF12};
        QTest::newRow("group code 0 marker becomes 0000") << GC << 0 << 25 << L{0x000F} << "" << L{0};
        QTest::newRow("group code ABCD shown, stored as 0000")
            << GC << 3 << 28 << L{0xABCD} << "ABCD" << L{0};
    }
    void arrivedWords()
    {
        QFETCH(ControlArray, array);
        QFETCH(int, index);
        QFETCH(int, firstWord);
        QFETCH(QList<int>, arrived);
        QFETCH(QString, shown);
        QFETCH(QList<int>, restored);

        UnitWords image = BlankImage();
        for (qsizetype k = 0; k < arrived.size(); ++k)
            image[firstWord + k] = static_cast<std::uint16_t>(arrived[k]);
        FieldValues fields;
        ImageToFields(image, fields);
        QCOMPARE(TextOf(fields, array, index), shown);
        FieldsToImage(fields, image);
        QCOMPARE(Words(image, firstWord, restored.size()), restored);
    }

    // A list or check-box word out of range becomes item 0 (and is stored so).
    void choiceClamp_data()
    {
        QTest::addColumn<bool>("config2");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("wordIndex");
        QTest::addColumn<int>("arrived");
        QTest::addColumn<int>("shown");
        QTest::newRow("system tone 7 becomes item 0") << true << 0 << 2 << 7 << 0;
        QTest::newRow("system tone 6 is the last item") << true << 0 << 2 << 6 << 6;
        QTest::newRow("busy channel detect 2 becomes 0") << true << 1 << 3 << 2 << 0;
        QTest::newRow("priority subscriber 2 cleared") << false << 0 << 13 << 2 << 0;
        QTest::newRow("memory speed dial set") << false << 4 << 20 << 1 << 1;
    }
    void choiceClamp()
    {
        QFETCH(bool, config2);
        QFETCH(int, index);
        QFETCH(int, wordIndex);
        QFETCH(int, arrived);
        QFETCH(int, shown);
        UnitModel model;
        UnitWords image = BlankImage();
        image[wordIndex] = static_cast<std::uint16_t>(arrived);
        FieldValues fields;
        ImageToFields(image, fields);
        ClampChoices(fields, model.Config2MaxIndex);
        QCOMPARE(int(config2 ? fields.Config2Index[index] : fields.Config3Value[index]), shown);
        FieldsToImage(fields, image);
        QCOMPARE(int(image[wordIndex]), shown);
    }

    // The rebuild writes word 16 as 0 and never touches the carried words; a
    // normalised image survives further rebuilds unchanged.
    void rebuildKeepsCarriedWordsAndIsStable()
    {
        UnitModel model;
        QRandomGenerator random(20240607); // fixed seed: the same images every run
        for (int round = 0; round < 50; ++round) {
            UnitWords image{};
            for (auto &w : image)
                w = static_cast<std::uint16_t>(random.bounded(0x10000));
            const UnitWords arrived = image;
            FieldValues fields;
            for (int pass = 0; pass < 2; ++pass) {
                const UnitWords before = image;
                ImageToFields(image, fields);
                ClampChoices(fields, model.Config2MaxIndex);
                FieldsToImage(fields, image);
                if (pass == 1)
                    QCOMPARE(image, before);
            }
            for (int carried : word::Carried)
                QCOMPARE(image[carried], arrived[carried]);
            QCOMPARE(image[word::AlwaysZero], std::uint16_t(0));
        }
    }
};

QTEST_GUILESS_MAIN(TestFieldCodecs)
#include "tst_field_codecs.moc"
