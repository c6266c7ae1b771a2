#include "config_file/FileSteps.h"

#include <utility>

namespace kronax {
namespace {

FileStepHook& Hook() {
    static FileStepHook hook;
    return hook;
}

} // namespace

void SetFileStepHook(FileStepHook hook) {
    Hook() = std::move(hook);
}

std::error_code FileStep() {
    const FileStepHook& hook = Hook();
    return hook ? hook() : std::error_code();
}

} // namespace kronax
