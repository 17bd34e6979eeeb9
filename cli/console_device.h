#pragma once

#include <QIODevice>
#include <QStringDecoder>

#include <cstdio>

namespace quintaro::cli {

// Standard output or standard error as a device for QTextStream, which writes UTF-8 into it. On a
// Windows console the text goes as UTF-16 (WriteConsoleW), so that it shows right whatever the
// console's code page (850, 437, 1252…); to a pipe, a file or a Unix terminal it goes as the UTF-8
// bytes themselves.
class ConsoleDevice : public QIODevice {
public:
    explicit ConsoleDevice(std::FILE* stream);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    std::FILE* m_stream;
    void* m_console = nullptr; // the Windows console's handle, when the stream is one
    QStringDecoder m_decoder{QStringDecoder::Utf8}; // keeps a character split between two writes
};

} // namespace quintaro::cli
