#include "document/xml_document_reader.h"

#include "document/carinova_doc.h"
#include "document/progress_scope.h"
#include "document/xml_dom_error.h"
#include "document/xml_lookup.h"
#include "document/xml_model_io.h"
#include "document/xml_values.h"
#include "platform/user_interaction.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

struct CDocumentOutline {
    pugi::xml_node list;      // the one SpecimenRecordList; empty when none or several
    pugi::xml_node parameter; // the same for ClusterParameter
    std::vector<pugi::xml_node> records;
};

namespace {

constexpr const char* kValidatorSource = "Carinova document validation";
constexpr const char* kReaderSource = "Carinova document reader";

// A document nests seven levels deep; far deeper trees are not documents, and the look-ups
// (one walk per record over its subtree) stay linear in the file's size below this bound.
constexpr int kMaxElementDepth = 32;
// Far beyond any real document; a larger file is refused before it is read into memory.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;

// One walk over the whole tree checks its depth and finds the elements the reading starts from,
// wherever they lie.
bool SurveyTree(const pugi::xml_document& xml, CDocumentOutline& outline) {
    outline = {};
    int lists = 0;
    int parameters = 0;
    pugi::xml_node list;
    pugi::xml_node parameter;
    const bool shallow = VisitElementsWithin(xml, kMaxElementDepth, [&](pugi::xml_node element) {
        const char* name = element.name();
        if (std::strcmp(name, "SpecimenRecord") == 0) {
            outline.records.push_back(element);
        } else if (std::strcmp(name, "SpecimenRecordList") == 0) {
            lists = std::min(lists + 1, 2);
            list = element;
        } else if (std::strcmp(name, "ClusterParameter") == 0) {
            parameters = std::min(parameters + 1, 2);
            parameter = element;
        }
    });
    if (lists == 1)
        outline.list = list;
    if (parameters == 1)
        outline.parameter = parameter;
    return shallow;
}

// Only regular files are read: a folder or a device has no document, and a pipe could block.
// Text that is an element's first content is kept as the element's value rather than as a node
// of its own: the tree is half as large and the look-ups walk half as far.
bool LoadTree(pugi::xml_document& xml, CDocumentOutline& outline, const std::string& path,
              const char* source) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > kMaxFileBytes)
        return false;
    const pugi::xml_parse_result result = xml.load_file(
        path.c_str(), pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_embed_pcdata);
    if (result.status == pugi::status_out_of_memory)
        throw CXmlDomError(CXmlDomError::kOutOfMemory, source, "Out of memory while parsing.");
    return result && SurveyTree(xml, outline);
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

std::unique_ptr<CApproxSpecimen> ReadNewApproximation(const CXmlSubtree& tree,
                                                      std::size_t element) {
    auto approx = std::make_unique<CApproxSpecimen>();
    ReadApproximation(tree, element, *approx);
    return approx;
}

bool ReadFlag(const CXmlLookup& lookup, const char* name) {
    bool flag = false;
    std::string storage;
    if (const pugi::xml_node element = lookup.Unique(name))
        ParseBoolValue(TextContentView(element, storage), flag);
    return flag;
}

// A record without exactly one Specimen is skipped. Several ApproxSpecimen, ApproxCluster or
// ClusterData elements end the record's reading there; what was read before stays. A cluster
// member without ClusterData gets empty cluster data. `tree` indexes the record's element.
std::optional<CStagedRecord> StageRecord(const CXmlSubtree& tree) {
    constexpr std::size_t kNone = CXmlLookup::kNone;
    const CXmlLookup l(
        tree, 0,
        {"Specimen", "ApproxSpecimen", "ApproxCluster", "ClusterData", "IsClusterReference"});
    const std::size_t specimen = l.UniqueAt("Specimen");
    if (specimen == kNone)
        return std::nullopt;
    CStagedRecord staged;
    staged.record = std::make_unique<CSpecimenRecord>(ReadSpecimen(tree, specimen));
    if (l.Count("ApproxSpecimen") > 1)
        return staged;
    if (const std::size_t approx = l.UniqueAt("ApproxSpecimen"); approx != kNone)
        staged.approximation = ReadNewApproximation(tree, approx);
    if (l.Count("ApproxCluster") > 1)
        return staged;
    if (const std::size_t cluster = l.UniqueAt("ApproxCluster"); cluster != kNone) {
        staged.clusterApproximation = ReadNewApproximation(tree, cluster);
        staged.clusterData = std::make_unique<CClusterData>();
        if (l.Count("ClusterData") > 1)
            return staged;
        if (const std::size_t data = l.UniqueAt("ClusterData"); data != kNone)
            ReadClusterData(tree, data, *staged.clusterData);
    }
    staged.isReference = ReadFlag(l, "IsClusterReference");
    return staged;
}

