#pragma once

#include "platform/table_schema.h"

// The six tables of the export run, each declared once: its fields in order, each a column the
// steps write by name.
namespace quintaro::tables {

using dbf::Column;
using dbf::FieldKind;

struct Asignomt : dbf::TableSchema {
    Asignomt() : TableSchema("ASIGNOMT") { }
    const Column COD = add("COD", FieldKind::String, 10);
    const Column CODLARGO = add("CODLARGO", FieldKind::String, 10);
    const Column NOMBRE = add("NOMBRE", FieldKind::String, 80);
    const Column MATERIA = add("MATERIA", FieldKind::String, 8);
    const Column CODTAREA = add("CODTAREA", FieldKind::String, 10);
    const Column ESTAREA = add("ESTAREA", FieldKind::Boolean);
};

struct Proft : dbf::TableSchema {
    Proft() : TableSchema("PROFT") { }
    const Column ABREV = add("ABREV", FieldKind::String, 10);
    const Column NOMBRE = add("NOMBRE", FieldKind::String, 80);
    const Column DEPART = add("DEPART", FieldKind::String, 40);
    const Column EMAIL = add("EMAIL", FieldKind::String, 100);
    const Column DNI = add("DNI", FieldKind::Integer);
    const Column X_EMPLEADO = add("X_EMPLEADO", FieldKind::String, 10);
};

struct Aulat : dbf::TableSchema {
    Aulat() : TableSchema("AULAT") { }
    const Column ABREV = add("ABREV", FieldKind::String, 10);
    const Column NOMBRE = add("NOMBRE", FieldKind::String, 80);
    const Column EDIFICIO = add("EDIFICIO", FieldKind::String, 1);
    const Column MAXALUM = add("MAXALUM", FieldKind::Integer);
    const Column ES_GENERICA = add("ES_GENERICA", FieldKind::String, 1);
};

struct Diashorast : dbf::TableSchema {
    Diashorast() : TableSchema("DIASHORAST") { }
    const Column DIHO = add("DIHO", FieldKind::String, 10);
    const Column CODDIHO = add("CODDIHO", FieldKind::String, 10);
    const Column DIA = add("DIA", FieldKind::String, 20);
    const Column TEXTODIA = add("TEXTODIA", FieldKind::String, 20);
    const Column HORA = add("HORA", FieldKind::String, 8);
    const Column TEXTOHOR = add("TEXTOHOR", FieldKind::String, 20);
    const Column HORADESDE = add("HORADESDE", FieldKind::String, 8);
    const Column HORAHASTA = add("HORAHASTA", FieldKind::String, 8);
    const Column MINUTOS = add("MINUTOS", FieldKind::String, 8);
    const Column MARCO = add("MARCO", FieldKind::String, 1);
    const Column MARCOXML = add("MARCOXML", FieldKind::String, 10);
    const Column ES_MARCO_ID = add("ES_MARCO_ID", FieldKind::String, 2);
    const Column ES_SUBMARCO = add("ES_SUBMARCO", FieldKind::String, 2);
    const Column ES_DIA = add("ES_DIA", FieldKind::String, 1);
    const Column ES_HORADESDE = add("ES_HORADESDE", FieldKind::String, 8);
    const Column ES_HORAHASTA = add("ES_HORAHASTA", FieldKind::String, 8);
    const Column ES_TIPO = add("ES_TIPO", FieldKind::String, 20);
};

struct Grupost : dbf::TableSchema {
    Grupost() : TableSchema("GRUPOST") { }
    const Column ABREV = add("ABREV", FieldKind::String, 10);
    const Column TURNO = add("TURNO", FieldKind::String, 1);
    const Column NIVEL = add("NIVEL", FieldKind::String, 5);
    const Column CURSO = add("CURSO", FieldKind::String, 3);
    const Column GRUPO = add("GRUPO", FieldKind::String, 2);
    const Column DESCRIP = add("DESCRIP", FieldKind::String, 80);
    const Column MARCO = add("MARCO", FieldKind::String, 1);
};

struct Asigt : dbf::TableSchema {
    Asigt() : TableSchema("ASIGT") { }
    const Column CASIG = add("CASIG", FieldKind::String, 10);
    const Column CPROF = add("CPROF", FieldKind::String, 10);
    const Column CGRUP = add("CGRUP", FieldKind::String, 10);
    const Column CAULA = add("CAULA", FieldKind::String, 10);
    const Column TURNO = add("TURNO", FieldKind::String, 1);
    const Column NIVEL = add("NIVEL", FieldKind::String, 5);
    const Column CURSO = add("CURSO", FieldKind::String, 3);
    const Column GRUPO = add("GRUPO", FieldKind::String, 2);
    const Column HORAS = add("HORAS", FieldKind::Float);
    const Column SESIONES = add("SESIONES", FieldKind::String, 20);
    const Column NCONEX = add("NCONEX", FieldKind::String, 4);
    const Column CTAREA = add("CTAREA", FieldKind::String, 10);
    const Column ES_SESION = add("ES_SESION", FieldKind::Integer);
};

// The names of the six, in the order the run writes them.
inline const QStringList kExportTables
    = {QStringLiteral("ASIGNOMT"),   QStringLiteral("PROFT"),   QStringLiteral("AULAT"),
       QStringLiteral("DIASHORAST"), QStringLiteral("GRUPOST"), QStringLiteral("ASIGT")};

} // namespace quintaro::tables
