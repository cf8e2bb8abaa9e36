// Writes the seed inputs of the document and fit fuzzers from the sample outlines: a saved
// document with approximations, a cluster, a reference and a mean, and the outlines in the
// byte form the fit fuzzer decodes.
#include "document/carinova_doc.h"
#include "formats/specimen_file.h"
#include "model/approx_sheet.h"
#include "platform/scripted_interaction.h"

#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

void ReadFile(CCarinovaDoc& doc, const std::string& path) {
    for (auto& specimen : ReadSpecimenFile(path).specimens)
        doc.AddSpecimenRecord(std::make_unique<CSpecimenRecord>(std::move(specimen)));
}

void PutInt16(std::string& out, int v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}

// Settings bytes, then per outline: count, scale exponent + 120 (scale 1), points.
std::string FitSeed(const CCarinovaDoc& doc, std::size_t first, std::size_t outlines) {
    std::string out = std::string("\x08\x01\x06\x02\x08\x06", 6) + static_cast<char>(outlines - 1);
    for (std::size_t i = first; i < first + outlines; ++i) {
        const std::vector<FPoint>& contour = doc.GetSpecimenList()[i]->GetSpecimen()->Contour;
        const std::size_t step = contour.size() / 100 + 1;
        out += static_cast<char>(contour.size() / step);
        out += static_cast<char>(120);
        for (std::size_t k = 0; k + step <= contour.size(); k += step) {
            PutInt16(out, static_cast<int>(contour[k].x));
            PutInt16(out, static_cast<int>(contour[k].y));
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: make_fuzz_seeds <samples folder> <document seed> <fit seed 1> <fit "
                     "seed 2>\n";
        return 2;
    }
    const std::string samples = argv[1];
    CScriptedInteraction ui;
    CCarinovaDoc outlines(ui);
    ReadFile(outlines, samples + "/valves.tps");
    ReadFile(outlines, samples + "/valves.msd");
    // The document seed stays small: the two outlines of the simple sample, both in the cluster.
    CCarinovaDoc doc(ui);
    ReadFile(doc, samples + "/valves.txt");
    if (outlines.GetSpecimenList().size() < 8 || doc.GetSpecimenList().size() < 2) {
        std::cerr << "make_fuzz_seeds: the samples could not be read\n";
        return 1;
    }
    for (const auto& record : doc.GetSpecimenList()) {
        ui.sheetEditors.push_back([](CModalSheet&) { return true; });
        doc.ApproximateSpecimen(record.get());
        doc.InsertIntoCluster(record.get());
    }
    doc.SetReferenceRecord(doc.GetClusterList().front());
    doc.CalculateMeanSpecimen();
    if (!doc.OnSaveDocument(argv[2]))
        return 1;
    std::ofstream(argv[3], std::ios::binary) << FitSeed(outlines, 0, 3);
    std::ofstream(argv[4], std::ios::binary) << FitSeed(outlines, 6, 2);
    return 0;
}
