#include "pairwise_tables.h"

#include "cluster/cluster_comparison.h"
#include "cluster/spline_areas.h"
#include "document/carinova_doc.h"
#include "document/cluster_data_export.h"
#include "interruption.h"
#include "platform/number_locale.h"
#include "platform/parallel_for.h"
#include "progress.h"
#include "text_output.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

enum Table { kRms, kDorsal, kVentral, kTotal, kTableCount };
constexpr int kAreaTables = 3; // dorsal, ventral, total: what a pair's area computation gives

// An unnamed file in a folder, gone with the process however it ends.
class CSpillFile {
public:
    explicit CSpillFile(const fs::path& folder) {
        fd_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd_ < 0) { // a file system without unnamed files: a named one, unlinked at once
            std::string name = (folder / ".carinova-spill-XXXXXX").string();
            fd_ = ::mkstemp(name.data());
            if (fd_ >= 0)
                ::unlink(name.c_str());
        }
        if (fd_ < 0)
            Fail("create");
        folder_ = folder;
    }
    ~CSpillFile() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    CSpillFile(const CSpillFile&) = delete;
    CSpillFile& operator=(const CSpillFile&) = delete;

    void Write(std::uint64_t offset, const float* data, std::size_t count) {
        const char* bytes = reinterpret_cast<const char*>(data);
        for (std::size_t left = count * sizeof(float); left > 0;) {
            const ssize_t n = ::pwrite(fd_, bytes, left, static_cast<off_t>(offset));
            if (n <= 0 && !(n < 0 && errno == EINTR))
                Fail("write");
            Advance(n, bytes, offset, left);
        }
    }
    void Read(std::uint64_t offset, float* data, std::size_t count) {
        char* bytes = reinterpret_cast<char*>(data);
        for (std::size_t left = count * sizeof(float); left > 0;) {
            const ssize_t n = ::pread(fd_, bytes, left, static_cast<off_t>(offset));
            if (n <= 0 && !(n < 0 && errno == EINTR))
                Fail("read");
            Advance(n, bytes, offset, left);
        }
    }

private:
    template <typename Byte>
    static void Advance(ssize_t n, Byte*& bytes, std::uint64_t& offset, std::size_t& left) {
        if (n <= 0)
            return;
        bytes += n;
        offset += static_cast<std::uint64_t>(n);
        left -= static_cast<std::size_t>(n);
    }
    [[noreturn]] void Fail(const char* what) const {
        throw std::runtime_error(std::string("Could not ") + what +
                                 " the temporary file of the tables in " + folder_.string() + ": " +
                                 (errno ? std::strerror(errno) : "end of file"));
    }

    int fd_ = -1;
    fs::path folder_;
};

// The tables are made in blocks of B rows. Block b computes its pairs with every later member:
// the pairs inside the block fill both of their cells at once; those with a member of a later
// block c go to the spill file as tile (b, c), B x B pairs, and come back, mirrored, when block
// c is written. Tile (b, c) for b < c lies at the index of (b, c) in the upper triangle of the
// tiles counted row by row, so the tiles of one block row are one piece of the file.
class CPairwiseWriter {
public:
    CPairwiseWriter(const CCarinovaDoc& doc, const CNumberLocale& locale, std::size_t blockRows,
                    bool areas)
        : members_(doc.GetClusterList()), locale_(locale),
          n_(doc.GetClusterParameter().ControlPointsCnt), count_(members_.size()),
          block_(std::max<std::size_t>(1, blockRows)), tiles_((count_ + block_ - 1) / block_) {
        for (const CSpecimenRecord* r : members_)
            approximations_.push_back(r->GetClusterApproximation());
        if (areas)
            sampler_ = std::make_unique<CPairwiseAreaSampler>(approximations_);
        for (auto& v : values_)
            v.resize(block_ * count_);
    }

    void Write(std::array<std::unique_ptr<CTextOutput>, kTableCount>& files,
               const fs::path& spillFolder, CProgress& progress) {
        std::string header = "Specimen";
        for (std::size_t k = 1; k <= count_; ++k)
            header += "\t" + std::to_string(k);
        header += "\n";
        for (auto& file : files)
            if (file)
                file->Write(header);
        std::optional<CSpillFile> spill;
        if (sampler_ && tiles_ > 1)
            spill.emplace(spillFolder);
        std::vector<std::array<std::string, kTableCount>> text(block_);
        for (std::size_t b = 0; b < tiles_; ++b) {
            const std::size_t first = b * block_;
            const std::size_t rows = std::min(block_, count_ - first);
            ComputeBlock(b, rows, progress);
            if (spill) {
                SpillOut(*spill, b);
                SpillIn(*spill, b, rows);
            }
            ParallelFor(rows, [&](std::size_t r) {
                for (int t = 0; t < kTableCount; ++t)
                    if (files[static_cast<std::size_t>(t)])
                        FormatRow(static_cast<Table>(t), first + r, r,
                                  text[r][static_cast<std::size_t>(t)]);
            });
            for (std::size_t r = 0; r < rows; ++r)
                for (std::size_t t = 0; t < kTableCount; ++t)
                    if (files[t])
                        files[t]->Write(text[r][t]);
        }
    }

private:
    float& Cell(int table, std::size_t row, std::size_t column) {
        return values_[static_cast<std::size_t>(table)][row * count_ + column];
    }

