#pragma once

// What changed in the document; sent with every notification to the views, with the record
// concerned as the object unless said otherwise.
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
    // The whole contents were exchanged for those of another document (an opened file): every
    // record, the cluster, the reference, the mean and the settings may be new and both
    // selections are null. No object. The former records still exist while the views are told,
    // but a view only drops what it holds of them and rebuilds from the document.
    hintContentsReplaced = 15,
};
