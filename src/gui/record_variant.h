#pragma once

#include "cluster/specimen_record.h"

#include <QMetaType>
#include <QVariant>

// Records travel in item data as this one pointer type, never as void* or integers.
Q_DECLARE_METATYPE(CSpecimenRecord*)

inline QVariant RecordVariant(CSpecimenRecord* record) {
    return QVariant::fromValue(record);
}

inline CSpecimenRecord* RecordOfVariant(const QVariant& value) {
    return value.value<CSpecimenRecord*>();
}
