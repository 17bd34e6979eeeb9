#include "cli/console_device.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace quintaro::cli {

ConsoleDevice::ConsoleDevice(std::FILE* stream) : m_stream(stream)
{
#ifdef _WIN32
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode))
        m_console = handle;
#endif
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 ConsoleDevice::writeData(const char* data, qint64 size)
{
#ifdef _WIN32
    if (m_console) {
        std::fflush(m_stream); // whatever went through the C stream comes first
        const QString text = m_decoder.decode(QByteArrayView(data, size));
        const auto* next = reinterpret_cast<const wchar_t*>(text.utf16());
        qsizetype left = text.size();
        while (left > 0) {
            DWORD written = 0;
            if (!WriteConsoleW(m_console, next, DWORD(qMin<qsizetype>(left, 16384)), &written, nullptr) || written == 0)
                return -1;
            next += written;
            left -= written;
        }
        return size;
    }
#endif
    const size_t written = std::fwrite(data, 1, size_t(size), m_stream);
    std::fflush(m_stream);
    return written == size_t(size) ? size : -1;
}

} // namespace quintaro::cli
