#include "gui/off_thread_run.h"

#include <QEventLoop>

#include <memory>

namespace quintaro {

void runOffTheGuiThread(const std::function<void()>& work)
{
    std::exception_ptr failure;
    const std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    // Queued to this thread: a thread that ends before the loop starts still ends it.
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    thread->start();
    loop.exec();
    thread->wait();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace quintaro
