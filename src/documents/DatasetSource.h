#pragma once
// A register's dataset as the rows a template scans. Date fields come out as dates and yes/no
// fields as booleans, so that the engine formats them as such.
#include "documents/RecordSource.h"
#include "store/Dataset.h"

namespace velcaris::documents {

class DatasetSource : public RecordSource {
public:
    explicit DatasetSource(store::Dataset& dataset) : ds_(&dataset) {}

    void first() override { ds_->first(); }
    void next() override { ds_->next(); }
    void prior() override { ds_->prior(); }
    void last() override { ds_->last(); }
    bool eof() const override { return ds_->eof(); }
    bool bof() const override { return ds_->bof() && ds_->isEmpty(); }
    int recordCount() const override { return ds_->rowCount(); }
    bool hasField(const QString& name) const override { return ds_->fieldIndex(name) >= 0; }
    QVariant value(const QString& name) const override;
    int position() const override { return ds_->recNo(); }
    void moveTo(int row) override { ds_->moveTo(row); }

private:
    store::Dataset* ds_;
};

} // namespace velcaris::documents
