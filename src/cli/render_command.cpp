#include "render_command.h"

#include "batch_interaction.h"
#include "document/carinova_doc.h"
#include "results_writer.h"

#include <filesystem>
#include <ostream>

int RunRender(const std::string& documentPath, const std::string& outDir, int decimals,
              const CMorphospaceOptions& morphospace, std::ostream& out, std::ostream& err) {
    CBatchInteraction ui(err, {});
    CCarinovaDoc doc(ui);
    if (!std::filesystem::is_regular_file(documentPath)) {
        err << "carinova-cli: " << documentPath << ": no such document\n";
        return 1;
    }
    if (!doc.OnOpenDocument(documentPath)) {
        err << "carinova-cli: " << documentPath << ": not a readable Carinova document\n";
        return 1;
    }
    doc.SetPathName(documentPath);
    const std::string name = std::filesystem::path(documentPath).filename().string();
    if (!WriteResults(doc, outDir, name, decimals, morphospace, err))
        return 1;
    PrintClusterSummary(doc, out);
    out << "Results written to " << outDir << '\n';
    return 0;
}
