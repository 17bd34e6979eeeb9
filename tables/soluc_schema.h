#pragma once

#include "platform/table_schema.h"

namespace quintaro::tables {

// The solution table as Velmora writes it. The import reads its fields by name, whatever their
// widths; the Velmora stand-in writes it with this layout.
struct Soluc : dbf::TableSchema {
    Soluc() : TableSchema("SOLUC") { }
    const dbf::Column ASIG = add("ASIG", dbf::FieldKind::String, 10);
    const dbf::Column PROF = add("PROF", dbf::FieldKind::String, 10);
    const dbf::Column CODGRUPO = add("CODGRUPO", dbf::FieldKind::String, 10);
    const dbf::Column TURNO = add("TURNO", dbf::FieldKind::String, 1);
    const dbf::Column NIVEL = add("NIVEL", dbf::FieldKind::String, 5);
    const dbf::Column CURSO = add("CURSO", dbf::FieldKind::String, 3);
    const dbf::Column GRUPO = add("GRUPO", dbf::FieldKind::String, 2);
    const dbf::Column AULA = add("AULA", dbf::FieldKind::String, 10);
    const dbf::Column TAREA = add("TAREA", dbf::FieldKind::String, 10);
    const dbf::Column DIA = add("DIA", dbf::FieldKind::Float);
    const dbf::Column HORA = add("HORA", dbf::FieldKind::Float);
    const dbf::Column SESIONES = add("SESIONES", dbf::FieldKind::Float);
    const dbf::Column MARCO = add("MARCO", dbf::FieldKind::String, 1);
};

} // namespace quintaro::tables
