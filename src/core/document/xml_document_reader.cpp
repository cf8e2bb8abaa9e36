#include "document/xml_document_reader.h"

#include "document/carinova_doc.h"
#include "document/document_damage.h"
#include "document/progress_scope.h"
#include "document/xml_dom_error.h"
#include "document/xml_footprint.h"
#include "document/xml_lookup.h"
#include "document/xml_model_io.h"
#include "document/xml_values.h"
#include "platform/user_interaction.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <new>
#include <optional>
#include <unistd.h>
#include <utility>
#include <vector>

struct CDocumentOutline {
    pugi::xml_node list;      // the one SpecimenRecordList; empty when none or several
    pugi::xml_node parameter; // the same for ClusterParameter
    std::vector<pugi::xml_node> records;
    int lists = 0; // SpecimenRecordList elements, counted up to 2
};

namespace {

constexpr const char* kValidatorSource = "Carinova document validation";
constexpr const char* kReaderSource = "Carinova document reader";

// A document nests seven levels deep; far deeper trees are not documents, and the look-ups
// (one walk per record over its subtree) stay linear in the file's size below this bound.
constexpr int kMaxElementDepth = 32;
// Far beyond any real document; a larger file is refused before it is read into memory.
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{1} << 30;
// The tree and the records of a document may take this many bytes per byte of the file, beyond
// a floor that any small file may use. Documents as written need about three at most (their
// values are long against their names, their point lists longer still); a file of nothing but
// empty elements would need twenty-five.
constexpr std::size_t kTreeBytesPerFileByte = 6;
constexpr std::size_t kTreeBytesFloor = std::size_t{64} << 20;
// The parser takes text-only elements' text into the element and keeps blank text only where
// it is an element's whole content.
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata;

// One walk over the whole tree checks its depth and finds the elements the reading starts from,
// wherever they lie.
bool SurveyTree(const pugi::xml_document& xml, CDocumentOutline& outline) {
    outline = {};
    int parameters = 0;
    pugi::xml_node list;
    pugi::xml_node parameter;
    const bool shallow = VisitElementsWithin(xml, kMaxElementDepth, [&](pugi::xml_node element) {
        const char* name = element.name();
        if (std::strcmp(name, "SpecimenRecord") == 0) {
            outline.records.push_back(element);
        } else if (std::strcmp(name, "SpecimenRecordList") == 0) {
            outline.lists = std::min(outline.lists + 1, 2);
            list = element;
        } else if (std::strcmp(name, "ClusterParameter") == 0) {
            parameters = std::min(parameters + 1, 2);
            parameter = element;
        }
    });
    if (outline.lists == 1)
        outline.list = list;
    if (parameters == 1)
        outline.parameter = parameter;
    return shallow;
}

// The bytes of a file in memory from the parser's own allocator, so that the parser can take
// them over and parse them where they are.
class CParserBuffer {
public:
    CParserBuffer() = default;
    ~CParserBuffer() {
        if (data_)
            pugi::get_memory_deallocation_function()(data_);
    }
    CParserBuffer(const CParserBuffer&) = delete;
    CParserBuffer& operator=(const CParserBuffer&) = delete;

    // Reads up to `size` bytes; false with the system's reason.
    bool Read(const std::string& path, std::size_t size, std::string& reason) {
        data_ = static_cast<char*>(
            pugi::get_memory_allocation_function()(std::max<std::size_t>(size, 1)));
        if (!data_)
            throw std::bad_alloc();
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            reason = std::strerror(errno);
            return false;
        }
        while (size_ < size) {
            const ssize_t got = ::read(fd, data_ + size_, size - size_);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                reason = std::strerror(errno);
            if (got <= 0)
                break;
            size_ += static_cast<std::size_t>(got);
        }
        ::close(fd);
        return reason.empty();
    }

    std::string_view View() const { return {data_, size_}; }
    std::size_t Size() const { return size_; }
    char* Release() { return std::exchange(data_, nullptr); }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

std::string MegabytesOf(std::uintmax_t bytes) {
    return std::to_string((bytes + (std::uintmax_t{1} << 20) - 1) >> 20) + " MB";
}

// Only regular files are read: a folder or a device has no document, and a pipe could block.
bool ReadFileBytes(CParsedDocumentFile& parsed, const std::string& path, CParserBuffer& buffer) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec)
        return parsed.Fail(path + ": " + ec.message());
    if (!std::filesystem::is_regular_file(status))
        return parsed.Fail(path + ": not a regular file");
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        return parsed.Fail(path + ": " + ec.message());
    if (size > kMaxFileBytes)
        return parsed.Fail(path + ": larger than any document (" + MegabytesOf(size) + ")");
    std::string reason;
    if (!buffer.Read(path, static_cast<std::size_t>(size), reason))
        return parsed.Fail(path + ": " + reason);
    return true;
}

