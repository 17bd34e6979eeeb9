#pragma once

#include "export/frame_choice.h"
#include "platform/xml_document.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace quintaro {

// The time-frame selection dialog. It reads its own copy of the document from the file the run
// chose, lists the frames (Ctrl-click selects several) and shows the clicked frame's periods of
// the first day. Closing, whichever way, hands back resultMH and resultado and says why a choice
// is not valid; the caller shows a new dialog until it is.
class TPlantillas : public QDialog {
    Q_OBJECT
public:
    TPlantillas(const QString& filenameXML, QWidget* owner = nullptr);
    ~TPlantillas() override;

    bool resultMH = false;
    QString resultado;
    // Set when activation found no frames to choose from (the file can no longer be read, or
    // lists fewer than two): the dialog then closes at once and the run ends with this message.
    const QString& failure() const { return m_failure; }
    // Set when the person closed the dialog (Esc, the close box) instead of choosing.
    bool cancelled() const { return m_cancelled; }

    QListWidget* ListBox2 = nullptr; // the frame list
    QListWidget* ListBox1 = nullptr; // the hours list
    QComboBox* ComboBoxPlantilla = nullptr; // hidden: the frame whose hours are shown
    QPushButton* BitBtnContinuar = nullptr;

    void done(int result) override; // FormClose

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormActivate();
    void ComboBoxPlantillaChange();
    void ListBox2Click();

    QString m_filenameXML;
    std::optional<ExportDocument> m_doc;
    QStringList m_ids;
    QString m_failure;
    bool m_activated = false;
    bool m_cancelled = false;
};

// Shows the dialog once, modal over `owner`, and hands back what closing it gave; raises a
// RunError when it found no frames to offer. The window's FrameDialog.
FrameSelection showPlantillas(const QString& filenameXML, QWidget* owner);

} // namespace quintaro
