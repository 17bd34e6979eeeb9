#include "export/frame_choice.h"
#include "gui/gui_ui.h"
#include "modal_answerer.h"
#include "test_support.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace quintaro;
using namespace quintaro::test;

class TestPlantillas : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_temp;

    QString document(const QString& frames)
    {
        const QString path = m_temp.filePath(QStringLiteral("marcos.xml"));
        writeFile(path, interchange(QStringLiteral("<marcosDeHorario>%1</marcosDeHorario>").arg(frames)));
        return path;
    }

    static QStringList items(QListWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

private Q_SLOTS:
    void listsFramesAndFirstDayHours()
    {
        TPlantillas dialog(sampleSchool());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Planillas, Marcos o Jornadas Horarias"));
        dialog.show();
        // Each frame by its identifier, with its nombre beside it.
        QCOMPARE(items(named<QListWidget>(&dialog, "ListBox2")), (QStringList{"M — Mañana", "T — Tarde"}));
        QVERIFY(named<QListWidget>(&dialog, "ListBox2")->selectedItems().isEmpty());
        QVERIFY(!named<QComboBox>(&dialog, "ComboBoxPlantilla")->isVisible());
        QCOMPARE(items(named<QListWidget>(&dialog, "ListBox1")).size(), 6);
        QCOMPARE(items(named<QListWidget>(&dialog, "ListBox1")).first(), QStringLiteral("1-08:30-09:25-Lectiva"));

        const QRect second
            = named<QListWidget>(&dialog, "ListBox2")->visualItemRect(named<QListWidget>(&dialog, "ListBox2")->item(1));
        QTest::mouseClick(named<QListWidget>(&dialog, "ListBox2")->viewport(), Qt::LeftButton, Qt::NoModifier,
                          second.center());
        QCOMPARE(named<QComboBox>(&dialog, "ComboBoxPlantilla")->currentText(), QStringLiteral("T"));
        QCOMPARE(items(named<QListWidget>(&dialog, "ListBox1")),
                 (QStringList{"1-15:30-16:25-Lectiva", "2-16:30-17:25-Lectiva", "3-17:30-18:25-Lectiva",
                              "4-18:30-19:25-Lectiva"}));
    }

    void keyboardMovesThroughTheFramesAndFocusStartsOnContinuar()
    {
        TPlantillas dialog(sampleSchool());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_COMPARE(dialog.focusWidget(), named<QPushButton>(&dialog, "BitBtnContinuar"));
        auto* frames = named<QListWidget>(&dialog, "ListBox2");
        frames->setFocus();
        QTest::keyClick(frames, Qt::Key_Down); // onto M
        QTest::keyClick(frames, Qt::Key_Down); // onto T
        QCOMPARE(named<QComboBox>(&dialog, "ComboBoxPlantilla")->currentText(), QStringLiteral("T"));
        QCOMPARE(items(named<QListWidget>(&dialog, "ListBox1")).first(), QStringLiteral("1-15:30-16:25-Lectiva"));
        dialog.hide();
    }

    void ctrlClickOrderGivesListOrder()
    {
        ModalAnswerer answers;
        answers.onFrames = [](TPlantillas* d) { ModalAnswerer::clickFrames(d, {1, 0}); };
        TPlantillas dialog(document(frameXml("A", {"0 1 08:00 09:00"}) + frameXml("B", {"0 1 09:00 10:00"})));
        dialog.exec();
        QVERIFY(dialog.resultMH);
        QCOMPARE(dialog.resultado, QStringLiteral("A         B         "));
        QVERIFY(answers.messages.isEmpty());
    }

    void invalidChoicesAreSaidAndNotValid()
    {
        const QString doc = document(frameXml("ABCDEFGHIJKL", {"0 1 08:00 09:00"}) + frameXml("B", {"0 1 09:00 10:00"})
                                     + frameXml("C", {"0 1 09:00 10:00"}));
        const struct {
            QList<int> rows;
            bool valid;
            QString message;
            QString resultado;
        } cases[] = {
            {{0, 1, 2}, false, kTooManyFrames, QStringLiteral("ABCDEFGHIJB         C         ")},
            {{}, false, kNoFrame, QString()},
            {{0}, true, QString(), QStringLiteral("ABCDEFGHIJ")},
        };
        for (const auto& c : cases) {
            ModalAnswerer answers;
            answers.onFrames = [&](TPlantillas* d) { ModalAnswerer::clickFrames(d, c.rows); };
            TPlantillas dialog(doc);
            dialog.exec();
            QCOMPARE(dialog.resultMH, c.valid);
            QCOMPARE(dialog.resultado, c.resultado);
            QCOMPARE(answers.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
        }
    }

    // The close box (or Esc) gives up: no selection, no message, and the window stops asking.
    void closeBoxCancels()
    {
        for (const bool escape : {false, true}) {
            ModalAnswerer answers;
            answers.onFrames = [escape](TPlantillas* d) {
                if (escape)
                    QTest::keyClick(d, Qt::Key_Escape);
                else
                    d->close();
            };
            QWidget owner;
            GuiUi ui(&owner, showPlantillas);
            const std::optional<FrameSelection> chosen
                = ui.chooseFrames(sampleSchool(), ExportDocument::parse(interchange(QString())));
            QVERIFY(!chosen.has_value());
            QCOMPARE(answers.frameDialogs, 1);
            QCOMPARE(answers.messages, QStringList());
        }
    }

    void windowShowsTheDialogAgainUntilTheChoiceIsValid()
    {
        // Nothing chosen, then all three, then one: the third dialog's choice is the run's.
        const QString doc = document(frameXml("A", {"0 1 08:00 09:00"}) + frameXml("B", {"0 1 09:00 10:00"})
                                     + frameXml("C", {"0 1 10:00 11:00"}));
        const QList<QList<int>> clicks = {{}, {0, 1, 2}, {2}};
        ModalAnswerer answers;
        answers.onFrames
            = [&](TPlantillas* d) { ModalAnswerer::clickFrames(d, clicks.value(answers.frameDialogs - 1)); };
        QWidget owner;
        GuiUi ui(&owner, showPlantillas);
        const std::optional<FrameSelection> chosen = ui.chooseFrames(doc, ExportDocument::parse(interchange(QString())));
        QVERIFY(chosen.has_value());
        QVERIFY(chosen->resultMH);
        QCOMPARE(chosen->resultado, QStringLiteral("C         "));
        QCOMPARE(answers.frameDialogs, 3);
        QCOMPARE(answers.messages, (QStringList{kNoFrame, kTooManyFrames}));
    }

    void unreadableDocumentEndsTheChoice()
    {
        ModalAnswerer answers;
        TPlantillas dialog(m_temp.filePath(QStringLiteral("ya-no-existe.xml")));
        dialog.exec();
        QVERIFY(dialog.failure().contains(QStringLiteral("No se pueden leer los marcos horarios")));
        QVERIFY(answers.messages.isEmpty());
    }
};

QTEST_MAIN(TestPlantillas)
#include "test_plantillas.moc"
