#include "document/carinova_doc.h"

#include "platform/user_interaction.h"

int CCarinovaDoc::ApproximateSpecimen(CSpecimenRecord* record) {
    if (!record || !record->HasSpecimen())
        return 0;
    if (record->HasApproximation()) {
        const MsgAnswer answer = ui_.Message("The specimen is already approximated.\n"
                                             "Should the current approximation be deleted?",
                                             MsgButtons::YesNo, MsgIcon::Information);
        if (answer != MsgAnswer::Yes)
            return 0;
        record->TakeApproximation().reset();
        SetModifiedFlag();
        Notify(hintApproxDeleted, record);
    }
    auto approximation = std::make_unique<CApproxSpecimen>();
    if (approximation->Approximate(*record->GetSpecimen(), true, ui_)) {
        record->SetApproximation(std::move(approximation));
        SetModifiedFlag();
        Notify(hintApproxCalculated, record);
    }
    return 1;
}

int CCarinovaDoc::DeleteApproximation(CSpecimenRecord* record) {
    if (!record)
        return 1;
    record->TakeApproximation().reset();
    SetModifiedFlag();
    Notify(hintApproxDeleted, record);
    return 1;
}

int CCarinovaDoc::EditApproximationProperties(CSpecimenRecord* record) {
    if (!record || !record->HasApproximation() || !record->HasSpecimen())
        return 1;
    if (record->GetApproximation()->Properties(*record->GetSpecimen(), ui_)) {
        SetModifiedFlag();
        Notify(hintApproxChanged, record);
    }
    return 1;
}
