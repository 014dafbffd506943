#pragma once

#include "document/OAControl.h"
#include "persistence/ObjectRecords.h"

#include <QByteArray>

#include <vector>

namespace korvel {

/// An object whose kind the program does not model: its record and pool items are carried
/// through unchanged so that opening and saving a file never loses it.
class TStoredRecordObject : public TOAControl {
public:
    TStoredRecordObject(ObjectKind kind, RecordLayout layout, QByteArray record, std::vector<QByteArray> poolItems);

    std::unique_ptr<TOAControl> clone() const override;
    void Rotate90() override {}

    RecordLayout layout() const { return layout_; }
    const QByteArray& record() const { return record_; }
    const std::vector<QByteArray>& poolItems() const { return poolItems_; }

    /// Offsets of the (length, offset) pairs of pool references in a version-100 record of a kind,
    /// in pool order.
    struct PoolRef {
        int lengthAt;
        int offsetAt;
    };
    static std::vector<PoolRef> poolRefs(int kind, RecordLayout layout);

private:
    RecordLayout layout_;
    QByteArray record_;
    std::vector<QByteArray> poolItems_;
};

} // namespace korvel
