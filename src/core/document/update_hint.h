#pragma once

// What changed in the document; sent with every notification to the views.
enum UpdateHint {
    hintNone = 0,
    hintRecordAdded = 1,
    hintRecordRemoved = 2,
    hintSelectionChanged = 3,
    hintApproxCalculated = 4,
    hintApproxDeleted = 5,
    hintApproxChanged = 6,
    hintClusterInserted = 7,
    hintClusterRemoved = 8,
    hintReferenceChanged = 9,
    hintClusterSelectionChanged = 10,
    hintClusterRecalculated = 11,
    hintMeanCalculated = 12,
    hintMeanRemoved = 13,
    hintSpecimenRenamed = 14,
};
