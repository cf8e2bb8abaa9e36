#include "document/xml_document_writer.h"

#include "document/carinova_doc.h"
#include "document/progress_scope.h"
#include "document/xml_dom_error.h"
#include "document/xml_model_io.h"
#include "platform/atomic_file.h"

#include <pugixml.hpp>

#include <iostream>

namespace {

constexpr const char* kSource = "Carinova document writer";

void Check(bool done) {
    if (!done)
        throw CXmlDomError(CXmlDomError::kOutOfMemory, kSource,
                           "Out of memory while building the document.");
}

void SetAttribute(pugi::xml_node element, const char* name, const char* value) {
    pugi::xml_attribute attribute = element.append_attribute(name);
    Check(attribute && attribute.set_value(value));
}

void WriteSpecimenOrEmpty(pugi::xml_node parent, const CSpecimenRecord& record) {
    if (record.HasSpecimen()) {
        WriteSpecimen(parent, *record.GetSpecimen());
        return;
    }
    const CSpecimen empty;
    WriteSpecimen(parent, empty);
}

void WriteRecord(pugi::xml_node parent, const CSpecimenRecord& record, bool isReference) {
    pugi::xml_node e = AppendElement(parent, "SpecimenRecord");
    WriteSpecimenOrEmpty(e, record);
    if (record.HasApproximation())
        WriteApproximation(e, "ApproxSpecimen", *record.GetApproximation());
    if (record.HasClusterApproximation())
        WriteApproximation(e, "ApproxCluster", *record.GetClusterApproximation());
    if (record.HasClusterData())
        WriteClusterData(e, *record.GetClusterData());
    WriteBool(e, "IsClusterReference", isReference);
}

// The mean record always carries all three parts; missing ones are written empty.
void WriteMeanRecord(pugi::xml_node parent, const CSpecimenRecord& mean, bool isReference) {
    pugi::xml_node e = AppendElement(parent, "MeanClusterSpecimenRecord");
    WriteSpecimenOrEmpty(e, mean);
    const CApproxSpecimen emptyApprox;
    WriteApproximation(e, "ApproxCluster",
                       mean.HasClusterApproximation() ? *mean.GetClusterApproximation()
                                                      : emptyApprox);
    const CClusterData emptyData;
    WriteClusterData(e, mean.HasClusterData() ? *mean.GetClusterData() : emptyData);
    WriteBool(e, "IsClusterReference", isReference);
}

void BuildTree(pugi::xml_document& xml, const CCarinovaDoc& doc) {
    pugi::xml_node declaration = xml.append_child(pugi::node_declaration);
    Check(declaration);
    SetAttribute(declaration, "version", "1.0");
    SetAttribute(declaration, "encoding", "UTF-8");
    pugi::xml_node root = AppendElement(xml, "SpecimenRecordList");
    SetAttribute(root, "xmlns", kDocumentNamespace);
    SetAttribute(root, "Version", "1");
    pugi::xml_node comment = root.append_child(pugi::node_comment);
    Check(comment && comment.set_value("Carinova specimen record list"));

    const auto& records = doc.GetSpecimenList();
    {
        CProgressScope progress(doc.GetInteraction(), static_cast<int>(records.size()));
        for (const auto& record : records) {
            WriteRecord(root, *record, record.get() == doc.GetReferenceRecord());
            progress.Step();
        }
    }
    const CClusterParameter& parameter = doc.GetClusterParameter();
    pugi::xml_node values = WriteClusterParameter(root, parameter);
    if (const CSpecimenRecord* mean = parameter.GetMeanRecord())
        WriteMeanRecord(values, *mean, mean == doc.GetReferenceRecord());
}

// Passes the serialised text on to the temporary file; after the first failure the rest is
// dropped and the failure kept for the caller.
class CAtomicFileXmlWriter : public pugi::xml_writer {
public:
    explicit CAtomicFileXmlWriter(CAtomicFile& file) : file_(file) {}
    void write(const void* data, size_t size) override {
        if (!failed_ && !file_.Write({static_cast<const char*>(data), size}))
            failed_ = true;
    }
    bool Failed() const { return failed_; }

private:
    CAtomicFile& file_;
    bool failed_ = false;
};

bool SaveTree(const pugi::xml_document& xml, const std::string& path, std::string& failure) {
    CAtomicFile file;
    if (file.Open(path)) {
        CAtomicFileXmlWriter writer(file);
        xml.save(writer, "\t", pugi::format_indent, pugi::encoding_utf8);
        if (!writer.Failed() && file.Commit())
            return true;
    }
    failure = file.ErrorMessage();
    return false;
}

} // namespace

int WriteDocumentFile(const CCarinovaDoc& document, const std::string& path, std::string& failure) {
    failure.clear();
    return RunXmlJob(document.GetInteraction(), kSource, [&] {
        pugi::xml_document xml;
        BuildTree(xml, document);
        if (SaveTree(xml, path, failure))
            return 1;
        // The user can act on the file's reason, which the caller's message carries; the
        // diagnostic output still gets the report.
        WriteXmlDomErrorReport(CXmlDomError(CXmlDomError::kFail, kSource, failure), std::clog);
        return 0;
    });
}
