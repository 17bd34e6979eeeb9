#include "cli/output_guard.h"

#include "platform/error.h"
#include "platform/file_identity.h"
#include "platform/work_dir.h"
#include "import/import_run.h"
#include "run/session.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace quintaro::cli {

namespace {
struct Named {
    QString path;
    QString what;
};

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

const QString kResultPrefix = QStringLiteral("ResultadoZentar");

// What the command reads, or writes besides its outputs.
std::vector<Named> inputsOf(const QCommandLineParser& p, const QString& command)
{
    std::vector<Named> inputs;
    const QStringList positional = p.positionalArguments();
    if (positional.size() >= 2 && command != u"tabla") {
        const QFileInfo document(positional.at(1));
        inputs.push_back({document.absoluteFilePath(), QStringLiteral("el documento que se lee")});
        if (command == u"horario" && document.fileName().startsWith(kResultPrefix))
            inputs.push_back({document.dir().filePath(document.fileName().mid(kResultPrefix.size())),
                              QStringLiteral("el documento de Escolaria del que salió")});
        else
            inputs.push_back({resultDocumentPath(document.absoluteFilePath()), QStringLiteral("el documento resultado")});
    }
    if (p.optionNames().contains(QStringLiteral("fet")) && !p.value(QStringLiteral("fet")).isEmpty())
        inputs.push_back({p.value(QStringLiteral("fet")), QStringLiteral("la solución de FET que se lee")});
    // The tables of the working directory (--dir, or the default one), when it can be listed.
    const WorkDir dir(p.optionNames().contains(QStringLiteral("dir")) ? p.value(QStringLiteral("dir")) : WorkDir::defaultPath());
    try {
        for (const QString& name : exportFileSet() + QStringList{QStringLiteral("SOLUC.DBF")})
            for (const QString& path : dir.filesNamed(name))
                inputs.push_back({path, QStringLiteral("una tabla de Velmora")});
    } catch (const RunError&) {
        // An unreadable working directory is the command's own business to report.
    }
    return inputs;
}
} // namespace

void refuseOutputsOverInputs(const QCommandLineParser& p, const QString& command)
{
    std::vector<Named> outputs;
    for (const char* option : {"informe", "salida", "html", "pdf"})
        if (p.optionNames().contains(QString::fromLatin1(option)))
            outputs.push_back({p.value(QString::fromLatin1(option)), QStringLiteral("--") + QString::fromLatin1(option)});
    if (outputs.empty())
        return;
    std::vector<Named> taken = inputsOf(p, command);
    for (const Named& output : outputs) {
        for (const Named& input : taken)
            if (sameFile(output.path, input.path))
                throw UsageError(QStringLiteral("%1 %2 es %3: Quintaro no escribe encima. Elija otro archivo para %1")
                                     .arg(output.what, native(output.path), input.what));
        taken.push_back({output.path, QStringLiteral("también la salida de ") + output.what});
    }
}

} // namespace quintaro::cli
