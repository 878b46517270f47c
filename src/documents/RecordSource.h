#pragma once
// The rows a template scans: a forward and backward navigable row set with a current row and
// fields looked up by name without regard to case. The registers' datasets are adapted to it;
// MemoryRecordSource holds rows in memory (the payment grid, tests).
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace velcaris::documents {

class RecordSource {
public:
    virtual ~RecordSource() = default;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    virtual void last() = 0;
    virtual bool eof() const = 0;  // past the last row (or no rows)
    virtual bool bof() const = 0;  // before the first row (or no rows)
    virtual int recordCount() const = 0;
    virtual bool hasField(const QString& name) const = 0;
    // The field of the current row; a null value at eof/bof or for an unknown field.
    virtual QVariant value(const QString& name) const = 0;
    // Bookmark: the 0-based position of the current row; moveTo restores it.
    virtual int position() const = 0;
    virtual void moveTo(int row) = 0;
};

class MemoryRecordSource : public RecordSource {
public:
    MemoryRecordSource() = default;
    MemoryRecordSource(const QStringList& columns, const QVector<QVariantList>& rows);
    explicit MemoryRecordSource(const QVector<QVariantMap>& rows);

    void setColumns(const QStringList& columns);
    void appendRow(const QVariantList& row);
    void clear();
    QVariant valueAt(int row, const QString& name) const;

    void first() override;
    void next() override;
    void prior() override;
    void last() override;
    bool eof() const override { return eof_; }
    bool bof() const override { return bof_; }
    int recordCount() const override { return int(rows_.size()); }
    bool hasField(const QString& name) const override;
    QVariant value(const QString& name) const override;
    int position() const override { return pos_; }
    void moveTo(int row) override;

private:
    QStringList columns_;
    QHash<QString, int> index_; // case-folded name -> column
    QVector<QVariantList> rows_;
    int pos_ = 0;
    bool eof_ = true;
    bool bof_ = true;
};

} // namespace velcaris::documents
