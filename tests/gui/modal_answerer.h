#pragma once

#include "frames/plantillas.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <functional>

// A widget of `parent` by the object name the program gives it.
template <typename Widget> Widget* named(QObject* parent, const char* name)
{
    return parent->findChild<Widget*>(QString::fromLatin1(name));
}

// Answers the modal dialogs of a run as a user would: picks a file in the file dialog, clicks
// frames in the selection dialog and OK in every message box, remembering what the boxes said.
class ModalAnswerer : public QObject {
public:
    std::function<void(QFileDialog*)> onFileDialog = [](QFileDialog* d) { d->reject(); };
    std::function<void(quintaro::TPlantillas*)> onFrames
        = [](quintaro::TPlantillas* d) { named<QPushButton>(d, "BitBtnContinuar")->click(); };
    // The button to click in a message box (Ok when it gives none), and what to do with any other
    // dialog (the report and timetable windows); neither is asked when not set.
    std::function<QAbstractButton*(QMessageBox*)> onMessageBox;
    std::function<void(QDialog*)> onOtherDialog;
    QStringList messages;
    QStringList informative; // each box's text under its message
    QStringList details; // each box's detailed text, read from the text box its details button shows
    QList<QMessageBox::Icon> icons;
    int frameDialogs = 0;

    ModalAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::answer);
        m_timer.start(5);
    }

    static void chooseFile(QFileDialog* dialog, const QString& path)
    {
        // Typed into the file-name box, as a user would; selectFile() waits for the folder to load.
        if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog::accept, reached through the public slot
    }

    // Clicks the rows in this order, with Ctrl held after the first, then Continuar.
    static void clickFrames(quintaro::TPlantillas* dialog, const QList<int>& rows)
    {
        bool first = true;
        for (int row : rows) {
            auto* list = named<QListWidget>(dialog, "ListBox2");
            const QRect r = list->visualItemRect(list->item(row));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, first ? Qt::NoModifier : Qt::ControlModifier,
                              r.center());
            first = false;
        }
        named<QPushButton>(dialog, "BitBtnContinuar")->click();
    }

private:
    // Opens the box's details as a person would and reads what they show.
    static QString shownDetails(QMessageBox* box)
    {
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == QMessageBox::ActionRole) {
                button->click();
                if (auto* shown = box->findChild<QTextEdit*>())
                    return shown->isVisible() ? shown->toPlainText() : QString();
            }
        return {};
    }

    // Answers from a queued call, not from the timer's slot: an answer may open a nested dialog
    // (a message box while the frame dialog closes), and a timer does not fire while its own
    // slot is still running.
    void answer()
    {
        if (m_pending)
            return;
        m_pending = true;
        QMetaObject::invokeMethod(this, &ModalAnswerer::answerNow, Qt::QueuedConnection);
    }

    void answerNow()
    {
        m_pending = false;
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->text();
            icons << box->icon();
            informative << box->informativeText();
            details << shownDetails(box);
            QAbstractButton* chosen = onMessageBox ? onMessageBox(box) : nullptr;
            (chosen ? chosen : box->button(QMessageBox::Ok))->click();
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            onFileDialog(files);
        } else if (auto* frames = qobject_cast<quintaro::TPlantillas*>(modal)) {
            ++frameDialogs;
            onFrames(frames);
        } else if (auto* other = qobject_cast<QDialog*>(modal); other && onOtherDialog) {
            onOtherDialog(other);
        }
    }

    QTimer m_timer;
    bool m_pending = false;
};
