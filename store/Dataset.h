#pragma once

#include "Catalog.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace store
{

class Connection;

// One live query or table of the program, walked row by row and edited in
// place. All rows are fetched when the data set opens and the statement's
// transaction ends right there, so the data set never holds the engine back
// and shows what was committed when it opened; reopen it to see later
// changes. Photos (blob columns) are not fetched with the rows: value() and
// blob() read them from the database when a caller asks for one.
//
// A data set can be changed (edit, post, delete) when it reads one table
// with a single-column primary key: openTable(), or a query of the form
// "select * from <table> [where ...] [order by ...]". Each change is
// committed before the call returns.
//
// Field names are compared without regard to case. Rows are counted from 0,
// as Qt's item models count them.
class Dataset : public QObject
{
    Q_OBJECT

public:
    explicit Dataset(Connection &connection, QObject *parent = nullptr);

    void setSql(const QString &sql);
    QString sql() const;
    // Named parameter of the SQL text (":IDdev" is set by "IDDEV" or "IDdev").
    void setParam(const QString &name, int value);

    // Opens the whole table in the order of keyField.
    void openTable(const QString &tableName, const QString &keyField);
    void open();
    void close();
    bool isActive() const;

    // Navigation. Each move to another row emits afterScroll(); a pending
    // edit is posted first.
    void first();
    void next();
    bool eof() const;
    bool isEmpty() const;
    int recordCount() const;
    int recNo() const; // -1 when there is no current row
    void setRecNo(int row);
    bool locate(const QString &field, int value);

    QStringList fieldNames() const;
    bool hasField(const QString &field) const;
    bool isBlobField(const QString &field) const;
    bool isNull(const QString &field) const;
    // The current row's value; a null column gives a null QVariant, a photo
    // column its bytes (read on demand). Without a current row (an empty data
    // set) every field reads as null, so asInteger() gives 0.
    QVariant value(const QString &field) const;
    int asInteger(const QString &field) const;
    QString asString(const QString &field) const;
    QDateTime asDateTime(const QString &field) const;
    QByteArray blob(const QString &field) const;
    // The value of any row, for grids that draw rows other than the current
    // one. Blob columns give only whether a value is stored: true or null.
    QVariant valueAt(int row, const QString &field) const;

    // Editing the current row.
    void edit();
    bool isEditing() const;
    // Refuses text longer than its column before anything is written.
    void setValue(const QString &field, const QVariant &value);
    void loadBlobFromFile(const QString &field, const QString &filePath);
    void post();
    void cancel();
    // Deletes the current row by its key; the row after it becomes current.
    void deleteRecord();

signals:
    void afterScroll();

private:
    QString label() const;
    void requireActive() const;
    void requireRow() const;
    void requireUpdatable() const;
    int fieldIndex(const QString &field) const;
    QString selectText() const;
    QVariantList parameterValues(const QStringList &names) const;
    void resolveTable();
    void trimFixedLengthText();
    void moveTo(int row);
    void postIfEditing();
    QVariant keyValue() const;
    QByteArray readBlob(int column) const;

    Connection &connection_;
    QString sql_;
    QHash<QString, int> params_;

    std::optional<TableInfo> table_; // set when the rows come from one table
    QString keyField_;
    QString tableSql_; // the SELECT built for the table, without blobs

    bool active_ = false;
    QStringList fieldNames_;
    QHash<QString, int> fieldIndexes_;
    QList<bool> lazyBlob_; // per column: only "is stored" is kept in rows_
    QList<QVariantList> rows_;
    int current_ = -1;
    bool eof_ = true;

    bool editing_ = false;
    QHash<int, QVariant> changes_;

    // The last photo read, so a window and a cell that draw the same row do
    // not read it twice.
    mutable struct {
        QVariant key;
        int column = -1;
        QByteArray bytes;
    } blobCache_;
};

} // namespace store
