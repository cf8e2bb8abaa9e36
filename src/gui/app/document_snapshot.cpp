#include "app/document_snapshot.h"

#include "document/carinova_doc.h"

CDocumentSnapshot::CDocumentSnapshot(CCarinovaDoc& doc)
    : doc_(doc), pathName_(doc.GetPathName()), title_(doc.GetTitle()), modified_(doc.IsModified()) {
    if (doc_.GetSpecimenList().empty())
        return;
    dir_ = std::make_unique<QTemporaryDir>();
    if (!dir_->isValid())
        return;
    const std::string file = dir_->filePath(QStringLiteral("snapshot.xml")).toStdString();
    // Saving clears the modified flag; it is the user's document that decides it, not the copy.
    if (doc_.OnSaveDocument(file))
        file_ = file;
    doc_.SetModifiedFlag(modified_);
}

CDocumentSnapshot::~CDocumentSnapshot() = default;

bool CDocumentSnapshot::Restore() {
    if (!IsTaken())
        return false;
    const bool restored = doc_.OnOpenDocument(file_);
    if (pathName_.empty()) {
        doc_.SetPathName("");
        doc_.SetTitle(title_);
    } else {
        doc_.SetPathName(pathName_);
    }
    doc_.SetModifiedFlag(modified_);
    return restored;
}
