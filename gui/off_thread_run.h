#pragma once

#include "run/run_ui.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <exception>
#include <functional>
#include <optional>

namespace quintaro {

// Runs `work` on a thread of its own while this (the GUI) thread goes on handling events, as it
// does under a modal dialog, and returns once the work has ended. What the work throws is thrown
// here.
void runOffTheGuiThread(const std::function<void()>& work);

// A RunUi for a run on another thread: each question and message goes to `ui` on the thread this
// object was made on (the GUI thread), and the run waits for the answer. What `ui` throws there is
// thrown in the run.
class GuiThreadRunUi : public RunUi {
public:
    explicit GuiThreadRunUi(RunUi& ui) : m_ui(ui) { }

    std::optional<QString> chooseDocument() override
    {
        return onGuiThread([this] { return m_ui.chooseDocument(); });
    }
    void inform(const QString& message) override
    {
        onGuiThread([&] { m_ui.inform(message); });
    }
    void showError(const QString& message) override
    {
        onGuiThread([&] { m_ui.showError(message); });
    }
    void finished(const QString& message, const RunReport& report) override
    {
        onGuiThread([&] { m_ui.finished(message, report); });
    }
    void instruct(const QString& message) override
    {
        onGuiThread([&] { m_ui.instruct(message); });
    }
    void setBusy(bool busy) override
    {
        onGuiThread([&] { m_ui.setBusy(busy); });
    }
    std::optional<FrameSelection> chooseFrames(const QString& documentPath, const ExportDocument& runDocument) override
    {
        return onGuiThread([&] { return m_ui.chooseFrames(documentPath, runDocument); });
    }

    // Calls `f` on the GUI thread (at once when already there) and hands back its result.
    template <typename F> auto onGuiThread(F f) -> decltype(f())
    {
        using Result = decltype(f());
        if (QThread::currentThread() == m_context.thread())
            return f();
        std::exception_ptr failure;
        if constexpr (std::is_void_v<Result>) {
            QMetaObject::invokeMethod(
                &m_context,
                [&] {
                    try {
                        f();
                    } catch (...) {
                        failure = std::current_exception();
                    }
                },
                Qt::BlockingQueuedConnection);
            if (failure)
                std::rethrow_exception(failure);
        } else {
            std::optional<Result> result;
            QMetaObject::invokeMethod(
                &m_context,
                [&] {
                    try {
                        result.emplace(f());
                    } catch (...) {
                        failure = std::current_exception();
                    }
                },
                Qt::BlockingQueuedConnection);
            if (failure)
                std::rethrow_exception(failure);
            return std::move(*result);
        }
    }

private:
    RunUi& m_ui;
    QObject m_context; // lives on the GUI thread: the calls are queued to it
};

} // namespace quintaro
