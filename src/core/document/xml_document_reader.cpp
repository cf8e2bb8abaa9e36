#include "document/xml_document_reader.h"

#include "document/carinova_doc.h"
#include "document/progress_scope.h"
#include "document/xml_dom_error.h"
#include "document/xml_lookup.h"
#include "document/xml_model_io.h"
#include "document/xml_values.h"
#include "platform/user_interaction.h"

#include <pugixml.hpp>

#include <filesystem>
#include <optional>

namespace {

constexpr const char* kValidatorSource = "Carinova document validation";
constexpr const char* kReaderSource = "Carinova document reader";

// A document nests seven levels deep; far deeper trees are not documents, and the look-ups
// (one walk per record over its subtree) stay linear in the file's size below this bound.
constexpr int kMaxElementDepth = 32;
// Far beyond any real document; a larger file is refused before it is read into memory.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;

// Only regular files are read: a folder or a device has no document, and a pipe could block.
bool LoadTree(pugi::xml_document& xml, const std::string& path, const char* source) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileBytes)
        return false;
    const pugi::xml_parse_result result =
        xml.load_file(path.c_str(), pugi::parse_default | pugi::parse_ws_pcdata);
    if (result.status == pugi::status_out_of_memory)
        throw CXmlDomError(CXmlDomError::kOutOfMemory, source, "Out of memory while parsing.");
    return result && !IsNestedDeeperThan(xml, kMaxElementDepth);
}

// One SpecimenRecord element, read completely before anything is attached to the document.
struct CStagedRecord {
    std::unique_ptr<CSpecimenRecord> record;
    std::unique_ptr<CApproxSpecimen> approximation;
    std::unique_ptr<CApproxSpecimen> clusterApproximation;
    std::unique_ptr<CClusterData> clusterData;
    bool isReference = false;

    bool IsReferenceMember() const { return isReference && clusterApproximation != nullptr; }
};

std::unique_ptr<CApproxSpecimen> ReadNewApproximation(pugi::xml_node element) {
    auto approx = std::make_unique<CApproxSpecimen>();
    ReadApproximation(element, *approx);
    return approx;
}

// A record without exactly one Specimen is skipped. Several ApproxSpecimen, ApproxCluster or
// ClusterData elements end the record's reading there; what was read before stays. A cluster
// member without ClusterData gets empty cluster data.
std::optional<CStagedRecord> StageRecord(pugi::xml_node element) {
    const CXmlLookup l(element, {"Specimen", "ApproxSpecimen", "ApproxCluster", "ClusterData",
                                 "IsClusterReference"});
    const pugi::xml_node specimen = l.Unique("Specimen");
    if (!specimen)
        return std::nullopt;
    CStagedRecord staged;
    staged.record = std::make_unique<CSpecimenRecord>(ReadSpecimen(specimen));
    if (l.Count("ApproxSpecimen") > 1)
        return staged;
    if (const pugi::xml_node approx = l.Unique("ApproxSpecimen"))
        staged.approximation = ReadNewApproximation(approx);
    if (l.Count("ApproxCluster") > 1)
        return staged;
    if (const pugi::xml_node cluster = l.Unique("ApproxCluster")) {
        staged.clusterApproximation = ReadNewApproximation(cluster);
        staged.clusterData = std::make_unique<CClusterData>();
        if (l.Count("ClusterData") > 1)
            return staged;
        if (const pugi::xml_node data = l.Unique("ClusterData"))
            ReadClusterData(data, *staged.clusterData);
    }
    if (const pugi::xml_node flag = l.Unique("IsClusterReference"))
        ParseBoolValue(TextContent(flag), staged.isReference);
    return staged;
}

// The mean record needs its Specimen, ApproxCluster and ClusterData; without any of them it
// is dropped as a whole.
std::unique_ptr<CSpecimenRecord> StageMeanRecord(pugi::xml_node values, bool& isReference) {
    const pugi::xml_node element =
        CXmlLookup(values, {"MeanClusterSpecimenRecord"}).Unique("MeanClusterSpecimenRecord");
    if (!element)
        return nullptr;
    const CXmlLookup l(element, {"Specimen", "ApproxCluster", "ClusterData", "IsClusterReference"});
    const pugi::xml_node specimen = l.Unique("Specimen");
    const pugi::xml_node approx = l.Unique("ApproxCluster");
    const pugi::xml_node data = l.Unique("ClusterData");
    if (!specimen || !approx || !data)
        return nullptr;
    auto record = std::make_unique<CSpecimenRecord>(ReadSpecimen(specimen));
    record->SetClusterApproximation(ReadNewApproximation(approx));
    auto clusterData = std::make_unique<CClusterData>();
    ReadClusterData(data, *clusterData);
    record->SetClusterData(std::move(clusterData));
    isReference = false;
    if (const pugi::xml_node flag = l.Unique("IsClusterReference"))
        ParseBoolValue(TextContent(flag), isReference);
    return record;
}

