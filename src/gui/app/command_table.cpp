#include "app/command_table.h"

#include "document/command_ids.h"

#include <algorithm>

const std::vector<CCommandInfo>& CommandTable() {
    static const std::vector<CCommandInfo> table = {
        {ID_FILE_NEW, "&New\tStrg+N", "Create a new document.\nNew", "Ctrl+N"},
        {ID_FILE_OPEN, "&Open...\tStrg+O", "Open an existing document.\nOpen", "Ctrl+O"},
        {ID_FILE_SAVE, "&Save\tStrg+S", "Save the active document.\nSave", "Ctrl+S"},
        {ID_FILE_SAVE_AS, "Save &as...", "Save the active document under new Name.\nSave as", ""},
        {ID_FILE_PRINT, "&Print...\tStrg+P", "Print the active document.\nPrint", "Ctrl+P"},
        {ID_FILE_PRINT_PREVIEW, "P&rint Preview", "Display hole page.\nPrint preview", ""},
        {ID_FILE_PRINT_SETUP, "Print Se&tup...",
         "Change the printer and printer options.\nPrinter setup", ""},
        {ID_FILE_MRU_FILE1, "Last File", "Open this document.", ""},
        {ID_APP_EXIT, "&Exit", "Terminates the application.\nExit", ""},
        {ID_SPECIMEN_INSERT, "&Insert...", "Load specimen from file.", ""},
        {ID_SPECIMEN_DELETE, "&Delete", "Delete the in tree view selected specimen.", ""},
        {ID_SPECIMEN_PROPERTIES, "&Properties...", "Display properties for the selected specimen.",
         ""},
        {ID_APPROXIMATION_CALCULATE, "&Calculate...", "Calculate approximation for specimen.", ""},
        {ID_APPROXIMATION_DELETE, "&Delete", "Delete approximation of specimen.", ""},
        {ID_APPROXIMATION_PROPERTIES, "&Properties...", "Display approximation properties.", ""},
        {ID_SPECIMEN_EXPORT_IMAGE, "Export to Image File...", "Export specimen to a graphics file.",
         ""},
        {ID_SPECIMEN_EXPORT_TPS, "Export as TPS File ...", "Export specimen as a TPS file.", ""},
        {ID_CLUSTER_INSERT, "&Insert", "Add selected specimen to the cluster.", ""},
        {ID_CLUSTER_DELETE, "&Delete", "Delete the selected specimen from the cluster.", ""},
        {ID_CLUSTER_PROPERTIES, "&Properties...", "Property dialog for the cluster parameters.",
         ""},
        {ID_CLUSTER_SELECT, "&Select...", "Select the Specimens in the Cluster.", ""},
        {ID_CLUSTER_MEAN, "&Calculate Mean Specimen",
         "Calculates the mean specimen from the current cluster specimen.", ""},
        {ID_CLUSTER_MARK_REFERENCE, "&Mark as Reference",
         "Define selected specimen als cluster reference.", ""},
        {ID_CLUSTER_DISPLAY_SPECIMENS, "Display Spe&cimens...",
         "Display the overlapped specimends in the cluster.", ""},
        {ID_CLUSTER_DISPLAY_COORDINATES, "Display C&oordinates...",
         "Display the coordinate vectors of the specimens in the cluster.", ""},
        {ID_CLUSTER_DISPLAY_MORPHOSPACE, "Display Mor&phospace...",
         "Display the principal components of the cluster's shapes.", ""},
        {ID_CLUSTER_AREA_TOTAL, "Area &total", "", ""},
        {ID_CLUSTER_AREA_DORSAL, "Area &dorsal", "", ""},
        {ID_CLUSTER_AREA_VENTRAL, "Area &ventral", "", ""},
        {ID_CLUSTER_MEAN_DELTA, "&Mean delta quadrat",
         "Gives some calculations of pairwise differences of the specimens in the cluster.", ""},
        {ID_CLUSTER_EXPORT, "E&xport to Data File...",
         "Export the approximation of the cluster in a data file.", ""},
        {ID_CLUSTER_EXPORT_IMAGE, "Export &to Image File...",
         "Export the approximation of the cluster in an image file.", ""},
        {ID_VIEW_TOOLBAR, "&Tool bar", "Display the tool bar or not.\nTool bar on/off", ""},
        {ID_VIEW_STATUS_BAR, "S&tatus bar", "Display the status bar or not.\nStatus bar on/off",
         ""},
        {ID_VIEW_ZOOM_IN, "Zoom &In\tStrg++", "Enlarge the picture.\nZoom in", "Ctrl++"},
        {ID_VIEW_ZOOM_OUT, "Zoom &Out\tStrg+-", "Reduce the picture.\nZoom out", "Ctrl+-"},
        {ID_VIEW_ZOOM_FIT, "&Fit to Window\tStrg+0", "Fit the whole picture into the window.\nFit",
         "Ctrl+0"},
        {ID_VIEW_SOURCE_IMAGE, "Source &Image",
         "Show the image the outline was traced from under it.\nSource image", ""},
        {ID_VIEW_REOPEN_LAST, "&Reopen Last Document at Start",
         "Open the last document when the program starts without one.", ""},
        {ID_HELP_CARINOVA, "Carinova Help...", "Opens the Carinova help file.", ""},
        {ID_APP_ABOUT, "Inf&o about Carinova...",
         "Display program informationen (like version number and copyright "
         "information).\nInformation",
         ""},
    };
    return table;
}

const CCommandInfo* FindCommand(int id) {
    const auto& table = CommandTable();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [id](const CCommandInfo& info) { return info.id == id; });
    return it == table.end() ? nullptr : &*it;
}

QString StatusPrompt(const char* prompt) {
    const QString text = QString::fromUtf8(prompt);
    return text.section(QLatin1Char('\n'), 0, 0);
}

QString ToolTipPrompt(const char* prompt) {
    const QString text = QString::fromUtf8(prompt);
    return text.contains(QLatin1Char('\n')) ? text.section(QLatin1Char('\n'), 1) : QString();
}
