#include "batch_interaction.h"

#include "model/approx_sheet.h"

#include <ostream>

MsgAnswer CBatchInteraction::MessageBox(const std::string& text, const std::string&,
                                        MsgButtons buttons, MsgIcon) {
    ++messages_;
    std::string line = text;
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    err_ << "carinova-cli: " << line << '\n';
    return buttons == MsgButtons::OK ? MsgAnswer::OK : MsgAnswer::Yes;
}

CFileDialogResult CBatchInteraction::FileDialog(const CFileDialogRequest&) {
    return {};
}

bool CBatchInteraction::DoModal(CModalSheet& sheet) {
    if (auto* approx = dynamic_cast<CPropertySheetApprox*>(&sheet)) {
        approx->m_nControlPoints = approx_.controlPoints;
        approx->m_bApplyCorrection = approx_.applyCorrection;
        approx->m_nIterations = approx_.iterations;
    }
    return true;
}

std::unique_ptr<CReadingProgress> CBatchInteraction::CreateReadingProgress() {
    return std::make_unique<CSilentReadingProgress>();
}
