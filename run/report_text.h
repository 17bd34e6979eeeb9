#pragma once

#include "run/run_report.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace quintaro {

// How many findings of each kind the report lists one by one; the rest are counted.
constexpr int kFindingsShown = 20;

// The last run's report as a person reads it, the same in the window and on the command line: the
// tables and their rows, then each kind of finding with its first entries and how many more.
QString reportText(const RunReport& report);

// The report's findings by kind, every one of them, in the order and with the titles of reportText:
// what the report window lists.
struct ReportGroup {
    QString title; // "Sesiones cuyo profesor no está en PROFT"
    qint64 count = 0; // what the title counts
    QStringList lines; // "sesión 131: profesor 'XYZ'"
};
std::vector<ReportGroup> reportGroups(const RunReport& report);

// How many findings the person should look at: the sum of the groups' counts.
qint64 reviewCount(const RunReport& report);

// "34 avisos para revisar", "Ningún aviso que revisar".
QString reviewLine(const RunReport& report);

// The findings as CSV for a spreadsheet, one per line: categoría;sesión;valor;detalle.
QByteArray reportCsv(const RunReport& report);

} // namespace quintaro
