#include "app/main_window.h"
#include "modal_answerer.h"
#include "test_support.h"
#include "tools/velmora_standin.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace quintaro;
using namespace quintaro::test;

class TestMainWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_temp;
    QString m_doc;

    QByteArray resultFile() const { return readFile(TMForm::resultFilePath()); }

    // Shows the window and waits until the run that automatic mode starts has ended.
    static bool closesBy(TMForm& window, int ms = 20000)
    {
        window.show();
        return QTest::qWaitFor([&] { return !window.isVisible(); }, ms);
    }

private Q_SLOTS:
    void init()
    {
        qputenv("QUINTARO_VTEMP", m_temp.filePath(QStringLiteral("VTEMP")).toUtf8());
        m_doc = m_temp.filePath(QStringLiteral("escuela.xml"));
        QFile::remove(m_doc);
        QFile::copy(sampleSchool(), m_doc);
        QFile::remove(TMForm::resultFilePath());
    }

    void cleanup() { QFile::remove(TMForm::resultFilePath()); }

    void layoutAndCaptions()
    {
        TMForm window({});
        QCOMPARE(window.windowTitle(), QStringLiteral("Exportar e importar datos entre Velmora y Escolaria "));
        QCOMPARE(window.size(), QSize(632, 266));
        QCOMPARE(window.BExportar->geometry(), QRect(96, 120, 89, 25));
        QCOMPARE(window.BClose->text(), QStringLiteral("&Salir"));
        QCOMPARE(window.Button1->text(), QStringLiteral("F1 Ayuda"));
        QCOMPARE(window.Label1->text(), QStringLiteral("Quintaro para VX24 V-1.0"));
    }

    void automaticExportChoosesFileAndFramesThenCloses()
    {
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Seleccione Archivo XML obtenido de ESCOLARIA"));
            ModalAnswerer::chooseFile(d, m_doc);
        };
        answers.onFrames = [](TPlantillas* d) { ModalAnswerer::clickFrames(d, {1, 0}); };
        TMForm window({QStringLiteral("Exportar"), QStringLiteral("cualquiera")});
        QVERIFY(closesBy(window));
        QCOMPARE(answers.messages, QStringList{"Proceso finalizado"});
        QCOMPARE(answers.icons, QList<QMessageBox::Icon>{QMessageBox::NoIcon});
        QCOMPARE(answers.frameDialogs, 1);
        QCOMPARE(resultFile(), QByteArray("[Transformadores]\r\nTransformado=1\r\n"));
        QCOMPARE(window.session().filenameXML, m_doc);
        const WorkDir dir(m_temp.filePath(QStringLiteral("VTEMP")));
        QCOMPARE(readRows(dir.tablePath(QStringLiteral("ASIGT"))).size(), size_t(37));
        QCOMPARE(readRows(dir.tablePath(QStringLiteral("GRUPOST"))).back().value(QStringLiteral("MARCO")),
                 QStringLiteral("1"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void automaticRunWithoutFileWritesMinusOne()
    {
        ModalAnswerer answers; // cancels the file dialog
        TMForm window({QStringLiteral("importar"), QStringLiteral("x")});
        QVERIFY(closesBy(window));
        QCOMPARE(answers.messages.last(), QStringLiteral("No existe archivo XML."));
        QCOMPARE(resultFile(), QByteArray("[Transformadores]\r\nTransformado=-1\r\n"));
    }

    void failedAutomaticRunStaysOpenAndLeavesZero()
    {
        writeFile(m_doc, "<datosGHC><materias>");
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) { ModalAnswerer::chooseFile(d, m_doc); };
        TMForm window({QStringLiteral("exportar"), QStringLiteral("x")});
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(answers.messages.size(), 1, 10000);
        QVERIFY(answers.messages[0].startsWith(QStringLiteral("No se puede leer el documento XML")));
        QCOMPARE(answers.icons[0], QMessageBox::Critical);
        QVERIFY(window.isVisible());
        QVERIFY(window.BExportar->isEnabled());
        QVERIFY(window.BImportar->isEnabled());
        QVERIFY(!QApplication::overrideCursor()); // the normal cursor is back
        window.close();
        QCOMPARE(resultFile(), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));
    }

    void interactiveRunDisablesBothButtons()
    {
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) { ModalAnswerer::chooseFile(d, m_doc); };
        answers.onFrames = [](TPlantillas* d) { ModalAnswerer::clickFrames(d, {0}); };
        TMForm window({});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.BExportar->click();
        QCOMPARE(answers.messages, QStringList{"Proceso finalizado"});
        QVERIFY(window.isVisible());
        QVERIFY(!window.BExportar->isEnabled());
        QVERIFY(!window.BImportar->isEnabled());
        QVERIFY(window.BClose->isEnabled());
        window.close();
        QVERIFY(!QFileInfo::exists(TMForm::resultFilePath())); // not automatic: no result file
    }

    void importRunFromTheWindow()
    {
        {
            ScriptedUi ui;
            ui.document = m_doc;
            ui.frameAnswers = {{true, QStringLiteral("M         T         ")}};
            Session session;
            QCOMPARE(session.runExport(ui), Session::Outcome::Finished);
            runVelmoraStandin(WorkDir(WorkDir::defaultPath()));
        }
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) { ModalAnswerer::chooseFile(d, m_doc); };
        TMForm window({});
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.BImportar->click();
        QCOMPARE(answers.messages, (QStringList{kAbrirFicheroImportacion, kProcesoFinalizado}));
        QVERIFY(!window.BExportar->isEnabled());
        const XmlDocument result = XmlDocument::load(m_temp.filePath(QStringLiteral("ResultadoZentarescuela.xml")));
        QCOMPARE(result.selectSingle(QStringLiteral("/datosGHC/horario")).children("tramo").size(), size_t(105));
    }

    void parametersThatStartNothing()
    {
        for (const QStringList& parameters :
             {QStringList{QStringLiteral(" exportar"), QStringLiteral("x")}, QStringList{QStringLiteral("exportar")},
              QStringList{QStringLiteral("exportar"), QStringLiteral("a"), QStringLiteral("b")}}) {
            ModalAnswerer answers;
            TMForm window(parameters);
            window.show();
            QTest::qWait(100);
            QVERIFY(window.isVisible());
            QVERIFY(answers.messages.isEmpty());
            window.close();
            QCOMPARE(QFileInfo::exists(TMForm::resultFilePath()), parameters.size() == 2);
            QFile::remove(TMForm::resultFilePath());
        }
    }

    void missingHelpFileIsSaid()
    {
        ModalAnswerer answers;
        TMForm window({});
        window.show();
        window.Button1->click();
        QCOMPARE(answers.messages.size(), 1);
        QVERIFY(answers.messages[0].contains(QStringLiteral("ESCOLARIA.chm")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
