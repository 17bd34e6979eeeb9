#include "frames/plantillas.h"
#include "gui/gui_ui.h"
#include "gui/help_window.h"
#include "gui/report_window.h"
#include "gui/timetable_window.h"
#include "gui/mform.h"
#include "modal_answerer.h"
#include "platform/work_dir_lock.h"
#include "platform/xml_capture.h"
#include "run/fet_solver.h"
#include "test_support.h"
#include "tools/velmora_standin.h"

#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

using namespace quintaro;
using namespace quintaro::test;

class TestMainWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_temp;
    QString m_doc;

    QString m_ini;

    QByteArray resultFile() const { return readFile(m_ini); }
    bool hasResultFile() const { return QFileInfo::exists(m_ini); }

    // The window as the program makes it, writing its result file into the test's folder.
    std::unique_ptr<TMForm> window(const QStringList& parameters) const
    {
        auto form = std::make_unique<TMForm>(parameters, showPlantillas);
        form->setResultFilePath(m_ini);
        return form;
    }

    static QPushButton* button(TMForm& form, const char* name)
    {
        return form.findChild<QPushButton*>(QString::fromLatin1(name));
    }

    // Shows the window and waits until the run that automatic mode starts has ended.
    static bool closesBy(TMForm& w, int ms = 20000)
    {
        w.show();
        return QTest::qWaitFor([&] { return !w.isVisible(); }, ms);
    }

    // "Resolver con FET…" clicked, the test's document and both frames chosen: true once the run's
    // first box has come.
    bool resolveFromTheWindow(TMForm& w, ModalAnswerer& answers)
    {
        answers.onFileDialog = [&](QFileDialog* d) { ModalAnswerer::chooseFile(d, m_doc); };
        answers.onFrames = [](TPlantillas* d) { ModalAnswerer::clickFrames(d, {0, 1}); };
        w.show();
        w.BResolverFet->click();
        return QTest::qWaitFor([&] { return answers.messages.size() == 1; }, 60000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The folder the file dialog remembers goes to a test location, not the user's settings.
        QStandardPaths::setTestModeEnabled(true);
    }

    void init()
    {
        qputenv("QUINTARO_VTEMP", m_temp.filePath(QStringLiteral("VTEMP")).toUtf8());
        m_doc = m_temp.filePath(QStringLiteral("escuela.xml"));
        QFile::remove(m_doc);
        QFile::copy(sampleSchool(), m_doc);
        m_ini = m_temp.filePath(QStringLiteral("Velmora.ini"));
        QFile::remove(m_ini);
    }

    void captions()
    {
        const auto form = window({});
        TMForm& w = *form;
        QCOMPARE(w.windowTitle(), QStringLiteral("Exportar e importar datos entre Velmora y Escolaria "));
        QCOMPARE(button(w, "BClose")->text(), QStringLiteral("&Salir"));
        QCOMPARE(button(w, "Button1")->text(), QStringLiteral("F1 Ayuda"));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Quintaro para VX24 V-1.0"));
    }

    void automaticExportChoosesFileAndFramesThenCloses()
    {
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Seleccione Archivo XML obtenido de ESCOLARIA"));
            ModalAnswerer::chooseFile(d, m_doc);
        };
        answers.onFrames = [](TPlantillas* d) { ModalAnswerer::clickFrames(d, {1, 0}); };
        const auto form = window({QStringLiteral("Exportar"), QStringLiteral("cualquiera")});
        TMForm& w = *form;
        QVERIFY(closesBy(w));
        QCOMPARE(answers.messages, QStringList{"Proceso finalizado"});
        QCOMPARE(answers.icons, QList<QMessageBox::Icon>{QMessageBox::NoIcon});
        // The box's details, once opened, are the run's report.
        QVERIFY(answers.details[0].contains(QStringLiteral("ASIGT      37 filas")));
        QVERIFY(answers.details[0].contains(QStringLiteral("sesión 127: materia 'Latín'")));
        QCOMPARE(answers.frameDialogs, 1);
        QCOMPARE(resultFile(), QByteArray("[Transformadores]\r\nTransformado=1\r\n"));
        QCOMPARE(w.session().filenameXML(), m_doc);
        const WorkDir dir(m_temp.filePath(QStringLiteral("VTEMP")));
        QCOMPARE(readRows(dir.tablePath(QStringLiteral("ASIGT"))).size(), size_t(37));
        QCOMPARE(readRows(dir.tablePath(QStringLiteral("GRUPOST"))).back().value(QStringLiteral("MARCO")),
                 QStringLiteral("1"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void fileDialogStartsWhereTheLastDocumentWas()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quintaro"), QStringLiteral("Quintaro"))
            .clear(); // as on a machine where no document was chosen yet
        GuiUi ui(nullptr, showPlantillas);
        ModalAnswerer answers;
        QStringList folders;
        answers.onFileDialog = [&](QFileDialog* d) {
            folders << QDir(d->directory()).absolutePath();
            QCOMPARE(d->nameFilters(), QStringList{"Documentos XML (*.xml)"});
            ModalAnswerer::chooseFile(d, m_doc);
        };
        QCOMPARE(ui.chooseDocument(), std::optional<QString>(m_doc));
        answers.onFileDialog = [&](QFileDialog* d) {
            folders << QDir(d->directory()).absolutePath();
            d->reject();
        };
        QCOMPARE(ui.chooseDocument(), std::nullopt);
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QCOMPARE(folders.value(0), QDir(QFileInfo(documents).isDir() ? documents : QDir::homePath()).absolutePath());
        QCOMPARE(folders.value(1), QDir(m_temp.path()).absolutePath());
    }

    void unwritableResultFileIsSaidOnceAndTheWindowStillCloses()
    {
        // A result file under a plain file cannot be written, whoever runs the test.
        writeFile(m_temp.filePath(QStringLiteral("no_es_carpeta")), "x");
        const QString ini = m_temp.filePath(QStringLiteral("no_es_carpeta/Velmora.ini"));
        ModalAnswerer answers; // cancels the file dialog
        const auto form = window({QStringLiteral("exportar"), QStringLiteral("x")});
        TMForm& w = *form;
        w.setResultFilePath(ini);
        QVERIFY(closesBy(w));
        QCOMPARE(answers.messages.size(), 2); // "No existe archivo", then the one error
        QCOMPARE(answers.icons.last(), QMessageBox::Critical);
        QVERIFY(answers.messages.last().contains(QDir::toNativeSeparators(ini)));
        QVERIFY(answers.messages.last().contains(QStringLiteral("permiso de escritura en ")
                                                 + QDir::toNativeSeparators(QFileInfo(ini).absolutePath())));
        QCOMPARE(w.exitCode(0), kResultFileNotWritten);
        w.close(); // a later close says nothing more
        QCOMPARE(answers.messages.size(), 2);
    }

    void resolvingWithFetWritesTheResultDocument()
    {
        const auto form = window({});
        TMForm& w = *form;
        if (findFetCl({}).isEmpty()) {
            QVERIFY(!w.BResolverFet->isVisibleTo(&w)); // nothing to offer without FET
            QSKIP("fet-cl no está instalado (./test.sh instala el paquete fet)");
        }
        QVERIFY(w.BResolverFet->isVisibleTo(&w));
        ModalAnswerer answers;
        const size_t keptBefore = XmlCapture::listsKeptUntilExit();
        QVERIFY(resolveFromTheWindow(w, answers));
        // The window goes on after a run: it keeps no document of it.
        QCOMPARE(XmlCapture::listsKeptUntilExit(), keptBefore);
        // The finished message names the lesson the export left out; the details hold what the
        // export found beside what the import wrote.
        const QStringList said = answers.messages[0].split(u'\n');
        QCOMPARE(said.size(), 3);
        QCOMPARE(said[0], QStringLiteral("Proceso finalizado (FET colocó las 105 horas, 104 de clase y 1 de tareas; marcos M,T)."));
        QCOMPARE(said[1], QStringLiteral("Fuera del horario (1): sesión 127 (Latín); el informe dice por qué."));
        QVERIFY2(said[2].startsWith(QStringLiteral("Calidad: 0 huecos de alumnos; ")), qPrintable(said[2]));
        QCOMPARE(answers.frameDialogs, 1); // asked once, for both runs inside
        QVERIFY(answers.details[0].contains(QStringLiteral("Franjas (tramo) escritas: 105")));
        QVERIFY(answers.details[0].contains(QStringLiteral("sesión 131: profesor 'XYZ'")));
        const QByteArray result = readFile(m_temp.filePath(QStringLiteral("ResultadoZentarescuela.xml")));
        QCOMPARE(result.count("<tramo dia="), qsizetype(105));
        QVERIFY(!w.BResolverFet->isEnabled()); // one finished run per program start
        QVERIFY(!w.findChild<QProgressDialog*>(QStringLiteral("ProgresoFet")));
    }

    void aFetRunThatCannotStartSaysWhyInABox()
    {
        if (findFetCl({}).isEmpty())
            QSKIP("fet-cl no está instalado (./test.sh instala el paquete fet)");
        // A group with more hours than its frame's periods stops the run before FET: an error box,
        // not an exception out of the button's slot.
        QByteArray text = readFile(m_doc);
        text.replace("<numSesiones>4</numSesiones>", "<numSesiones>40</numSesiones>");
        writeFile(m_doc, text);
        const auto form = window({});
        TMForm& w = *form;
        ModalAnswerer answers;
        QVERIFY(resolveFromTheWindow(w, answers));
        QVERIFY2(answers.messages[0].contains(QStringLiteral("No se ha escrito el archivo de FET: El grupo 1º ESO A tiene")),
                 qPrintable(answers.messages[0]));
        QVERIFY(w.BResolverFet->isEnabled()); // nothing finished: it can be tried again
    }

    void afterAnImportTheTimetableOpensFromTheBox()
    {
        const QString vtemp = m_temp.filePath(QStringLiteral("VTEMP"));
        exportSampleSchool(m_doc, vtemp);
        runVelmoraStandin(WorkDir(vtemp));
        const QString pdf = m_temp.filePath(QStringLiteral("horario.pdf"));
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) { ModalAnswerer::chooseFile(d, m_doc); };
        int finishedBoxes = 0; // the first time "Ver horario", then OK
        answers.onMessageBox = [&](QMessageBox* box) -> QAbstractButton* {
            if (box->text() != u"Proceso finalizado")
                return nullptr;
            return ++finishedBoxes == 1 ? box->findChild<QPushButton*>(QStringLiteral("BVerHorario")) : nullptr;
        };
        QStringList groups;
        QString shownGrid;
        answers.onOtherDialog = [&](QDialog* d) {
            auto* view = qobject_cast<TimetableWindow*>(d);
            if (!view)
                return;
            auto* list = named<QListWidget>(view, "ListaRejillas");
            for (int row = 0; row < list->count(); ++row)
                if (list->item(row)->flags() & Qt::ItemIsSelectable)
                    groups << list->item(row)->text().trimmed();
            // Picking a group shows its grid.
            list->setCurrentItem(list->findItems(QStringLiteral("2º ESO A"), Qt::MatchContains).value(0));
            shownGrid = named<QTextBrowser>(view, "Rejilla")->toPlainText();
            // The manual's picture of the view (tools/capture-timetable.sh).
            if (const QString picture = qEnvironmentVariable("QUINTARO_CAPTURA"); !picture.isEmpty())
                view->grab().save(picture);
            view->savePdf(pdf);
            view->reject();
        };
        const auto form = window({});
        TMForm& w = *form;
        w.show();
        button(w, "BImportar")->click();
        QTRY_COMPARE_WITH_TIMEOUT(finishedBoxes, 2, 30000);
        QVERIFY(answers.informative.last().contains(QStringLiteral("ResultadoZentarescuela.xml")));
        QVERIFY(groups.contains(QStringLiteral("2º ESO A")) && groups.contains(QStringLiteral("1º Bachillerato A")));
        QVERIFY(groups.contains(QStringLiteral("María García López (MGL)")));
        QVERIFY(shownGrid.contains(QStringLiteral("Grupo 2º ESO A")));
        QVERIFY(readFile(pdf).startsWith("%PDF"));
    }

    void afterAnExportTheReportWindowFiltersAndSaves()
    {
        const QString csv = m_temp.filePath(QStringLiteral("informe.csv"));
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) { ModalAnswerer::chooseFile(d, d->objectName() == u"GuardarCsv" ? csv : m_doc); };
        answers.onFrames = [](TPlantillas* d) { ModalAnswerer::clickFrames(d, {0, 1}); };
        int finishedBoxes = 0; // the first time "Ver informe…", then OK
        answers.onMessageBox = [&](QMessageBox* box) -> QAbstractButton* {
            if (box->text() != u"Proceso finalizado")
                return nullptr;
            return ++finishedBoxes == 1 ? box->findChild<QPushButton*>(QStringLiteral("BVerInforme")) : nullptr;
        };
        int allLines = -1, filteredLines = -1;
        QString summary;
        answers.onOtherDialog = [&](QDialog* d) {
            auto* report = qobject_cast<ReportWindow*>(d);
            if (!report)
                return;
            auto* tree = named<QTreeWidget>(report, "ArbolInforme");
            const auto visibleLines = [tree] {
                int n = 0;
                for (int k = 0; k < tree->topLevelItemCount(); ++k)
                    for (int i = 0; i < tree->topLevelItem(k)->childCount(); ++i)
                        n += tree->topLevelItem(k)->child(i)->isHidden() ? 0 : 1;
                return n;
            };
            if (QFileInfo::exists(csv)) {
                report->reject();
                return;
            }
            summary = named<QLabel>(report, "ResumenInforme")->text();
            allLines = visibleLines();
            named<QLineEdit>(report, "FiltroInforme")->setText(QStringLiteral("sesión 131"));
            filteredLines = visibleLines();
            named<QPushButton>(report, "BGuardarCsv")->click(); // its dialog answered with `csv`
        };
        const auto form = window({});
        TMForm& w = *form;
        w.show();
        button(w, "BExportar")->click();
        QTRY_COMPARE_WITH_TIMEOUT(finishedBoxes, 2, 30000);
        QVERIFY(answers.informative.last().contains(QStringLiteral("avisos para revisar")));
        QVERIFY(summary == answers.informative.last().section(u'\n', 0, 0));
        QVERIFY(allLines > 5);
        QCOMPARE(filteredLines, 1); // only lesson 131's line: its teacher is not in PROFT
        QVERIFY(readFile(csv).contains("categoría;sesión;valor;detalle"));
    }

    void automaticRunWithoutFileWritesMinusOne()
    {
        ModalAnswerer answers; // cancels the file dialog
        const auto form = window({QStringLiteral("importar"), QStringLiteral("x")});
        TMForm& w = *form;
        QVERIFY(closesBy(w));
        QCOMPARE(answers.messages.last(), QStringLiteral("No existe archivo XML."));
        QCOMPARE(resultFile(), QByteArray("[Transformadores]\r\nTransformado=-1\r\n"));
    }

    void failedAutomaticRunStaysOpenAndLeavesZero()
    {
        writeFile(m_doc, "<datosGHC><materias>");
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) { ModalAnswerer::chooseFile(d, m_doc); };
        const auto form = window({QStringLiteral("exportar"), QStringLiteral("x")});
        TMForm& w = *form;
        w.show();
        QTRY_COMPARE_WITH_TIMEOUT(answers.messages.size(), 1, 10000);
        QVERIFY(answers.messages[0].startsWith(QStringLiteral("No se puede leer el documento XML")));
        QCOMPARE(answers.icons[0], QMessageBox::Critical);
        QVERIFY(w.isVisible());
        QVERIFY(button(w, "BExportar")->isEnabled());
        QVERIFY(button(w, "BImportar")->isEnabled());
        QVERIFY(!QApplication::overrideCursor()); // the normal cursor is back
        w.close();
        QCOMPARE(resultFile(), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));
    }

    // While another run (quintaro-cli, another window) holds the working directory, the window's
    // export says so and changes nothing.
    void exportWhileAnotherRunHoldsTheFolder()
    {
        exportSampleSchool(m_doc, WorkDir::defaultPath());
        const QByteArray before = readFile(WorkDir(WorkDir::defaultPath()).tablePath(QStringLiteral("ASIGT")));
        const WorkDirLock other(WorkDir::defaultPath());
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) { ModalAnswerer::chooseFile(d, m_doc); };
        answers.onFrames = [](TPlantillas* d) { ModalAnswerer::clickFrames(d, {0}); };
        const auto form = window({QStringLiteral("exportar"), QStringLiteral("x")});
        TMForm& w = *form;
        w.show();
        QTRY_COMPARE_WITH_TIMEOUT(answers.messages.size(), 1, 10000);
        QVERIFY2(answers.messages[0].startsWith(QStringLiteral("Otra ejecución de Quintaro está usando la carpeta de "
                                                               "trabajo %1")
                                                    .arg(QDir::toNativeSeparators(WorkDir::defaultPath()))),
                 qPrintable(answers.messages[0]));
        QCOMPARE(answers.icons[0], QMessageBox::Critical);
        QCOMPARE(readFile(WorkDir(WorkDir::defaultPath()).tablePath(QStringLiteral("ASIGT"))), before);
        w.close();
        QCOMPARE(resultFile(), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));
    }

    // Esc at the frame dialog cancels the export: said once, the tables untouched, result code 0.
    void escapeAtTheFrameDialogCancels()
    {
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) { ModalAnswerer::chooseFile(d, m_doc); };
        answers.onFrames = [](TPlantillas* d) { QTest::keyClick(d, Qt::Key_Escape); };
        const QString asigt = WorkDir(WorkDir::defaultPath()).tablePath(QStringLiteral("ASIGT"));
        const QByteArray before = QFileInfo::exists(asigt) ? readFile(asigt) : QByteArray();
        const auto form = window({QStringLiteral("exportar"), QStringLiteral("x")});
        TMForm& w = *form;
        w.show();
        QTRY_COMPARE_WITH_TIMEOUT(answers.messages.size(), 1, 10000);
        QCOMPARE(answers.messages[0], kExportCancelled);
        QCOMPARE(answers.frameDialogs, 1);
        QCOMPARE(QFileInfo::exists(asigt) ? readFile(asigt) : QByteArray(), before);
        w.close();
        QCOMPARE(resultFile(), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));
    }

    void interactiveRunDisablesBothButtons()
    {
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) { ModalAnswerer::chooseFile(d, m_doc); };
        answers.onFrames = [](TPlantillas* d) { ModalAnswerer::clickFrames(d, {0}); };
        const auto form = window({});
        TMForm& w = *form;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        button(w, "BExportar")->click();
        QCOMPARE(answers.messages, QStringList{"Proceso finalizado"});
        QVERIFY(w.isVisible());
        QVERIFY(!button(w, "BExportar")->isEnabled());
        QVERIFY(!button(w, "BImportar")->isEnabled());
        QVERIFY(button(w, "BClose")->isEnabled());
        w.close();
        QVERIFY(!hasResultFile()); // not automatic: no result file
    }

    void importRunFromTheWindow()
    {
        exportSampleSchool(m_doc, WorkDir::defaultPath());
        runVelmoraStandin(WorkDir(WorkDir::defaultPath()));
        ModalAnswerer answers;
        answers.onFileDialog = [&](QFileDialog* d) { ModalAnswerer::chooseFile(d, m_doc); };
        const auto form = window({});
        TMForm& w = *form;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        button(w, "BImportar")->click();
        QCOMPARE(answers.messages, (QStringList{kAbrirFicheroImportacion, kProcesoFinalizado}));
        QVERIFY(!button(w, "BExportar")->isEnabled());
        const XmlDocument result = XmlDocument::load(m_temp.filePath(QStringLiteral("ResultadoZentarescuela.xml")));
        QCOMPARE(selectSingle(result, QStringLiteral("/datosGHC/horario")).children("tramo").size(), size_t(105));
    }

    void parametersThatStartNothing()
    {
        for (const QStringList& parameters :
             {QStringList{QStringLiteral(" exportar"), QStringLiteral("x")}, QStringList{QStringLiteral("exportar")},
              QStringList{QStringLiteral("exportar"), QStringLiteral("a"), QStringLiteral("b")}}) {
            ModalAnswerer answers;
            const auto form = window(parameters);
            TMForm& w = *form;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            // The run would start from a queued call once shown: let queued calls run.
            QCoreApplication::processEvents();
            QVERIFY(w.isVisible());
            QVERIFY(answers.messages.isEmpty());
            w.close();
            QCOMPARE(hasResultFile(), parameters.size() == 2);
            QFile::remove(m_ini);
        }
    }

    void schoolHelpFileOpensAtItsContext()
    {
        // ESCOLARIA.chm beside the program is shown at context 3 by F1 and at its contents by the
        // button; when nothing can show it, our manual opens instead.
        const QString chm = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ESCOLARIA.chm"));
        writeFile(chm, "ayuda del sistema del centro");
        QList<std::pair<QString, int>> shown;
        bool canShow = true;
        setSchoolHelpViewer([&](const QString& path, int context) {
            shown.append({path, context});
            return canShow;
        });
        const auto form = window({});
        TMForm& w = *form;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_F1);
        button(w, "Button1")->click();
        QCOMPARE(shown, (QList<std::pair<QString, int>>{{chm, 3}, {chm, 0}}));
        QVERIFY(!w.findChild<HelpWindow*>());
        canShow = false;
        QTest::keyClick(&w, Qt::Key_F1);
        QVERIFY(w.findChild<HelpWindow*>());
        setSchoolHelpViewer([](const QString&, int) { return false; });
        QFile::remove(chm);
    }

    void helpOpensOurManualWithoutTheSchoolHelpFile()
    {
        // No ESCOLARIA.chm beside the test program: the button shows the manual's contents, F1
        // its section on the window, and F1 in the frame dialog the dialog's section.
        const auto form = window({});
        TMForm& w = *form;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        button(w, "Button1")->click();
        auto* help = w.findChild<HelpWindow*>(QStringLiteral("Ayuda"));
        QVERIFY(help);
        QTRY_VERIFY(help->isVisible());
        QVERIFY(help->text()->toPlainText().contains(QStringLiteral("El modo automático")));
        QCOMPARE(help->text()->textCursor().position(), 0);

        QTest::keyClick(&w, Qt::Key_F1);
        QCOMPARE(w.findChildren<HelpWindow*>().size(), 1); // the same window, at the topic
        QTextCursor at = help->text()->textCursor();
        at.select(QTextCursor::BlockUnderCursor);
        QVERIFY(at.selectedText().contains(QStringLiteral("La ventana principal")));

        TPlantillas dialog(sampleSchool(), &w);
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_F1);
        auto* dialogHelp = dialog.findChild<HelpWindow*>();
        QVERIFY(dialogHelp);
        at = dialogHelp->text()->textCursor();
        at.select(QTextCursor::BlockUnderCursor);
        QVERIFY(at.selectedText().contains(QStringLiteral("El diálogo de marcos horarios")));
        dialog.hide(); // closing would ask for a frame
        help->close();
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
