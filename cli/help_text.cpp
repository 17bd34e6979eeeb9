#include "cli/command_table.h"

#include "quintaro_version.h"
#include "run/manual_location.h"

namespace quintaro::cli {

QString usageOf(const Command& c)
{
    QString usage = QStringLiteral("quintaro-cli %1").arg(QString::fromUtf8(c.name));
    if (*c.arguments)
        usage += u' ' + QString::fromUtf8(c.arguments);
    for (const Option& o : c.options)
        usage += QStringLiteral(" [--%1%2]")
                     .arg(QString::fromUtf8(o.name), *o.valueName ? u' ' + QString::fromUtf8(o.valueName) : QString());
    return usage;
}

void printHelp(QTextStream& out, const Command* only)
{
    if (!only)
        out << "Quintaro: datos de horario entre Escolaria (XML) y Velmora (tablas dBase)." << Qt::endl
            << Qt::endl
            << "Uso:" << Qt::endl;
    for (const Command& c : commands()) {
        if (only && only != &c)
            continue;
        out << "  " << usageOf(c) << Qt::endl << "      " << QString::fromUtf8(c.summary) << Qt::endl;
        if (only)
            for (const Option& o : c.options)
                out << "      --" << QString::fromUtf8(o.name)
                    << (*o.valueName ? u' ' + QString::fromUtf8(o.valueName) : QString()) << "  "
                    << QString::fromUtf8(o.description) << Qt::endl;
    }
    if (!only)
        out << Qt::endl
            << "Códigos de salida: 0 bien, 1 el proceso falló, 2 uso incorrecto, 3 no existe el documento." << Qt::endl
            << "Ayuda de una orden: quintaro-cli ORDEN --help" << Qt::endl
            << "El manual completo: quintaro-cli manual (y F1 en la ventana; también en " << manualLocation() << ")."
            << Qt::endl;
}

QString optionMistake(const Command& command, const QStringList& arguments)
{
    QStringList seen;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--")
            break;
        if (!argument.startsWith(u'-') || argument.size() == 1)
            continue;
        QString name = argument.mid(argument.startsWith(QStringLiteral("--")) ? 2 : 1);
        const bool inlineValue = name.contains(u'=');
        name = name.section(u'=', 0, 0);
        if (name == u"h" || name == u"help")
            continue;
        const Option* option = nullptr;
        for (const Option& o : command.options)
            if (name == QString::fromUtf8(o.name))
                option = &o;
        if (!option) {
            QStringList known;
            for (const Option& o : command.options)
                known << QStringLiteral("--") + QString::fromUtf8(o.name);
            return QStringLiteral("La orden %1 no tiene la opción %2; tiene: %3.")
                .arg(QString::fromUtf8(command.name), argument.section(u'=', 0, 0), known.join(QStringLiteral(", ")));
        }
        // Given twice, one value would silently win ("--marcos M --marcos T" took T alone).
        if (seen.contains(name))
            return QStringLiteral("La opción --%1 está repetida; dé cada opción una sola vez (--marcos admite dos "
                                  "marcos separados por una coma: --marcos M,T).")
                .arg(name);
        seen << name;
        if (*option->valueName && !inlineValue) {
            if (i + 1 >= arguments.size() || arguments.at(i + 1).startsWith(QStringLiteral("--")))
                return QStringLiteral("Falta el valor de --%1 (%2).")
                    .arg(QString::fromUtf8(option->name), QString::fromUtf8(option->valueName));
            ++i;
        }
    }
    return {};
}
namespace {
// roff with its special characters escaped.
QString roff(QString s)
{
    s.replace(u'\\', QStringLiteral("\\e")).replace(u'-', QStringLiteral("\\-"));
    if (s.startsWith(u'.') || s.startsWith(u'\''))
        s.prepend(QStringLiteral("\\&"));
    return s;
}

} // namespace

// Made from the same commands and options as --help, so the two cannot say different things.
void printManualPage(QTextStream& out)
{
    out << ".TH QUINTARO\\-CLI 1 \"\" \"Quintaro " << QUINTARO_VERSION << "\" \"Órdenes de usuario\"\n"
        << ".SH NOMBRE\nquintaro\\-cli \\- datos de horario entre Escolaria (XML) y Velmora (tablas dBase)\n"
        << ".SH SINOPSIS\n";
    for (const Command& c : commands())
        out << ".B " << roff(usageOf(c)) << "\n.br\n";
    out << ".SH DESCRIPCIÓN\n"
        << "Quintaro lleva los datos de horario de un centro entre Escolaria, que los exporta como un documento "
           "XML, y Velmora, que guarda sus tablas dBase en su carpeta de trabajo (C:\\eVTEMP; en Linux, dentro del "
           "prefijo de Wine). La ventana es \\fBquintaro\\fR(1).\n"
        << ".SH ÓRDENES\n";
    for (const Command& c : commands()) {
        out << ".TP\n.B " << roff(QString::fromUtf8(c.name))
            << (*c.arguments ? " " + roff(QString::fromUtf8(c.arguments)) : QString()) << "\n"
            << roff(QString::fromUtf8(c.summary)) << "\n";
        for (const Option& o : c.options)
            out << ".RS\n.TP\n.BR \\-\\-" << roff(QString::fromUtf8(o.name))
                << (*o.valueName ? " \" \" " + roff(QString::fromUtf8(o.valueName)) : QString()) << "\n"
                << roff(QString::fromUtf8(o.description)) << "\n.RE\n";
    }
    out << ".SH ENTORNO\n.TP\n.B QUINTARO_VTEMP\nOtra carpeta de trabajo en lugar de la de Velmora.\n"
        << ".TP\n.B WINEPREFIX\nEl prefijo de Wine donde está Velmora (por omisión ~/.wine).\n"
        << ".SH ESTADO DE SALIDA\n0 bien, 1 el proceso falló, 2 uso incorrecto, 3 no existe el documento.\n"
        << ".SH EJEMPLOS\n.nf\n"
        << "quintaro\\-cli exportar escuela.xml \\-\\-marcos M,T\n"
        << "quintaro\\-cli velmora\n"
        << "quintaro\\-cli importar escuela.xml \\-\\-informe informe.csv\n"
        << "quintaro\\-cli tabla ASIGT \\-\\-csv\n"
        << "quintaro\\-cli restaurar\n.fi\n"
        << ".SH VÉASE TAMBIÉN\n\\fBquintaro\\fR(1); el manual completo: \\fBquintaro\\-cli manual\\fR.\n";
    out.flush();
}

} // namespace quintaro::cli