// The mean record needs its Specimen, ApproxCluster and ClusterData; without any of them it
// is dropped as a whole.
std::unique_ptr<CSpecimenRecord> StageMeanRecord(const CXmlSubtree& tree, std::size_t values,
                                                 bool& isReference) {
    constexpr std::size_t kNone = CXmlLookup::kNone;
    const std::size_t element = CXmlLookup(tree, values, {"MeanClusterSpecimenRecord"})
                                    .UniqueAt("MeanClusterSpecimenRecord");
    if (element == kNone)
        return nullptr;
    const CXmlLookup l(tree, element,
                       {"Specimen", "ApproxCluster", "ClusterData", "IsClusterReference"});
    const std::size_t specimen = l.UniqueAt("Specimen");
    const std::size_t approx = l.UniqueAt("ApproxCluster");
    const std::size_t data = l.UniqueAt("ClusterData");
    if (specimen == kNone || approx == kNone || data == kNone)
        return nullptr;
    auto record = std::make_unique<CSpecimenRecord>(ReadSpecimen(tree, specimen));
    record->SetClusterApproximation(ReadNewApproximation(tree, approx));
    auto clusterData = std::make_unique<CClusterData>();
    ReadClusterData(tree, data, *clusterData);
    record->SetClusterData(std::move(clusterData));
    isReference = ReadFlag(l, "IsClusterReference");
    return record;
}

// Reads the whole tree first and then builds the document from it in file order, so the
// views see the same hints as for records added one by one. Of several reference flags only
// the last one is set as the reference: setting the earlier ones would recompute the cluster
// data of all members read so far each time, and the last setting overwrites all of that.
class CDocumentTreeReader {
public:
    CDocumentTreeReader(CCarinovaDoc& doc, const CDocumentOutline& outline)
        : doc_(doc), outline_(outline) {}

    void Read() {
        if (outline_.parameter)
            ReadClusterParameter();
        const std::vector<pugi::xml_node>& elements = outline_.records;
        CProgressScope progress(doc_.GetInteraction(), static_cast<int>(elements.size()));
        CXmlSubtree tree;
        for (const pugi::xml_node element : elements) {
            tree.Index(element);
            if (std::optional<CStagedRecord> staged = StageRecord(tree))
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

    void ReadClusterParameter() {
        CXmlSubtree tree;
        tree.Index(outline_.parameter);
        const std::size_t values =
            CXmlLookup(tree, 0, {"ClusterParameterValues"}).UniqueAt("ClusterParameterValues");
        if (values == CXmlLookup::kNone)
            return;
        ReadClusterParameterValues(tree, values, doc_.GetClusterParameter());
        mean_ = StageMeanRecord(tree, values, meanIsReference_);
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
    const CDocumentOutline& outline_;
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

CParsedDocumentFile::CParsedDocumentFile()
    : tree_(std::make_unique<pugi::xml_document>()),
      outline_(std::make_unique<CDocumentOutline>()) {}

CParsedDocumentFile::~CParsedDocumentFile() = default;

int ValidateDocumentFile(const std::string& path, int& version, CUserInteraction& ui,
                         CParsedDocumentFile& parsed) {
    parsed.SetLoaded(false);
    return RunXmlJob(ui, kValidatorSource, [&] {
        pugi::xml_document& xml = parsed.Tree();
        if (!LoadTree(xml, parsed.Outline(), path, kValidatorSource))
            return 0;
        const pugi::xml_node root = parsed.Outline().list;
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
        CDocumentTreeReader(document, parsed.Outline()).Read();
        parsed.Outline() = {};
        parsed.Tree().reset();
        parsed.SetLoaded(false);
        return 1;
    });
}
