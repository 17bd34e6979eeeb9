#include "frames/plantillas.h"

#include "export/frame_choice.h"
#include "gui/app_title.h"
#include "gui/gradient_panel.h"
#include "gui/help.h"
#include "platform/error.h"

#include <QDir>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

namespace quintaro {

namespace {
const QColor kMaroon(0x80, 0x00, 0x00);

} // namespace

TPlantillas::TPlantillas(const QString& filenameXML, QWidget* owner) : QDialog(owner), m_filenameXML(filenameXML)
{
    setObjectName(QStringLiteral("Plantillas"));
    setWindowTitle(QStringLiteral("Planillas, Marcos o Jornadas Horarias"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(369, 282);
    setFont(fontOf(QStringLiteral("MS Sans Serif"), 8));

    auto* panel = new GradientPanel(QColor(0xA6, 0xCA, 0xF0), Qt::white,
                                    palette().color(QPalette::Inactive, QPalette::Highlight), this);
    panel->setObjectName(QStringLiteral("Panel"));
    panel->setGeometry(0, 0, 369, 281);

    makeLabel(panel, "LabelPlantillas",
              QStringLiteral("Seleccione 1, o los 2 Marcos Horarios que quiere aplicar a su Horario en Velmora."),
              {16, 2, 321, 33}, fontOf(QStringLiteral("Arial"), 10, true), Qt::black, true);
    makeLabel(panel, "LabelSelec",
              QStringLiteral(
                  "Para seleccionar mas de un Marco Horario, mantenga (Ctrl) pulsado y seleccione cada marco con 1 "
                  "click del botón izquierdo del ratón."),
              {16, 36, 321, 50}, fontOf(QStringLiteral("Arial"), 10, true, true), Qt::red, true);
    makeLabel(panel, "LabelMarcos", QStringLiteral("MARCOS"), {40, 86, 74, 16},
              fontOf(QStringLiteral("Arial"), 12, true), kMaroon);
    makeLabel(panel, "Label1", QStringLiteral("HORAS"), {215, 86, 67, 18}, fontOf(QStringLiteral("Arial"), 12, true),
              kMaroon);
    makeLabel(panel, "LabelNombre", QStringLiteral("-"), {9, 151, 120, 41},
              fontOf(QStringLiteral("Arial"), 12, true, false, true), kMaroon);
    makeLabel(panel, "LabelPlanFec1", QStringLiteral("-"), {9, 196, 120, 23}, fontOf(QStringLiteral("Arial"), 12, true),
              kMaroon);
    makeLabel(panel, "LabelPlanFec2", QStringLiteral("-"), {9, 226, 120, 23}, fontOf(QStringLiteral("Arial"), 12, true),
              kMaroon);

    ListBox2 = new QListWidget(panel);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    ListBox2->setGeometry(16, 103, 127, 45);
    ListBox2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(ListBox2, &QListWidget::itemClicked, this, &TPlantillas::ListBox2Click);
    // The arrow keys move through the frames as well as the mouse does.
    connect(ListBox2, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            ListBox2Click();
    });

    ListBox1 = new QListWidget(panel);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(152, 103, 193, 146);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);

    ComboBoxPlantilla = new QComboBox(panel);
    ComboBoxPlantilla->setObjectName(QStringLiteral("ComboBoxPlantilla"));
    ComboBoxPlantilla->setGeometry(150, 254, 81, 21);
    ComboBoxPlantilla->setStyleSheet(QStringLiteral("background: yellow"));
    ComboBoxPlantilla->setVisible(false);
    connect(ComboBoxPlantilla, &QComboBox::activated, this, &TPlantillas::ComboBoxPlantillaChange);

    BitBtnContinuar
        = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Continuar"), panel);
    BitBtnContinuar->setObjectName(QStringLiteral("BitBtnContinuar"));
    BitBtnContinuar->setGeometry(255, 253, 89, 25);
    BitBtnContinuar->setFont(fontOf(QStringLiteral("MS Sans Serif"), 8, true));
    BitBtnContinuar->setDefault(true);
    connect(BitBtnContinuar, &QPushButton::clicked, this, &QDialog::accept);

    setTabOrder(BitBtnContinuar, ComboBoxPlantilla);
    setTabOrder(ComboBoxPlantilla, ListBox1);
    setTabOrder(ListBox1, ListBox2);
    BitBtnContinuar->setFocus();
    if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TPlantillas::~TPlantillas() = default;

FrameSelection showPlantillas(const QString& filenameXML, QWidget* owner)
{
    TPlantillas dialog(filenameXML, owner);
    dialog.exec();
    if (!dialog.failure().isEmpty())
        throw RunError(dialog.failure());
    return {dialog.resultMH, dialog.resultado, dialog.cancelled()};
}

void TPlantillas::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        FormActivate();
    }
}

void TPlantillas::keyPressEvent(QKeyEvent* event)
{
    if (!openHelpOnF1(this, event, HelpTopic::FrameDialog))
        QDialog::keyPressEvent(event);
}

void TPlantillas::FormActivate()
{
    try {
        m_doc.reset();
        m_doc.emplace(ExportDocument::loadTimeFrames(m_filenameXML));
        m_ids = frameIdentifiers(*m_doc);
    } catch (const RunError& e) {
        m_failure = QStringLiteral("No se pueden leer los marcos horarios del documento: %1").arg(e.message());
    }
    if (m_failure.isEmpty() && m_ids.size() < 2)
        m_failure = QStringLiteral("El documento %1 ya no tiene varios marcos horarios entre los que elegir")
                        .arg(QDir::toNativeSeparators(m_filenameXML));
    if (!m_failure.isEmpty()) {
        // Nothing can be chosen: close without asking, and let the run end with the message.
        QTimer::singleShot(0, this, [this] { QDialog::done(QDialog::Rejected); });
        return;
    }
    ComboBoxPlantilla->clear();
    ListBox2->clear();
    ComboBoxPlantilla->addItems(m_ids);
    ListBox2->addItems(frameLabels(*m_doc));
    ComboBoxPlantilla->setCurrentIndex(0);
    ComboBoxPlantillaChange();
}

void TPlantillas::ComboBoxPlantillaChange()
{
    if (!m_doc)
        return;
    const auto lines = hoursLines(*m_doc, ComboBoxPlantilla->currentText());
    if (!lines)
        return; // fewer than two periods in all: the list keeps what it shows
    ListBox1->clear();
    ListBox1->addItems(*lines);
}

void TPlantillas::ListBox2Click()
{
    ComboBoxPlantilla->setCurrentIndex(ListBox2->currentRow());
    ComboBoxPlantillaChange();
}

void TPlantillas::done(int result)
{
    if (!m_failure.isEmpty()) {
        QDialog::done(result);
        return;
    }
    // Esc or the close box: the person does not want to choose, and the export stops (showing the
    // dialog again would leave no way out but a valid choice).
    if (result == QDialog::Rejected) {
        m_cancelled = true;
        resultMH = false;
        resultado.clear();
        QDialog::done(result);
        return;
    }
    QList<int> rows;
    for (int row = 0; row < ListBox2->count(); ++row)
        if (ListBox2->item(row)->isSelected())
            rows << row;
    const ClosingResult closing = closeSelection(m_ids, rows);
    resultMH = closing.selection.resultMH;
    resultado = closing.selection.resultado;
    if (!closing.message.isEmpty()) {
        QMessageBox box(QMessageBox::NoIcon, kAppTitle, closing.message, QMessageBox::Ok, this);
        box.exec();
    }
    QDialog::done(result);
}

} // namespace quintaro
