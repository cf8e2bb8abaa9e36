#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// The results of one run, committed into an output folder as a whole: the folder holds the
// results of exactly one run at every moment, all old or all new.
//
// The results are written into a staging folder beside the output folder and the two are
// exchanged with one rename (renameat2 with RENAME_EXCHANGE). A manifest in the folder lists
// what the run wrote, so that a later run removes its own earlier results and nothing else:
// entries the manifest does not list are moved over into the new folder before the exchange.
// Where no exchange is possible (the folder is a mount point, its parent is not writable, the
// file system cannot exchange), the results are staged inside the folder and moved one by one.
//
// A run holds the folder's lock (flock on the folder itself) from Begin to the end, so a
// second run waits. Staging folders of runs whose process is gone are reclaimed by the next
// run: their results removed, entries moved over from the folder put back.
class CResultFolder {
public:
    // The points of Commit after which a test may stop it as a kill would.
    enum class CommitStep { Staged, Carried, Exchanged, Cleaned };

    explicit CResultFolder(std::filesystem::path dir);
    // Without a Commit, the staging folder is reclaimed and the folder stays as it was.
    ~CResultFolder();
    CResultFolder(const CResultFolder&) = delete;
    CResultFolder& operator=(const CResultFolder&) = delete;

    // Creates the folder when missing, takes its lock (while another run holds it, `waiting`
    // is called every tenth of a second; returning false gives up), reclaims what killed runs
    // left and creates the staging folder.
    bool Begin(const std::function<bool()>& waiting = {});

    // Files the run reads. A result that would replace or remove one of them is refused.
    // False when one of them is already among the folder's earlier results.
    bool ProtectInputs(const std::vector<std::filesystem::path>& inputs);

    // Reserves a result's place ('/'-separated, relative): each part shortened to the file
    // system's limit and the whole made unique in this run. Empty, with Error(), when it would
    // replace an input.
    std::string Claim(const std::string& relative);
    // Where a claimed result is written before Commit; its parent folders are made.
    std::filesystem::path StagingPath(const std::string& claimed) const;

    bool Commit();

    const std::string& Error() const { return error_; }
    // The last failure was a result that would replace or remove an input.
    bool RefusedForInput() const { return inputClash_; }
    // Things done that the user should know of (no lock available, entries kept aside).
    const std::vector<std::string>& Notes() const { return notes_; }
    const std::filesystem::path& Dir() const { return dir_; }
    bool ExchangesWhole() const { return exchange_; }

    // For tests: called after each step of Commit (a hook that ends the process there acts
    // as a kill), and whether the whole-folder exchange may be used.
    void SetCommitHook(std::function<void(CommitStep)> hook) { hook_ = std::move(hook); }
    void AllowExchange(bool allow) { allowExchange_ = allow; }

    // The manifest's name inside the output folder.
    static constexpr const char* kManifestName = ".carinova-manifest";

private:
    struct CIdentity {
        unsigned long long device = 0;
        unsigned long long inode = 0;
        bool operator<(const CIdentity& o) const {
            return device != o.device ? device < o.device : inode < o.inode;
        }
    };

    bool Fail(const std::string& message);
    bool ClashesWithInput(const std::string& relative);
    bool Lock(const std::function<bool()>& waiting);
    bool CreateStaging();
    void ReclaimStale();
    bool CheckConflicts();
    bool CommitByExchange();
    bool CommitByMoving();
    bool Carry(const std::string& relative, const std::set<std::string>& folders);
    void Step(CommitStep step) const;

    std::filesystem::path dir_;
    std::filesystem::path staging_;
    bool exchange_ = false;
    bool allowExchange_ = true;
    bool committed_ = false;
    int lockFd_ = -1;
    int stagingLockFd_ = -1;
    std::size_t nameLimit_ = 255;
    std::set<std::string> oldResults_;
    std::set<std::string> results_;
    std::set<std::string> resultKeys_; // case-folded, for folders that ignore case
    // Per wanted name (case-folded), the number from which a free numbered name is looked for:
    // names are never given back, so the numbers below it stay taken.
    std::map<std::string, int> nextNumber_;
    std::set<CIdentity> inputs_;
    std::string error_;
    bool inputClash_ = false;
    std::vector<std::string> notes_;
    std::function<void(CommitStep)> hook_;
};
