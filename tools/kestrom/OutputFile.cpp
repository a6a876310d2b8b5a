#include "tools/kestrom/OutputFile.h"

#include <algorithm>

#include "tools/kestrom/Interruption.h"

namespace kestrom::tool {

OutputFile::OutputFile(std::string target) : target_(std::move(target)) {}

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::InterruptedError(std::string& error) {
    if (!Interruption::Requested()) {
        return false;
    }
    error = std::string("interrupted by ") + Interruption::Name(Interruption::Signal());
    return true;
}

bool OutputFile::CommitAll(const std::vector<OutputFile*>& outputs, bool sync, std::string& error) {
    for (OutputFile* o : outputs) {
        if (o->fd_ < 0 || o->committed_) {
            error = "'" + o->target_ + "' was not prepared";
            return false;
        }
        if (!o->writeThrough_ && sync && !o->SyncData(error)) {
            return false;
        }
    }
    if (InterruptedError(error)) {
        return false;
    }
    for (OutputFile* o : outputs) {
        if (o->writeThrough_ && !o->CopyThrough(error)) {
            return false;
        }
    }
    if (InterruptedError(error)) {
        return false;
    }
    // From here on nothing waits on anyone: the renames run to the end.
    std::vector<std::string> directories;
    for (OutputFile* o : outputs) {
        if (o->writeThrough_) {
            continue;
        }
        if (!o->Rename(error)) {
            return false;
        }
        std::string dir, name;
        SplitPath(o->resolved_, dir, name);
        if (std::find(directories.begin(), directories.end(), dir) == directories.end()) {
            directories.push_back(dir);
        }
    }
    if (!sync) {
        return true;
    }
    for (const std::string& dir : directories) {
        if (!SyncFolder(dir, error)) {
            return false;
        }
    }
    return true;
}

}  // namespace kestrom::tool