    std::uint64_t TileOffset(std::size_t b, std::size_t c) const {
        // Block rows 0 ... b - 1 hold tiles_ - 1, tiles_ - 2, ... tiles each.
        const std::uint64_t before = b * (2 * tiles_ - b - 1) / 2 + (c - b - 1);
        return before * TileFloats() * sizeof(float);
    }
    std::size_t TileFloats() const { return block_ * block_ * kAreaTables; }

    // Row r of block b holds member i = b * B + r. The thread of row r writes cells (r, j) for
    // j >= i and, inside the block, the mirrored cells (j - first, i) for j > i: no two threads
    // write the same cell.
    void ComputeBlock(std::size_t b, std::size_t rows, CProgress& progress) {
        const std::size_t first = b * block_;
        outgoing_.assign(sampler_ ? (tiles_ - 1 - b) * TileFloats() : 0, 0.0f);
        ParallelFor(rows, [&](std::size_t r) {
            const std::size_t i = first + r;
            for (std::size_t j = 0; j < count_; ++j)
                Cell(kRms, r, j) = PairwiseRms(approximations_[i], approximations_[j], n_);
            if (sampler_)
                ComputeAreas(b, r);
            progress.Advance();
            ThrowIfInterrupted();
        });
    }

    void ComputeAreas(std::size_t b, std::size_t r) {
        const std::size_t first = b * block_;
        const std::size_t i = first + r;
        const auto storage = CPairwiseAreaSampler::NewStorage();
        for (int t = kDorsal; t <= kTotal; ++t)
            Cell(t, r, i) = 0.0f;
        for (std::size_t j = i + 1; j < count_; ++j) {
            const CPairAreas p = sampler_->Pair(i, j, *storage);
            const float v[kAreaTables] = {p.dorsal, p.ventral, p.total};
            for (int t = 0; t < kAreaTables; ++t)
                Cell(kDorsal + t, r, j) = v[t];
            if (j < first + block_) {
                for (int t = 0; t < kAreaTables; ++t)
                    Cell(kDorsal + t, j - first, i) = v[t];
            } else {
                const std::size_t c = j / block_;
                float* tile = outgoing_.data() + (c - b - 1) * TileFloats();
                std::copy(v, v + kAreaTables, tile + (r * block_ + (j - c * block_)) * kAreaTables);
            }
        }
    }

    void SpillOut(CSpillFile& spill, std::size_t b) {
        if (b + 1 < tiles_)
            spill.Write(TileOffset(b, b + 1), outgoing_.data(), outgoing_.size());
    }

    // The cells left of the block: tile (c, b) of each earlier block c, mirrored.
    void SpillIn(CSpillFile& spill, std::size_t b, std::size_t rows) {
        incoming_.resize(TileFloats());
        for (std::size_t c = 0; c < b; ++c) {
            spill.Read(TileOffset(c, b), incoming_.data(), incoming_.size());
            for (std::size_t k = 0; k < block_; ++k) // member c * B + k, the tile's row
                for (std::size_t r = 0; r < rows; ++r)
                    for (int t = 0; t < kAreaTables; ++t)
                        Cell(kDorsal + t, r, c * block_ + k) =
                            incoming_[(k * block_ + r) * kAreaTables + static_cast<std::size_t>(t)];
        }
    }

    void FormatRow(Table table, std::size_t member, std::size_t r, std::string& line) const {
        line = TableCell(members_[member]->GetSpecimen()->ShortPathName);
        const float* row = values_[table].data() + r * count_;
        for (std::size_t j = 0; j < count_; ++j) {
            line += '\t';
            if (table != kRms && row[j] < 0.0f)
                line += "n.c.";
            else
                AppendLocalizedNumber(line, row[j], locale_);
        }
        line += '\n';
    }

    const std::vector<CSpecimenRecord*>& members_;
    const CNumberLocale& locale_;
    const int n_;
    const std::size_t count_;
    const std::size_t block_;
    const std::size_t tiles_;
    std::vector<const CApproxSpecimen*> approximations_;
    std::unique_ptr<CPairwiseAreaSampler> sampler_;
    std::array<std::vector<float>, kTableCount> values_;
    std::vector<float> outgoing_;
    std::vector<float> incoming_;
};

} // namespace

bool WritePairwiseTables(const CCarinovaDoc& doc, const CPairwiseTableFiles& files,
                         const CNumberLocale& locale, CProgress& progress, std::ostream& err,
                         std::size_t blockRows) {
    const std::array<const fs::path*, kTableCount> paths = {&files.rms, &files.dorsal,
                                                            &files.ventral, &files.total};
    std::array<std::unique_ptr<CTextOutput>, kTableCount> outputs;
    fs::path folder;
    for (std::size_t t = 0; t < kTableCount; ++t) {
        if (paths[t]->empty())
            continue;
        outputs[t] = std::make_unique<CTextOutput>();
        outputs[t]->Open(*paths[t]);
        folder = paths[t]->parent_path();
    }
    if (folder.empty())
        return true;
    const bool areas = outputs[kDorsal] || outputs[kVentral] || outputs[kTotal];
    progress.Begin("Writing the pairwise tables", doc.GetClusterList().size());
    try {
        CPairwiseWriter(doc, locale, blockRows, areas).Write(outputs, folder, progress);
    } catch (const std::runtime_error& e) {
        err << "carinova-cli: " << e.what() << '\n';
        return false;
    }
    bool ok = true;
    for (auto& output : outputs) {
        std::string error;
        if (output && !output->Close(error)) {
            err << "carinova-cli: " << error << '\n';
            ok = false;
        }
    }
    if (ok)
        progress.End();
    return ok;
}
