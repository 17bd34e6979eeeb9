#pragma once

#include <QString>
#include <stdexcept>

namespace quintaro {

// An error whose message is meant for the person using the program.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) { }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// An error that ends a run where it stands: a failing document or table call, a text that is no
// number, a missing node. Its message is what the user sees in the error box.
class RunError : public Error {
public:
    using Error::Error;
};

// The person stopped the run (closed a dialog instead of answering it); nothing changed. Its
// message is told as information, not as an error.
class RunCancelled : public RunError {
public:
    using RunError::RunError;
};

// A command line that cannot be carried out as given (unknown frame, missing choice). It is not a
// run error: the command-line program reports it with its own exit code, and no table changes.
class UsageError : public Error {
public:
    using Error::Error;
};

} // namespace quintaro