// Reads the whole tree first and then builds the document from it in file order, so the
// views see the same hints as for records added one by one. Of several reference flags only
// the last one is set as the reference: setting the earlier ones would recompute the cluster
// data of all members read so far each time, and the last setting overwrites all of that.
class CDocumentTreeReader {
public:
    CDocumentTreeReader(CCarinovaDoc& doc, const pugi::xml_document& xml) : doc_(doc), xml_(xml) {}

    void Read() {
        const pugi::xml_node values = ClusterParameterValues();
        if (values) {
            ReadClusterParameterValues(values, doc_.GetClusterParameter());
            mean_ = StageMeanRecord(values, meanIsReference_);
        }
        const std::vector<pugi::xml_node> elements = FindDescendants(xml_, "SpecimenRecord");
        CProgressScope progress(doc_.GetInteraction(), static_cast<int>(elements.size()));
        for (const pugi::xml_node element : elements) {
            if (std::optional<CStagedRecord> staged = StageRecord(element))
                records_.push_back(std::move(*staged));
            progress.Step();
        }
        FindLastReference();
        AttachMeanRecord();
        for (std::size_t i = 0; i < records_.size(); ++i)
            AttachRecord(records_[i], static_cast<long>(i) == lastReference_);
    }

private:
    static constexpr long kNone = -2;
    static constexpr long kMean = -1;

    pugi::xml_node ClusterParameterValues() const {
        const pugi::xml_node parameter =
            CXmlLookup(xml_, {"ClusterParameter"}).Unique("ClusterParameter");
        if (!parameter)
            return {};
        return CXmlLookup(parameter, {"ClusterParameterValues"}).Unique("ClusterParameterValues");
    }

    void FindLastReference() {
        lastReference_ = mean_ && meanIsReference_ ? kMean : kNone;
        for (std::size_t i = 0; i < records_.size(); ++i)
            if (records_[i].IsReferenceMember())
                lastReference_ = static_cast<long>(i);
    }

    void AttachMeanRecord() {
        if (!mean_)
            return;
        CSpecimenRecord* mean = mean_.get();
        doc_.AttachLoadedMeanRecord(std::move(mean_));
        if (lastReference_ == kMean)
            doc_.SetReferenceRecord(mean);
        else if (meanIsReference_)
            mean->GetClusterApproximation()->SetColor(doc_.GetClusterParameter().MeanSpecimenColor);
    }

    // A reference flag counts only on a cluster member: the reference must be one.
    void AttachRecord(CStagedRecord& staged, bool isLastReference) {
        CSpecimenRecord* record = staged.record.get();
        doc_.AddSpecimenRecord(std::move(staged.record));
        if (staged.approximation)
            doc_.AttachLoadedApproximation(record, std::move(staged.approximation));
        if (!staged.clusterApproximation)
            return;
        CApproxSpecimen* cluster = staged.clusterApproximation.get();
        doc_.AttachLoadedClusterMember(record, std::move(staged.clusterApproximation),
                                       std::move(staged.clusterData));
        if (isLastReference)
            doc_.SetReferenceRecord(record);
        else if (staged.isReference)
            cluster->SetColor(doc_.GetClusterParameter().SpecimenColor);
    }

    CCarinovaDoc& doc_;
    const pugi::xml_document& xml_;
    std::unique_ptr<CSpecimenRecord> mean_;
    bool meanIsReference_ = false;
    std::vector<CStagedRecord> records_;
    long lastReference_ = kNone;
};

} // namespace

bool IsXmlParserAvailable() {
    pugi::xml_document probe;
    return static_cast<bool>(probe.load_string("<root></root>"));
}

CParsedDocumentFile::CParsedDocumentFile() : tree_(std::make_unique<pugi::xml_document>()) {}

CParsedDocumentFile::~CParsedDocumentFile() = default;

int ValidateDocumentFile(const std::string& path, int& version, CUserInteraction& ui,
                         CParsedDocumentFile& parsed) {
    parsed.SetLoaded(false);
    return RunXmlJob(ui, kValidatorSource, [&] {
        pugi::xml_document& xml = parsed.Tree();
        if (!LoadTree(xml, path, kValidatorSource))
            return 0;
        const CXmlLookup l(xml, {"SpecimenRecordList"});
        const pugi::xml_node root = l.Unique("SpecimenRecordList");
        if (!root)
            return 0;
        version = ParseIntValue(root.attribute("Version").value());
        parsed.SetLoaded(true);
        return 1;
    });
}

int ReadDocumentFile(CCarinovaDoc& document, CParsedDocumentFile& parsed) {
    CUserInteraction& ui = document.GetInteraction();
    return RunXmlJob(ui, kReaderSource, [&] {
        if (!parsed.IsLoaded()) {
            ui.MessageBox("Failed to parse Carinova document", "Error", MsgButtons::OK,
                          MsgIcon::None);
            return 0;
        }
        CDocumentTreeReader(document, parsed.Tree()).Read();
        parsed.Tree().reset();
        parsed.SetLoaded(false);
        return 1;
    });
}
