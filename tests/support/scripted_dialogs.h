#pragma once
// The file dialogs of the tests: each answers the next scripted answer (Cancel when they run
// out) and keeps every request.

#include <deque>
#include <vector>

#include "workflow/import_workflow.h"

namespace plovix::testing {

struct ScriptedDialogs : FileDialogs {
    std::deque<DialogAnswer> answers;
    std::vector<FileDialogRequest> asked;
    DialogAnswer next(const FileDialogRequest& request) {
        asked.push_back(request);
        if (answers.empty()) return DialogAnswer::cancelled();
        DialogAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    DialogAnswer openDAFile(const FileDialogRequest& r) override { return next(r); }
    DialogAnswer chooseNorvoFile(const FileDialogRequest& r) override { return next(r); }
    DialogAnswer chooseNorvoProgram(const FileDialogRequest& r) override { return next(r); }
};

}  // namespace plovix::testing
