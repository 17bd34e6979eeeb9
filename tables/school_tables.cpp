#include "tables/school_tables.h"

#include "platform/dbf_table.h"
#include "platform/error.h"
#include "platform/text.h"
#include "tables/table_schemas.h"

#include <QDir>

#include <algorithm>
#include <memory>

namespace quintaro::tables {

namespace {
std::unique_ptr<DbfTable> openExisting(const WorkDir& dir, const QString& table)
{
    if (!dir.tableExists(table))
        throw RunError(QStringLiteral("No existe la tabla %1 en %2: haga antes una exportación")
                           .arg(table, QDir::toNativeSeparators(dir.path())));
    return std::make_unique<DbfTable>(dir.tablePath(table), DbfTable::Access::Shared);
}

std::vector<NamedRow> namedRows(const WorkDir& dir, const dbf::TableSchema& schema, const dbf::Column& code,
                                const dbf::Column& name, const dbf::Column* generic = nullptr)
{
    auto t = openExisting(dir, schema.name());
    const int c = t->fieldIndex(schema.nameOf(code)), n = t->fieldIndex(schema.nameOf(name));
    const int g = generic ? t->fieldIndex(schema.nameOf(*generic)) : -1;
    std::vector<NamedRow> rows;
    for (t->first(); !t->eof(); t->next())
        rows.push_back({t->text(c), t->text(n), g >= 0 && t->text(g) == u"S"});
    return rows;
}
} // namespace

int minutesOf(const QString& time)
{
    if (time.size() < 5 || time.at(2) != u':' || !text::isInt(time.mid(0, 2)) || !text::isInt(time.mid(3, 2)))
        return -1;
    return 60 * time.mid(0, 2).toInt() + time.mid(3, 2).toInt();
}

SchoolTables readSchoolTables(const WorkDir& dir)
{
    static const Diashorast D;
    static const Grupost G;
    static const Proft P;
    static const Asignomt S;
    static const Aulat A;
    static const Asigt L;
    SchoolTables school;
    {
        auto t = openExisting(dir, D.name());
        const auto f = [&](const dbf::Column& c) { return t->fieldIndex(D.nameOf(c)); };
        const int dia = f(D.DIA), hora = f(D.HORA), texto = f(D.TEXTODIA), desde = f(D.HORADESDE),
                  hasta = f(D.HORAHASTA), marco = f(D.MARCO), xml = f(D.MARCOXML), tipo = f(D.ES_TIPO);
        for (t->first(); !t->eof(); t->next())
            school.periods.push_back({int(t->whole(dia)), int(t->whole(hora)), t->text(texto), t->text(desde),
                                      t->text(hasta), t->text(marco), t->text(xml), t->text(tipo)});
    }
    {
        auto t = openExisting(dir, G.name());
        const auto f = [&](const dbf::Column& c) { return t->fieldIndex(G.nameOf(c)); };
        const int abrev = f(G.ABREV), nivel = f(G.NIVEL), curso = f(G.CURSO), grupo = f(G.GRUPO),
                  descrip = f(G.DESCRIP), marco = f(G.MARCO);
        for (t->first(); !t->eof(); t->next()) {
            school.groups.push_back({t->text(abrev), t->text(nivel), t->text(curso), t->text(grupo), t->text(descrip),
                                     t->text(marco)});
            school.frameOfGroup.insert(school.groups.back().code, school.groups.back().frame);
        }
    }
    school.teachers = namedRows(dir, P, P.ABREV, P.NOMBRE);
    school.subjects = namedRows(dir, S, S.COD, S.NOMBRE);
    school.rooms = namedRows(dir, A, A.ABREV, A.NOMBRE, &A.ES_GENERICA);
    auto t = openExisting(dir, L.name());
    const auto f = [&](const dbf::Column& c) { return t->fieldIndex(L.nameOf(c)); };
    const int casig = f(L.CASIG), cprof = f(L.CPROF), cgrup = f(L.CGRUP), nivel = f(L.NIVEL), curso = f(L.CURSO),
              grupo = f(L.GRUPO), horas = f(L.HORAS), ctarea = f(L.CTAREA), sesion = f(L.ES_SESION);
    for (t->first(); !t->eof(); t->next())
        school.lessons.push_back({t->text(casig), t->text(cprof), t->text(cgrup), t->text(nivel), t->text(curso),
                                  t->text(grupo), t->text(ctarea), std::max<qint64>(0, t->whole(horas)),
                                  t->whole(sesion)});
    return school;
}

} // namespace quintaro::tables