// The text is measured before it is parsed, so that no file can claim far more memory than
// its size suggests.
bool FitsMemoryBudget(CParsedDocumentFile& parsed, const std::string& path, std::string_view text) {
    const CXmlFootprint footprint = CXmlFootprint::Of(text);
    const std::size_t budget = kTreeBytesFloor + kTreeBytesPerFileByte * text.size();
    if (footprint.Bytes() <= budget)
        return true;
    return parsed.Fail(path + ": too many elements for its size (" +
                       std::to_string(footprint.nodes) + " in " + MegabytesOf(text.size()) +
                       " would take " + MegabytesOf(footprint.Bytes()) +
                       " to read; a document may take " + MegabytesOf(budget) + ")");
}

// False with the problem kept in `parsed`.
bool LoadTree(CParsedDocumentFile& parsed, const std::string& path, const char* source) {
    CParserBuffer buffer;
    if (!ReadFileBytes(parsed, path, buffer) || !FitsMemoryBudget(parsed, path, buffer.View()))
        return false;
    pugi::xml_document& xml = parsed.Tree();
    const std::size_t length = buffer.Size();
    const pugi::xml_parse_result result =
        xml.load_buffer_inplace_own(buffer.Release(), length, kParseOptions);
    if (result.status == pugi::status_out_of_memory)
        throw CXmlDomError(CXmlDomError::kOutOfMemory, source, "Out of memory while parsing.");
    parsed.SetOffsetsInFile(result.encoding == pugi::encoding_utf8);
    if (!result)
        return parsed.Fail(parsed.Where(result.offset) + ": " + result.description());
    if (!SurveyTree(xml, parsed.Outline()))
        return parsed.Fail(path + ": elements nest deeper than " +
                           std::to_string(kMaxElementDepth) + " levels");
    if (parsed.Outline().lists == 0)
        return parsed.Fail(path + ": no SpecimenRecordList element");
    if (parsed.Outline().lists > 1)
        return parsed.Fail(path + ": more than one SpecimenRecordList element");
    return true;
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
// views see the same hints as for records added one by one, and a damaged value found anywhere
// leaves the document untouched. Of several reference flags only
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
        AdoptClusterValues();
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
        values_.emplace();
        ReadClusterParameterValues(tree, values, *values_);
        mean_ = StageMeanRecord(tree, values, meanIsReference_);
    }

    // The values read replace the document's; its mean record slot stays as it is.
    void AdoptClusterValues() {
        if (!values_)
            return;
        CClusterParameter& parameter = doc_.GetClusterParameter();
        std::unique_ptr<CSpecimenRecord> mean = parameter.TakeMeanRecord();
        parameter = std::move(*values_);
        parameter.SetMeanRecord(std::move(mean));
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
    std::optional<CClusterParameter> values_;
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

bool CParsedDocumentFile::Fail(std::string problem) {
    problem_ = std::move(problem);
    return false;
}

// Lines are counted in the file itself, which holds the parsed text unchanged when it is UTF-8.
std::string CParsedDocumentFile::Where(std::ptrdiff_t offset) const {
    if (offset < 0 || !offsetsInFile_)
        return path_;
    std::ifstream in(path_, std::ios::binary);
    char chunk[1 << 16];
    long long line = 1;
    for (std::ptrdiff_t left = offset; left > 0;) {
        in.read(chunk, std::min<std::ptrdiff_t>(left, static_cast<std::ptrdiff_t>(sizeof chunk)));
        const std::streamsize got = in.gcount();
        if (got <= 0)
            break;
        line += std::count(chunk, chunk + got, '\n');
        left -= got;
    }
    return path_ + ", line " + std::to_string(line);
}

int ValidateDocumentFile(const std::string& path, int& version, CUserInteraction& ui,
                         CParsedDocumentFile& parsed) {
    parsed.SetLoaded(false);
    parsed.SetPath(path);
    return RunXmlJob(ui, kValidatorSource, [&] {
        if (!LoadTree(parsed, path, kValidatorSource))
            return 0;
        version = ParseIntValue(parsed.Outline().list.attribute("Version").value());
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
        int read = 1;
        try {
            CDocumentTreeReader(document, parsed.Outline()).Read();
        } catch (const CDocumentDamage& damage) {
            parsed.Fail(parsed.Where(damage.Offset()) + ": " + damage.what());
            read = 0;
        }
        parsed.Outline() = {};
        parsed.Tree().reset();
        parsed.SetLoaded(false);
        return read;
    });
}
