#pragma once

#include "platform/code_page.h"
#include "platform/dbf_header.h"
#include "platform/dbf_index.h"

#include <QFile>
#include <QIODevice>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace quintaro {

// One dBase table, our own module: opening and locking, the cursor, reading and writing rows,
// lookups, and storing. The bytes themselves are read and made by dbf_header.h (the header),
// dbf_values.h (each field's value) and dbf_index.h (lookups). Writes level III/IV tables in
// Windows-1252; reads levels III to 7 and FoxPro. The whole record area is held in memory; posted rows and edits reach the file
// in batches and at close(), so a table that is closed, or whose object is destroyed while a run
// unwinds, holds every posted row.
class DbfTable {
public:
    enum class Access { Shared, Exclusive };

    using Field = dbf::Field;

    // Creates an empty table with exactly these fields, replacing a file of that name. The table
    // is written under a temporary name and renamed into place, so no reader sees half a header.
    static void create(const QString& path, const std::vector<dbf::FieldSpec>& fields);

    // Opens an existing table. Exclusive use fails while another holder has the table open at all;
    // shared use fails while another holder has it for exclusive use. `missingFieldHint`, when
    // given, follows the message of a field the table lacks ("¿la ha escrito Velmora?").
    DbfTable(const QString& path, Access access, const QString& missingFieldHint = {});
    // Reads a table from `device` (open for reading, its bytes a whole table), for reading only:
    // no file, no lock. `name` stands for the file in messages ("SOLUC.DBF").
    DbfTable(QIODevice& device, const QString& name, const QString& missingFieldHint = {});
    ~DbfTable();
    DbfTable(const DbfTable&) = delete;
    DbfTable& operator=(const DbfTable&) = delete;

    // Stores a pending edit and every posted row, then releases the file. Raises a RunError, once
    // the file is released, when a row was appended and never posted.
    void close();

    const QString& path() const { return m_path; }
    QString tableName() const;
    const std::vector<Field>& fields() const { return m_fields; }
    // Raises "La tabla T no tiene el campo F" (and the hint) when there is no such field.
    int fieldIndex(const QString& name) const;
    qint64 liveRowCount() const;
    qint64 storedRowCount() const { return m_count; } // deleted rows included: reads nothing

    // Cursor over the live rows in stored order (deleted rows are skipped).
    void first();
    void next(); // stores a pending edit first
    bool eof() const { return m_current >= m_count; }

    // Reading the current row.
    QString text(int field) const; // strings without trailing blanks; numbers in shortest form
    std::optional<double> number(int field) const; // empty numeric value: nothing
    qint64 whole(int field) const; // nearest integer; empty gives 0

    // Writing: append() or edit(), set fields, then post(). next() and close() post an edit too;
    // a new row must be posted before the next append() or close(), which refuse it otherwise.
    void append();
    void edit();
    void setText(int field, const QString& value);
    void setInteger(int field, qint64 value);
    void setBoolean(int field, bool value);
    void setFloat(int field, double value);
    void post();

    // Finds the first live row, in stored order, whose fields equal the values exactly (letter
    // case significant). `fieldNames` is one name or two joined by ";". Answers through a hash
    // index built on first use and kept right by appends and edits. The found row becomes current.
    bool locate(const QString& fieldNames, const QStringList& values);

    // The same search for a loop over many rows. lookupOn() resolves the field names and gives a
    // handle; locateStored() then finds the first live row whose field holds these bytes: text in
    // the table's own character set (see storedForm), trailing blanks not significant. Every set
    // here maps each byte to its own character, so equal bytes mean equal text.
    int lookupOn(const QString& fieldNames);
    bool locate(int lookup, const QStringList& values);
    bool locateStored(int lookup, QByteArrayView stored);
    // UTF-8 text as this table stores it; false when some character has no form in its set (such
    // a text is in no row).
    bool storedForm(QByteArrayView utf8, QByteArray& out) const { return m_codePage.encodeUtf8(utf8, out); }
    // A text as the table gives it back once stored: characters it has no form for as '?' (not cut).
    QString asStored(const QString& text) const { return m_codePage.decode(m_codePage.encode(text).bytes); }

    // A character field of the current row as stored, without its padding; and storing such bytes
    // (taken from a table in the same character set) as they are, cut to the field's width.
    QByteArrayView stored(int field) const;
    void setStored(int field, QByteArrayView bytes);

    // A text that could not be stored as given: characters without a form in the table's character
    // set (stored as '?'), or more characters than the field holds (cut).
    struct TextLoss {
        QString table, field, value;
        int width = 0;
        QString unmapped; // those characters, each once
        bool cut = false;
    };
    // Where such losses are told; without a sink they are logged.
    void setTextLossSink(std::function<void(const TextLoss&)> sink) { m_textLoss = std::move(sink); }

private:
    enum class State { Browse, Edit, Insert };

    void readStructure(QIODevice& from, qint64 fileSize);
    QByteArrayView rawField(qint64 row, int field) const;
    QByteArrayView rawCurrent(int field) const;
    QString textOf(QByteArrayView raw, int field) const;
    std::optional<double> numberOf(QByteArrayView raw, int field) const;
    QByteArray keyOf(qint64 row, const std::vector<int>& fields) const;
    QByteArray keyPart(int field, const QString& value) const;
    dbf::DbfIndex& builtIndex(int lookup);
    bool locateKey(const dbf::DbfIndex& index, const QByteArray& key);
    void writeRaw(int field, QByteArrayView bytes, char pad, bool rightAlign);
    void requireWriting(int field) const;
    void requireRow() const;
    void postPending();
    void flush();

    void tellTextLoss(const TextLoss& loss) const;
    [[noreturn]] void fail(const QString& reason) const;
    [[noreturn]] void failWriting(const QString& reason) const;
    qint64 nextLive(qint64 from) const;

    QString m_path;
    QString m_missingFieldHint;
    QFile m_file;
    bool m_writable = false;
    CodePage m_codePage = CodePage::windows1252();
    unsigned char m_version = dbf::kVersionDbase3;
    bool m_level7 = false;
    int m_headerLength = 0;
    int m_recordLength = 0;
    std::vector<Field> m_fields;
    QHash<QString, int> m_fieldByName; // upper-case name -> index

    QByteArray m_records; // m_count records of m_recordLength bytes
    qint64 m_count = 0;
    qint64 m_flushedCount = 0; // records already on disk
    std::vector<qint64> m_editedRows; // rows below m_flushedCount changed since the last flush
    bool m_headerDirty = false;
    bool m_writeFailed = false;

    qint64 m_current = 0;
    State m_state = State::Browse;
    QByteArray m_buffer; // the row being appended or edited

    std::vector<dbf::DbfIndex> m_indexes;
    std::function<void(const TextLoss&)> m_textLoss;
};

} // namespace quintaro
